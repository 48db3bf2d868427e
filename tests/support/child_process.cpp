#include "support/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace testsupport {

namespace {

void SetNonBlocking(int fd) {
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
}

}  // namespace

ChildResult RunChild(const std::vector<std::string>& argv, const ChildOptions& options) {
    ChildResult result;
    int inPipe[2], outPipe[2], errPipe[2];
    if (pipe(inPipe) != 0 || pipe(outPipe) != 0 || pipe(errPipe) != 0) return result;
    const pid_t pid = fork();
    if (pid < 0) return result;
    if (pid == 0) {
        dup2(inPipe[0], 0);
        dup2(outPipe[1], 1);
        dup2(errPipe[1], 2);
        for (int fd : {inPipe[0], inPipe[1], outPipe[0], outPipe[1], errPipe[0], errPipe[1]}) {
            close(fd);
        }
        for (const auto& [name, value] : options.environment) {
            if (value.empty()) {
                unsetenv(name.c_str());
            } else {
                setenv(name.c_str(), value.c_str(), 1);
            }
        }
        if (!options.workingDirectory.empty() && chdir(options.workingDirectory.c_str()) != 0) {
            _exit(126);
        }
        if (options.dropRoot && geteuid() == 0) {
            if (setgid(65534) != 0 || setuid(65534) != 0) _exit(125);
        }
        std::vector<char*> args;
        for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    result.started = true;
    close(inPipe[0]);
    close(outPipe[1]);
    close(errPipe[1]);
    SetNonBlocking(inPipe[1]);
    SetNonBlocking(outPipe[0]);
    SetNonBlocking(errPipe[0]);
    signal(SIGPIPE, SIG_IGN);

    size_t written = 0;
    int inFd = inPipe[1];
    if (options.input.empty() && !options.keepInputOpen) {
        close(inFd);
        inFd = -1;
    }
    bool outOpen = true, errOpen = true, signalled = false;
    const auto start = std::chrono::steady_clock::now();
    auto elapsedMs = [&start] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now() - start)
            .count();
    };
    while (outOpen || errOpen) {
        if (elapsedMs() > options.timeoutMs) {
            result.timedOut = true;
            kill(pid, SIGKILL);
            break;
        }
        if (options.signalAfterMs && !signalled && elapsedMs() >= *options.signalAfterMs) {
            kill(pid, options.signal);
            signalled = true;
        }
        struct pollfd fds[3];
        nfds_t n = 0;
        fds[n++] = {outOpen ? outPipe[0] : -1, POLLIN, 0};
        fds[n++] = {errOpen ? errPipe[0] : -1, POLLIN, 0};
        fds[n++] = {inFd, POLLOUT, 0};
        poll(fds, n, 20);
        char buffer[65536];
        for (int k = 0; k < 2; ++k) {
            if (fds[k].fd < 0 || fds[k].revents == 0) continue;
            const ssize_t got = read(fds[k].fd, buffer, sizeof buffer);
            if (got > 0) {
                (k == 0 ? result.out : result.err).append(buffer, static_cast<size_t>(got));
            } else if (got == 0 || (errno != EAGAIN && errno != EINTR)) {
                (k == 0 ? outOpen : errOpen) = false;
            }
        }
        if (inFd >= 0 && (fds[2].revents & (POLLOUT | POLLERR | POLLHUP))) {
            const ssize_t put =
                write(inFd, options.input.data() + written, options.input.size() - written);
            if (put > 0) written += static_cast<size_t>(put);
            if (put < 0 && errno != EAGAIN && errno != EINTR) written = options.input.size();
            if (written >= options.input.size() && !options.keepInputOpen) {
                close(inFd);
                inFd = -1;
            }
        }
    }
    if (inFd >= 0) close(inFd);
    close(outPipe[0]);
    close(errPipe[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status)) {
        result.exitStatus = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        result.termSignal = WTERMSIG(status);
    }
    return result;
}

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "wl-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
}

TempDir::~TempDir() {
    if (path_.empty()) return;
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
}

std::string ReadFileBytes(const std::string& path, bool* exists) {
    std::ifstream in(path, std::ios::binary);
    if (exists != nullptr) *exists = static_cast<bool>(in);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

}  // namespace testsupport
