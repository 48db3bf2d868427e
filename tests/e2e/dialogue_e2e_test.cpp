// The built program, run in a temporary folder with piped input: the result
// file byte for byte, the transcript on standard output, and the exit status.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <clocale>
#include <filesystem>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "support/child_process.h"
#include "support/dialogue_text.h"

using testsupport::ChildOptions;
using testsupport::ChildResult;
using testsupport::ReadFileBytes;
using testsupport::RunChild;
using testsupport::TempDir;

namespace {

using namespace dialoguetest;

ChildResult RunDialogue(const TempDir& dir, const std::string& input,
                        std::map<std::string, std::string> env = {}) {
    ChildOptions options;
    options.workingDirectory = dir.path();
    options.input = input;
    env.emplace("KRGFX", "");
    env.emplace("DISPLAY", "");
    env.emplace("LC_ALL", "C");
    options.environment = std::move(env);
    return RunChild({WL_PROGRAM_PATH}, options);
}

std::string ResultFile(const TempDir& dir) {
    return ReadFileBytes(dir.File("wellenlaenge.txt"));
}

// What a terminal showed while the program ran on it, and the exit status
// (-1 when the program did not end in time).
struct TerminalRun {
    std::string shown;
    int exitStatus = -1;
};

// Runs the program on a new pseudo-terminal (standard input, output and error)
// in `dir`; each step types its keys once the terminal shows its text.
TerminalRun RunOnTerminal(const TempDir& dir,
                          const std::vector<std::pair<std::string, std::string>>& steps,
                          const std::map<std::string, std::string>& env) {
    TerminalRun run;
    const int controller = posix_openpt(O_RDWR | O_NOCTTY);
    if (controller < 0 || grantpt(controller) != 0 || unlockpt(controller) != 0) return run;
    const std::string name = ptsname(controller);
    const pid_t pid = fork();
    if (pid == 0) {
        setsid();
        const int terminal = open(name.c_str(), O_RDWR);  // the controlling terminal
        if (terminal < 0) _exit(126);
        for (int fd = 0; fd <= 2; ++fd) dup2(terminal, fd);
        close(terminal);
        close(controller);
        for (const auto& [variable, value] : env) {
            if (value.empty()) {
                unsetenv(variable.c_str());
            } else {
                setenv(variable.c_str(), value.c_str(), 1);
            }
        }
        if (chdir(dir.path().c_str()) != 0) _exit(126);
        execl(WL_PROGRAM_PATH, WL_PROGRAM_PATH, static_cast<char*>(nullptr));
        _exit(127);
    }
    size_t step = 0;
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < giveUp) {
        if (step < steps.size() && run.shown.find(steps[step].first) != std::string::npos) {
            const std::string& keys = steps[step++].second;
            if (write(controller, keys.data(), keys.size()) != static_cast<ssize_t>(keys.size())) {
                break;
            }
        }
        pollfd p{controller, POLLIN, 0};
        if (poll(&p, 1, 100) <= 0) continue;
        char buffer[4096];
        const ssize_t n = read(controller, buffer, sizeof buffer);
        if (n <= 0) break;  // the program has closed the terminal
        run.shown.append(buffer, static_cast<size_t>(n));
    }
    // The program closes the terminal a moment before it has exited.
    int status = 0;
    pid_t ended = 0;
    for (int i = 0; i < 500 && (ended = waitpid(pid, &status, WNOHANG)) == 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (ended == 0) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
    } else if (WIFEXITED(status)) {
        run.exitStatus = WEXITSTATUS(status);
    }
    close(controller);
    return run;
}

TEST(DialogueEndToEnd, SpectralInputWritesTwoLines) {
    TempDir dir;
    const ChildResult r = RunDialogue(dir, "0.3127\n0.329\nab");
    ASSERT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitStatus, 0);
    const std::string expected = " 0.3127" + Blanks(7) + " 0.329" + Blanks(8) + " 0.3583" + kCrLf +
                                 " 380" + Blanks(10) + " 488.997" + kCrLf;
    EXPECT_EQ(expected.size(), 61u);
    EXPECT_EQ(ResultFile(dir), expected);
    EXPECT_EQ(r.out, Transcript("0.3127", "0.329", " 488.997"));
    EXPECT_EQ(r.err, "");
}

TEST(DialogueEndToEnd, PurpleInputWritesTheReflectedTriple) {
    TempDir dir;
    const ChildResult r = RunDialogue(dir, "0.4\n0.2\n\n\n");
    EXPECT_EQ(r.exitStatus, 0);
    const std::string expected = " 0.4" + Blanks(10) + " 0.2" + Blanks(10) + " 0.4" + kCrLf +
                                 " 0.2666666666666666" + Blanks(9) + " 0.4666666666666666" +
                                 Blanks(9) + " 0.2666666666666668" + kCrLf + " 380" + Blanks(10) +
                                 " 521.152" + kCrLf;
    EXPECT_EQ(expected.size(), 135u);
    EXPECT_EQ(ResultFile(dir), expected);
    EXPECT_EQ(r.out, Transcript("0.4", "0.2", " 521.152"));
}

TEST(DialogueEndToEnd, RoundsDownJustBelowAWholeWavelength) {
    TempDir dir;
    const ChildResult r = RunDialogue(dir, "0.0743\n0.8338\nxy");
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_EQ(r.out, Transcript("0.0743", "0.8338", " 519.999"));
    const std::string file = ResultFile(dir);
    EXPECT_NE(file.find(" 380" + Blanks(10) + " 519.999\r\n"), std::string::npos) << file;
}

TEST(DialogueEndToEnd, DecimalCommaEndsTheFirstItem) {
    TempDir dir;
    const ChildResult r = RunDialogue(dir, "0,3127\n0.329\n\n\n");
    EXPECT_EQ(r.exitStatus, 0);
    // x = 0: the comma ends the number. z = 0.671, branch 1 holds (y >= x, z >= x).
    const std::string file = ResultFile(dir);
    EXPECT_EQ(file.substr(0, 34), " 0" + Blanks(12) + " 0.329" + Blanks(8) + " 0.671") << file;
    EXPECT_EQ(r.out.find("Farbwertanteil x = ? 0,3127\r\n") != std::string::npos, true);
}

TEST(DialogueEndToEnd, WhitePointShowsNotANumberAndEnds) {
    TempDir dir;
    const ChildResult r = RunDialogue(dir, "0.3333333333333333\n0.3333333333333333\n\n\n");
    ASSERT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_EQ(r.out, Transcript("0.3333333333333333", "0.3333333333333333", " 1.#QNAN"));
    const std::string file = ResultFile(dir);
    EXPECT_NE(file.find(" 380" + Blanks(10) + " 1.#QNAN\r\n"), std::string::npos) << file;
}

TEST(DialogueEndToEnd, NonFiniteInputEndsWithNotANumber) {
    // An infinite x (too large for a double) and a NaN x ("nan" with a point,
    // so that it is read as a floating-point item).
    for (const char* input : {"1e400\n0.3\n\n\n", "nan.\n0.3\n\n\n"}) {
        TempDir dir;
        const ChildResult r = RunDialogue(dir, input);
        ASSERT_FALSE(r.timedOut) << input;
        EXPECT_EQ(r.exitStatus, 0) << input;
        EXPECT_NE(r.out.find("la=  1.#QNAN\r\n"), std::string::npos) << input;
        EXPECT_NE(ResultFile(dir).find(" 380" + Blanks(10) + " 1.#QNAN\r\n"), std::string::npos)
            << input;
    }
}

TEST(DialogueEndToEnd, Utf8LocaleShowsUmlautsAsUnicode) {
    TempDir dir;
    const ChildResult r = RunDialogue(dir, "0.3127\n0.329\n\n\n", {{"LC_ALL", "C.UTF-8"}});
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_NE(r.out.find("Wellenl\xC3\xA4nge aus x und y\r\n"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find('\x84'), std::string::npos);
    // The file keeps single-byte text.
    EXPECT_EQ(ResultFile(dir).size(), 61u);
}

TEST(DialogueEndToEnd, PlainLocaleOnATerminalShowsUtf8) {
    TempDir dir;
    const TerminalRun r =
        RunOnTerminal(dir, {{"x = ? ", "0.3127\r"}, {"y = ? ", "0.329\xC3\xA4\r"}, {"la=", "ab"}},
                      {{"KRGFX", ""}, {"DISPLAY", ""}, {"LANG", ""}, {"LC_ALL", "C"}});
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_NE(r.shown.find("Wellenl\xC3\xA4nge aus x und y"), std::string::npos) << r.shown;
    EXPECT_EQ(r.shown.find('\x84'), std::string::npos);
    // A typed "ä" is read as UTF-8 too: one character, shown as typed (in the
    // heading, the input line and the result line).
    size_t umlauts = 0;
    for (size_t at = r.shown.find("\xC3\xA4"); at != std::string::npos;
         at = r.shown.find("\xC3\xA4", at + 1)) {
        ++umlauts;
    }
    EXPECT_EQ(umlauts, 3u) << r.shown;
    EXPECT_EQ(ResultFile(dir).size(), 61u);
}

TEST(DialogueEndToEnd, DecimalCommaLocaleKeepsThePoint) {
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "no de_DE.UTF-8";
    std::setlocale(LC_ALL, "C");
    TempDir dir;
    const ChildResult r = RunDialogue(dir, "0.4\n0.2\n\n\n", {{"LC_ALL", "de_DE.UTF-8"}});
    EXPECT_EQ(r.exitStatus, 0);
    // Typed points still read as points, and every number is written with one.
    const std::string file = ResultFile(dir);
    EXPECT_EQ(file.size(), 135u) << file;
    EXPECT_NE(file.find(" 0.2666666666666666"), std::string::npos);
    EXPECT_NE(r.out.find("la=  521.152\r\n"), std::string::npos) << r.out;
}

TEST(DialogueEndToEnd, ReplacesAnOlderResultFile) {
    TempDir dir;
    {
        FILE* f = std::fopen(dir.File("wellenlaenge.txt").c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs(std::string(5000, 'x').c_str(), f);
        std::fclose(f);
    }
    const ChildResult r = RunDialogue(dir, "0.3127\n0.329\n\n\n");
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_EQ(ResultFile(dir).size(), 61u);
}

// A result file that cannot be made or written: the dialogue goes on and shows
// its result, then says so on standard error and ends with status 1.
TEST(DialogueFaults, UnwritableFolderShowsTheResultAndSaysTheFileIsMissing) {
    TempDir dir;
    ASSERT_EQ(chmod(dir.path().c_str(), 0555), 0);
    // The unprivileged user may not reach the build folder: run a copy of the
    // program from a folder everyone can read.
    TempDir bin;
    const std::string program = bin.File("wellenlaenge");
    std::filesystem::copy_file(WL_PROGRAM_PATH, program);
    ASSERT_EQ(chmod(bin.path().c_str(), 0755), 0);
    ASSERT_EQ(chmod(program.c_str(), 0755), 0);
    ChildOptions options;
    options.workingDirectory = dir.path();
    options.input = "0.3127\n0.329\n\n\n";
    options.environment = {{"KRGFX", ""}, {"DISPLAY", ""}, {"LC_ALL", "C"}};
    options.dropRoot = true;  // root would write anyway
    const ChildResult r = RunChild({program}, options);
    ASSERT_NE(r.exitStatus, 125) << "could not drop root";
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_EQ(r.out, Transcript("0.3127", "0.329", " 488.997"));
    EXPECT_EQ(r.err,
              "wellenlaenge: wellenlaenge.txt: l\x84sst sich nicht schreiben (keine "
              "Berechtigung)\n");
    bool exists = true;
    ReadFileBytes(dir.File("wellenlaenge.txt"), &exists);
    EXPECT_FALSE(exists);
}

TEST(DialogueFaults, ResultFileOnAFullDeviceIsSaid) {
    TempDir dir;
    ASSERT_EQ(symlink("/dev/full", dir.File("wellenlaenge.txt").c_str()), 0);
    const ChildResult r = RunDialogue(dir, "0.3127\n0.329\n\n\n");
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_EQ(r.out, Transcript("0.3127", "0.329", " 488.997"));
    EXPECT_EQ(r.err,
              "wellenlaenge: wellenlaenge.txt: l\x84sst sich nicht schreiben (kein Platz mehr auf "
              "dem Ger\x84t)\n");
}

TEST(DialogueFaults, OutputToAFullDeviceDoesNotCrash) {
    TempDir dir;
    ChildOptions options;
    options.workingDirectory = dir.path();
    options.input = "0.3127\n0.329\n\n\n";
    options.environment = {{"KRGFX", ""}, {"DISPLAY", ""}, {"LC_ALL", "C"}};
    // The child's standard output is our pipe; close our reading end early by
    // asking the shell to send it to /dev/full instead.
    const ChildResult r = RunChild(
        {"/bin/sh", "-c", std::string("exec \"") + WL_PROGRAM_PATH + "\" >/dev/full"}, options);
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_EQ(ResultFile(dir).size(), 61u);
}

TEST(DialogueFaults, EmptyInputEndsWithZeroCoordinates) {
    TempDir dir;
    const ChildResult r = RunDialogue(dir, "");
    ASSERT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitStatus, 0);
    // x = y = 0, z = 1: branch 1 and branch 2 hold, t = 26 - 5 * 1 = 21 (spectral).
    const std::string firstLine = " 0" + Blanks(12) + " 0" + Blanks(12) + " 1\r\n";
    EXPECT_EQ(ResultFile(dir).substr(0, firstLine.size()), firstLine);
}

TEST(DialogueFaults, ClosedStandardInputActsAsEmptyInput) {
    TempDir empty;
    const ChildResult expected = RunDialogue(empty, "");
    TempDir dir;
    ChildOptions options;
    options.workingDirectory = dir.path();
    options.environment = {{"KRGFX", ""}, {"DISPLAY", ""}, {"LC_ALL", "C"}};
    options.timeoutMs = 5000;
    const ChildResult r =
        RunChild({"/bin/sh", "-c", std::string("exec \"") + WL_PROGRAM_PATH + "\" <&-"}, options);
    ASSERT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_EQ(r.out, expected.out);
    EXPECT_EQ(ResultFile(dir), ResultFile(empty));
}

TEST(DialogueFaults, AnOverlongInputLineIsCutAndSaidSo) {
    TempDir dir;
    const std::string longLine = "0.3127" + std::string(100000 - 6, '7');
    const ChildResult r = RunDialogue(dir, longLine + "\n0.329\n\n\n");
    ASSERT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitStatus, 0);
    // Only the first 67 characters form the item.
    const std::string file = ResultFile(dir);
    EXPECT_EQ(file.substr(0, 19), " 0.3127777777777778") << file.substr(0, 40);
    // The line keeps its first 64 KiB, the rest is dropped, and the next
    // line is still y.
    EXPECT_NE(r.out.find(longLine.substr(0, 65536) + "\r\n"), std::string::npos);
    EXPECT_EQ(r.out.find(longLine.substr(0, 65537)), std::string::npos);
    EXPECT_NE(file.find(" 0.329 "), std::string::npos) << file.substr(0, 60);
    EXPECT_EQ(r.err,
              "wellenlaenge: Eingabezeile l\x84nger als 65536 Bytes, der Rest der Zeile ist "
              "\x81"
              "bergangen\n");
}

// A carriage return alone ends a line, as Enter does in the window; the echo
// never passes one on.
TEST(DialogueFaults, ALoneCarriageReturnEndsTheLine) {
    TempDir withReturns, withFeeds;
    const ChildResult r = RunDialogue(withReturns, "0.3127\r0.329\r\r\r");
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_EQ(r.out, RunDialogue(withFeeds, "0.3127\n0.329\n\n\n").out);
    EXPECT_EQ(ResultFile(withReturns), ResultFile(withFeeds));
}

TEST(DialogueFaults, BinaryGarbageIsReadAsNoNumber) {
    std::string garbage;
    for (int i = 0; i < 256; ++i) garbage.push_back(static_cast<char>((i * 37 + 11) & 0xFF));
    for (char& c : garbage) {
        if (c == '\n') c = 'x';
    }
    TempDir dir;
    const ChildResult r = RunDialogue(dir, garbage + "\n" + garbage + "\n" + garbage);
    ASSERT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_NE(r.out.find("la= "), std::string::npos);
}

TEST(DialogueFaults, EndOfInputAtEveryPointNeverHangs) {
    const std::string full = "0.4\n0.2\nab";
    for (size_t cut = 0; cut <= full.size(); ++cut) {
        TempDir dir;
        const ChildResult r = RunDialogue(dir, full.substr(0, cut));
        ASSERT_FALSE(r.timedOut) << "cut at " << cut;
        EXPECT_EQ(r.exitStatus, 0) << "cut at " << cut;
        EXPECT_NE(r.out.find("la= "), std::string::npos) << "cut at " << cut;
        // The result line is always written out.
        EXPECT_NE(ResultFile(dir).find(" 380"), std::string::npos) << "cut at " << cut;
    }
}

TEST(DialogueInterrupts, TerminationWritesFilesAndExitsWithSignalStatus) {
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
        TempDir dir;
        ChildOptions options;
        options.workingDirectory = dir.path();
        options.input = "0.3127\n0.329\n";  // then the key wait blocks
        options.keepInputOpen = true;
        options.environment = {{"KRGFX", ""}, {"DISPLAY", ""}, {"LC_ALL", "C"}};
        options.signalAfterMs = 300;
        options.signal = sig;
        const ChildResult r = RunChild({WL_PROGRAM_PATH}, options);
        ASSERT_FALSE(r.timedOut) << sig;
        EXPECT_EQ(r.exitStatus, 128 + sig);
        EXPECT_EQ(ResultFile(dir).size(), 61u) << "signal " << sig;
        EXPECT_EQ(r.out, Transcript("0.3127", "0.329", " 488.997"));
    }
}

}  // namespace
