// Runs the built program for the whole-program benchmarks: in a folder of its
// own, standard input from a file (or inherited), standard output to
// /dev/null.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace wlbench {

// A temporary folder, removed again at the end of the scope; empty when none
// could be made.
class ScratchFolder {
  public:
    ScratchFolder() : path_((std::filesystem::temp_directory_path() / "wl-bench-XXXXXX").string()) {
        if (mkdtemp(path_.data()) == nullptr) path_.clear();
    }
    ~ScratchFolder() {
        if (!path_.empty()) std::filesystem::remove_all(path_);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::string& Path() const { return path_; }

  private:
    std::string path_;
};

// The program with `arguments` in `folder`; true when it exited with status 0.
inline bool RunProgram(const std::string& folder, const std::vector<std::string>& arguments,
                       const std::string& standardInput = "") {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!standardInput.empty()) {
        posix_spawn_file_actions_addopen(&actions, 0, standardInput.c_str(), O_RDONLY, 0);
    }
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    std::vector<char*> argv{const_cast<char*>(WL_PROGRAM_PATH)};
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const bool spawned =
        posix_spawn(&pid, WL_PROGRAM_PATH, &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    if (!spawned) return false;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace wlbench
