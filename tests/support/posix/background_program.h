// A program run in the background, so that a test can type into its window
// while it runs: standard input from /dev/null, its output into files.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace testsupport {

// This process's environment with the given variables replaced: a value sets
// the variable, nullopt leaves it out.
std::vector<std::string> EnvironmentWith(
    const std::vector<std::pair<std::string, std::optional<std::string>>>& changes);

class BackgroundProgram {
  public:
    BackgroundProgram() = default;
    ~BackgroundProgram();  // kills a program that still runs
    BackgroundProgram(const BackgroundProgram&) = delete;
    BackgroundProgram& operator=(const BackgroundProgram&) = delete;

    // Starts argv[0] (a path) in `folder` with exactly `environment`. Standard
    // output goes to `outPath`, standard error to `errPath`, which may name
    // the same file.
    bool Start(const std::vector<std::string>& argv, const std::string& folder,
               const std::vector<std::string>& environment, const std::string& outPath,
               const std::string& errPath);

    // Waits up to `limit` for the program to end; false while it runs on.
    bool WaitForExit(std::chrono::milliseconds limit);
    // The same, as one number: the exit code, 128 + the signal that ended the
    // program, or -1 while it runs on.
    int Wait(std::chrono::milliseconds limit);
    bool Running() { return !WaitForExit(std::chrono::milliseconds(0)); }
    // Sends `signal` to the program while it runs.
    void Signal(int signal);

    int exitStatus() const { return exitStatus_; }  // -1 when a signal ended it
    int termSignal() const { return termSignal_; }
    std::string Output() const;
    std::string Errors() const;

  private:
    pid_t pid_ = -1;
    int exitStatus_ = -1;
    int termSignal_ = 0;
    std::string outPath_, errPath_;
};

}  // namespace testsupport
