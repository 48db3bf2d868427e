#include "support/posix/background_program.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

#include "support/child_process.h"

extern char** environ;

namespace testsupport {

std::vector<std::string> EnvironmentWith(
    const std::vector<std::pair<std::string, std::optional<std::string>>>& changes) {
    std::vector<std::string> environment;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        bool changed = false;
        for (const auto& change : changes) changed |= entry.rfind(change.first + "=", 0) == 0;
        if (!changed) environment.push_back(entry);
    }
    for (const auto& [name, value] : changes) {
        if (value) environment.push_back(name + "=" + *value);
    }
    return environment;
}

BackgroundProgram::~BackgroundProgram() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
}

bool BackgroundProgram::Start(const std::vector<std::string>& argv, const std::string& folder,
                              const std::vector<std::string>& environment,
                              const std::string& outPath, const std::string& errPath) {
    outPath_ = outPath;
    errPath_ = errPath;
    std::vector<std::string> envCopy = environment;
    std::vector<char*> envp;
    for (std::string& entry : envCopy) envp.push_back(entry.data());
    envp.push_back(nullptr);
    std::vector<std::string> argCopy = argv;
    std::vector<char*> args;
    for (std::string& a : argCopy) args.push_back(a.data());
    args.push_back(nullptr);

    pid_ = fork();
    if (pid_ < 0) return false;
    if (pid_ == 0) {
        const int in = open("/dev/null", O_RDONLY);
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err =
            errPath == outPath ? out : open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in < 0 || out < 0 || err < 0 || chdir(folder.c_str()) != 0) _exit(126);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        execve(args[0], args.data(), envp.data());
        _exit(127);
    }
    return true;
}

bool BackgroundProgram::WaitForExit(std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (pid_ > 0) {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            termSignal_ = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
            break;
        }
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

int BackgroundProgram::Wait(std::chrono::milliseconds limit) {
    if (!WaitForExit(limit)) return -1;
    return termSignal_ != 0 ? 128 + termSignal_ : exitStatus_;
}

void BackgroundProgram::Signal(int signal) {
    if (pid_ > 0) kill(pid_, signal);
}

std::string BackgroundProgram::Output() const {
    return ReadFileBytes(outPath_);
}

std::string BackgroundProgram::Errors() const {
    return ReadFileBytes(errPath_);
}

}  // namespace testsupport
