// One whole terminal run of the program, from process start to exit: piped
// input, output to /dev/null, result file in a temporary folder.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

extern char** environ;

namespace {

void BM_WholeTerminalRun(benchmark::State& state) {
    std::string dir = (std::filesystem::temp_directory_path() / "wl-bench-XXXXXX").string();
    if (mkdtemp(dir.data()) == nullptr) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const std::string input = dir + "/input";
    {
        FILE* f = std::fopen(input.c_str(), "wb");
        std::fputs("0.4\n0.2\nab", f);
        std::fclose(f);
    }
    setenv("KRGFX", "", 1);
    unsetenv("DISPLAY");
    for (auto _ : state) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, input.c_str(), O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
        char* argv[] = {const_cast<char*>(WL_PROGRAM_PATH), nullptr};
        pid_t pid = 0;
        if (posix_spawn(&pid, WL_PROGRAM_PATH, &actions, nullptr, argv, environ) != 0) {
            state.SkipWithError("spawn failed");
            break;
        }
        int status = 0;
        waitpid(pid, &status, 0);
        posix_spawn_file_actions_destroy(&actions);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("the run did not exit with status 0");
            break;
        }
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_WholeTerminalRun)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
