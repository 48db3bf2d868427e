// Child processes and temporary folders on POSIX systems.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "support/child_deadline.h"
#include "support/child_process.h"

namespace testsupport {

namespace {

// The child's three standard streams; [0] is the reading end, [1] the writing end.
struct ChildPipes {
    int in[2] = {-1, -1};
    int out[2] = {-1, -1};
    int err[2] = {-1, -1};
};

bool OpenPipes(ChildPipes& pipes) {
    return pipe(pipes.in) == 0 && pipe(pipes.out) == 0 && pipe(pipes.err) == 0;
}

void SetNonBlocking(int fd) {
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
}

// In the forked child: the standard streams on the pipes, then the
// environment, folder and user of the options, then the program.
[[noreturn]] void ExecChild(const std::vector<std::string>& argv, const ChildOptions& options,
                            const ChildPipes& pipes) {
    dup2(pipes.in[0], 0);
    dup2(pipes.out[1], 1);
    dup2(pipes.err[1], 2);
    for (const int* ends : {pipes.in, pipes.out, pipes.err}) {
        close(ends[0]);
        close(ends[1]);
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

// Appends what the pipe holds to `into`; clears `open` at its end.
void ReadPipe(int fd, std::string& into, bool& open) {
    char buffer[65536];
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got > 0) {
        into.append(buffer, static_cast<size_t>(got));
    } else if (got == 0 || (errno != EAGAIN && errno != EINTR)) {
        open = false;
    }
}

// Writes what the pipe takes of the rest of the input; closes it once all is
// written, unless the input is to stay open.
void WriteInput(int& fd, const ChildOptions& options, size_t& written) {
    const ssize_t put = write(fd, options.input.data() + written, options.input.size() - written);
    if (put > 0) written += static_cast<size_t>(put);
    if (put < 0 && errno != EAGAIN && errno != EINTR) written = options.input.size();
    if (written >= options.input.size() && !options.keepInputOpen) {
        close(fd);
        fd = -1;
    }
}

// Feeds the input and collects the output until the child closes both output
// streams; past the deadline the child is killed. Closes the input pipe.
void Exchange(pid_t pid, int inFd, int outFd, int errFd, const ChildOptions& options,
              ChildResult& result) {
    ChildDeadline deadline(options);
    size_t written = 0;
    bool outOpen = true, errOpen = true;
    while (outOpen || errOpen) {
        if (deadline.Expired()) {
            result.timedOut = true;
            kill(pid, SIGKILL);
            break;
        }
        if (deadline.SignalDue()) kill(pid, options.signal);
        struct pollfd fds[3] = {{outOpen ? outFd : -1, POLLIN, 0},
                                {errOpen ? errFd : -1, POLLIN, 0},
                                {inFd, POLLOUT, 0}};
        poll(fds, 3, 20);
        if (fds[0].fd >= 0 && fds[0].revents != 0) ReadPipe(outFd, result.out, outOpen);
        if (fds[1].fd >= 0 && fds[1].revents != 0) ReadPipe(errFd, result.err, errOpen);
        if (inFd >= 0 && (fds[2].revents & (POLLOUT | POLLERR | POLLHUP))) {
            WriteInput(inFd, options, written);
        }
    }
    if (inFd >= 0) close(inFd);
}

void CollectStatus(pid_t pid, ChildResult& result) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status)) {
        result.exitStatus = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        result.termSignal = WTERMSIG(status);
    }
}

}  // namespace

ChildResult RunChild(const std::vector<std::string>& argv, const ChildOptions& options) {
    ChildResult result;
    ChildPipes pipes;
    if (!OpenPipes(pipes)) return result;
    const pid_t pid = fork();
    if (pid < 0) return result;
    if (pid == 0) ExecChild(argv, options, pipes);
    result.started = true;
    close(pipes.in[0]);
    close(pipes.out[1]);
    close(pipes.err[1]);
    for (int fd : {pipes.in[1], pipes.out[0], pipes.err[0]}) SetNonBlocking(fd);
    signal(SIGPIPE, SIG_IGN);

    int inFd = pipes.in[1];
    if (options.input.empty() && !options.keepInputOpen) {
        close(inFd);
        inFd = -1;
    }
    Exchange(pid, inFd, pipes.out[0], pipes.err[0], options, result);
    close(pipes.out[0]);
    close(pipes.err[0]);
    CollectStatus(pid, result);
    return result;
}

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "wl-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
}

}  // namespace testsupport
