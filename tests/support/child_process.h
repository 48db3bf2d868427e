// Runs a program as a child process with piped standard input and output.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

struct ChildOptions {
    std::string workingDirectory;
    std::string input;                               // written to standard input, then it is closed
    bool keepInputOpen = false;                      // leave standard input open after `input`
    std::map<std::string, std::string> environment;  // overrides; "" value unsets
    int timeoutMs = 20000;
    bool dropRoot = false;             // run as user nobody when started as root
    std::optional<int> signalAfterMs;  // send `signal` this long after start
    int signal = 0;
};

struct ChildResult {
    bool started = false;
    bool timedOut = false;
    int exitStatus = -1;  // exit code, or -1 when killed by a signal
    int termSignal = 0;
    std::string out;
    std::string err;
};

ChildResult RunChild(const std::vector<std::string>& argv, const ChildOptions& options);

// A fresh folder under the system's temporary folder, removed with its content.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

std::string ReadFileBytes(const std::string& path, bool* exists = nullptr);

}  // namespace testsupport
