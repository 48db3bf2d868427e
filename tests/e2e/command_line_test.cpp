// The command line of the built program: help, version, unknown options, and
// batch mode checked point by point against the result file the dialogue
// writes for the same input.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/child_process.h"
#include "textio/number_text.h"

using testsupport::ChildOptions;
using testsupport::ChildResult;
using testsupport::ReadFileBytes;
using testsupport::RunChild;
using testsupport::TempDir;

namespace {

ChildResult RunProgram(const TempDir& dir, std::vector<std::string> args,
                       const std::string& input = "", const std::string& locale = "C") {
    ChildOptions options;
    options.workingDirectory = dir.path();
    options.input = input;
    options.environment = {{"KRGFX", ""}, {"DISPLAY", ""}, {"LC_ALL", locale}};
    args.insert(args.begin(), WL_PROGRAM_PATH);
    return RunChild(args, options);
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

size_t Count(const std::string& text, char c) {
    return static_cast<size_t>(std::count(text.begin(), text.end(), c));
}

TEST(CommandLine, HelpVersionAndUnknownOptions) {
    TempDir dir;
    const std::string resultFile = dir.File("wellenlaenge.txt");
    WriteFile(resultFile, "from an earlier run\r\n");

    const ChildResult help = RunProgram(dir, {"--help"}, "", "C.UTF-8");
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_EQ(help.out.rfind("Aufruf: wellenlaenge [OPTION]...\n", 0), 0u) << help.out;
    for (const char* topic : {"farbtongleiche Wellenl\xC3\xA4nge", "KRGFX", "wellenlaenge.txt",
                              "--batch [DATEI]", "x,y,z,wavelength_nm,kind", "--exact",
                              "--white=WEISS", "excitation_purity", "Exit-Status"}) {
        EXPECT_NE(help.out.find(topic), std::string::npos) << topic;
    }
    EXPECT_EQ(help.err, "");
    EXPECT_EQ(RunProgram(dir, {"-h"}, "", "C.UTF-8").out, help.out);
    // Without a UTF-8 locale the texts keep their code page 437 bytes.
    EXPECT_NE(RunProgram(dir, {"--help"}).out.find("Wellenl\x84nge"), std::string::npos);

    const ChildResult version = RunProgram(dir, {"--version"}, "", "C.UTF-8");
    EXPECT_EQ(version.exitStatus, 0);
    EXPECT_EQ(version.out.substr(0, version.out.find('\n') + 1), "wellenlaenge " WL_VERSION "\n");
    EXPECT_NE(version.out.find("Lizenz GPLv2+"), std::string::npos) << version.out;
    EXPECT_EQ(Count(version.out, '\n'), 2u);
    EXPECT_EQ(RunProgram(dir, {"-V"}, "", "C.UTF-8").out, version.out);
    // Long names may be shortened.
    EXPECT_EQ(RunProgram(dir, {"--vers"}, "", "C.UTF-8").out, version.out);

    // A bad option anywhere, before or after help or version, is the answer:
    // every argument is read before anything is done.
    const struct {
        const char* option;
        const char* said;
    } bad[] = {{"--frobnicate", "unbekannte Option '--frobnicate'"},
               {"-x", "unbekannte Option '-x'"},
               {"-Vx", "unbekannte Option '-x'"},
               {"--help=yes", "kein Wert erlaubt bei '--help'"},
               {"--fehl\x1b[31m", "unbekannte Option '--fehl?[31m'"}};
    for (const auto& b : bad) {
        const ChildResult r = RunProgram(dir, {"0.3", b.option, "--version"}, "0.3\n0.3\n\n\n");
        EXPECT_EQ(r.exitStatus, 2) << b.option;
        EXPECT_EQ(r.out, "") << b.option;
        EXPECT_EQ(r.err, std::string("wellenlaenge: ") + b.said + " (Hilfe: wellenlaenge --help)\n");
    }
    EXPECT_EQ(ReadFileBytes(resultFile), "from an earlier run\r\n");

    // An argument that is no option changes nothing: the dialogue runs.
    const ChildResult dialogue = RunProgram(dir, {"punkte", "-"}, "0.3127\n0.329\n\n\n");
    EXPECT_EQ(dialogue.exitStatus, 0);
    EXPECT_EQ(ReadFileBytes(resultFile).size(), 61u);
}

struct Point {
    std::string x, y;  // as typed in the dialogue
};

// The batch row for one point as the dialogue's result file shows it: x, y, z
// of the first triple line, the wavelength of the last line, and the number
// of lines for the kind.
std::string RowFromDialogue(const Point& p) {
    TempDir dir;
    const ChildResult r = RunProgram(dir, {}, p.x + "\n" + p.y + "\n\n\n");
    EXPECT_EQ(r.exitStatus, 0);
    std::istringstream file(ReadFileBytes(dir.File("wellenlaenge.txt")));
    std::vector<std::vector<std::string>> lines;
    for (std::string line; std::getline(file, line);) {
        std::istringstream fields(line);
        lines.emplace_back();
        for (std::string f; fields >> f;) lines.back().push_back(f);
    }
    if (lines.size() < 2 || lines[0].size() != 3 || lines.back().size() != 2) {
        ADD_FAILURE() << "unexpected result file for " << p.x << ", " << p.y;
        return "";
    }
    const std::string& la = lines.back()[1];
    const bool none = la.find('#') != std::string::npos;  // 1.#QNAN
    const char* kind = none ? "none" : lines.size() == 3 ? "complementary" : "dominant";
    return lines[0][0] + "," + lines[0][1] + "," + lines[0][2] + "," + (none ? "" : la) + "," +
           kind + "\n";
}

// A batch row with each number read back and printed as the result file
// prints it (16 digits), for the comparison with the dialogue.
std::string InPrintForm(const std::string& row) {
    std::string out;
    size_t start = 0;
    for (int field = 0; field < 5; ++field) {
        const size_t comma = field < 4 ? row.find(',', start) : row.find('\n', start);
        const std::string text = row.substr(start, comma - start);
        if (field < 4 && !text.empty()) {
            char buffer[textio::kFloatBufferSize];
            const double value = text == "inf"    ? HUGE_VAL
                                 : text == "-inf" ? -HUGE_VAL
                                 : text == "nan"  ? NAN
                                                  : std::strtod(text.c_str(), nullptr);
            const char* printed = textio::FormatFloat(value, buffer, sizeof buffer,
                                                      textio::kDoubleDigits, textio::kAddBlank);
            out += printed[0] == ' ' ? printed + 1 : printed;
        } else {
            out += text;
        }
        out += field < 4 ? "," : "\n";
        start = comma + 1;
    }
    return out;
}

std::string RowsInPrintForm(const std::string& csv) {
    std::istringstream rows(csv);
    std::string out;
    for (std::string row; std::getline(rows, row);) {
        out += out.empty() ? row + "\n" : InPrintForm(row + "\n");  // the header as it is
    }
    return out;
}

TEST(BatchMode, SameResultsAsTheDialogueAndBadLinesLeftOut) {
    const Point points[] = {
        {"0.3127", "0.329"},                           // spectral
        {"0.0743", "0.8338"},                          // rounded down to 519.999
        {"0.4", "0.2"},                                // purple: complementary
        {"0.6", "0.2"},                                // two tests hold, reflected
        {"0.7347", "0.2653"},                          // the red end, reflected by rounding
        {"0.3333333333333333", "0.3333333333333333"},  // white point: none
        {"1e400", "0.3"},                              // non-finite (infinite): none
        {"-0.5", "2"},                                 // negative coordinate
        {"&H1", "3.29D-1"},                            // radix and D exponent forms
        {"0.5", ""},                                   // y missing reads 0
    };
    const char* separators[] = {",", ", ", " ", "\t", " , "};
    std::string input = "x,y\n# measured 2024\n\n   \n";
    std::string expected = "x,y,z,wavelength_nm,kind\n";
    int n = 0;
    for (const Point& p : points) {
        input += p.x + (p.y.empty() ? "" : separators[n++ % 5] + p.y) + "\n";
        expected += RowFromDialogue(p);
    }
    // Lines 15 to 17 cannot be read; the CR LF line after them can.
    input +=
        "\xFF\xFE"
        "0.3,0.3\n";
    input += "0.3,0.3 \xE2\x82\xAC\n";  // the euro sign is not in code page 437
    input += "0.3," + std::string(5000, ' ') + "0.3\n";
    input += "0.3127,0.329\r\n";
    expected += RowFromDialogue({"0.3127", "0.329"});

    TempDir dir;
    WriteFile(dir.File("punkte.txt"), input);
    const ChildResult r = RunProgram(dir, {"--batch", "punkte.txt"}, "", "C.UTF-8");
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_EQ(RowsInPrintForm(r.out), expected);
    EXPECT_EQ(Count(r.err, '\n'), 3u) << r.err;
    for (const char* line :
         {"punkte.txt, Zeile 15:", "punkte.txt, Zeile 16:", "punkte.txt, Zeile 17:"}) {
        EXPECT_NE(r.err.find(line), std::string::npos) << r.err;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("wellenlaenge.txt")));

    // Standard input, with "-" or without a file; good input exits with 0.
    const std::string one = "x,y,z,wavelength_nm,kind\n0.3127,0.329,0.3583,488.997,dominant\n";
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--batch"}, std::vector<std::string>{"--batch", "-"}}) {
        const ChildResult s = RunProgram(dir, args, "0.3127 0.329");
        EXPECT_EQ(s.exitStatus, 0);
        EXPECT_EQ(s.out, one);
        EXPECT_EQ(s.err, "");
    }
    // A file that cannot be opened; the control bytes of its name do not act.
    const ChildResult missing = RunProgram(dir, {"--batch=fehlt\x07.txt"});
    EXPECT_EQ(missing.exitStatus, 2);
    EXPECT_NE(missing.err.find("'fehlt?.txt'"), std::string::npos) << missing.err;
    // After "--" an argument is a file, even when it looks like an option.
    WriteFile(dir.File("-x.csv"), "0.3127 0.329\n");
    EXPECT_EQ(RunProgram(dir, {"--batch", "--", "-x.csv"}).out, one);
    // Nor can a folder, although it opens for reading on POSIX systems.
    std::filesystem::create_directory(dir.File("ordner"));
    const ChildResult folder = RunProgram(dir, {"--batch", "ordner"});
    EXPECT_EQ(folder.exitStatus, 2);
    EXPECT_EQ(folder.out, "");
    EXPECT_NE(folder.err.find("'ordner' l\x84sst sich nicht"), std::string::npos) << folder.err;
}

// The exact columns: a locus sample is its own wavelength at purity 1, a
// purple point gets its complementary wavelength (worked out apart from the
// program with exact fractions), and --white moves only these columns.
TEST(BatchMode, ExactColumnsForAWhitePoint) {
    const std::string input =
        "0.07430242477337497,0.8338030913402279\n"  // the 520 nm sample
        "0.4,0.2\n"
        "0.3333333333333333,0.3333333333333333\n"
        "1e400,0.3\n";
    TempDir dir;
    const ChildResult e = RunProgram(dir, {"--batch", "--exact"}, input);
    EXPECT_EQ(e.exitStatus, 0);
    EXPECT_EQ(e.err, "");
    std::istringstream rows(e.out);
    std::vector<std::string> row(6);
    for (std::string& r : row) std::getline(rows, r);
    EXPECT_EQ(row[0], "x,y,z,wavelength_nm,kind,exact_wavelength_nm,exact_kind,excitation_purity");
    EXPECT_EQ(row[1],
              "0.07430242477337497,0.8338030913402279,0.0918944838863971,520,dominant,"
              "520,dominant,1");
    const std::string table = "0.4,0.2,0.39999999999999997,521.152,complementary,";
    ASSERT_EQ(row[2].substr(0, table.size()), table);
    double nm = 0, purity = 0;
    char kind[16] = {};
    ASSERT_EQ(std::sscanf(row[2].c_str() + table.size(), "%lf,%15[a-z],%lf", &nm, kind, &purity),
              3);
    EXPECT_NEAR(nm, 521.1203913013654, 1e-9);
    EXPECT_STREQ(kind, "complementary");
    EXPECT_NEAR(purity, 0.6452915385296751, 1e-12);
    EXPECT_EQ(row[3], "0.3333333333333333,0.3333333333333333,0.3333333333333334,,none,,none,0");
    EXPECT_EQ(row[4], "inf,0.3,-inf,,none,,none,");
    EXPECT_EQ(row[5], "");

    const ChildResult d65 = RunProgram(dir, {"--batch", "--exact", "--white", "D65"}, input);
    EXPECT_EQ(d65.exitStatus, 0);
    std::istringstream d65Rows(d65.out);
    for (size_t i = 0; i < row.size(); ++i) {
        std::string other;
        std::getline(d65Rows, other);
        size_t table = 0;  // the first five fields
        for (int commas = 0; table < other.size() && commas < 5; ++table) {
            commas += other[table] == ',' ? 1 : 0;
        }
        EXPECT_EQ(other.substr(0, table), row[i].substr(0, table));
        if (i == 1 || i == 4) {
            EXPECT_EQ(other, row[i]);  // the sample, non-finite input
        }
    }
    // E is no white point for D65: it has a dominant wavelength there.
    EXPECT_NE(d65.out.find("0.3333333333333334,,none,5"), std::string::npos) << d65.out;
}

// A white point that cannot be used, and --exact or --white out of place: a
// line on standard error, status 2, nothing else done.
TEST(CommandLine, BadWhitePointsAndExactOutOfPlace) {
    TempDir dir;
    const std::string resultFile = dir.File("wellenlaenge.txt");
    WriteFile(resultFile, "from an earlier run\r\n");
    const struct {
        std::vector<std::string> args;
        const char* said;
    } cases[] = {
        {{"--batch", "--exact", "--white=D66"}, "'D66' ist kein Wei\xe1punkt"},
        {{"--batch", "--exact", "--white", "0.3;0.3"}, "'0.3;0.3' ist kein"},
        {{"--batch", "--exact", "--white"}, "Wert fehlt bei '--white'"},
        {{"--batch", "--exact", "--white=0.45,0.1"}, "'0.45,0.1' liegt nicht innerhalb"},
        {{"--batch", "--white=D65"}, "--white gilt nur mit --exact"},
        {{"--exact"}, "gelten nur mit --batch"},
        {{"--white=E"}, "gelten nur mit --batch"},
    };
    for (const auto& c : cases) {
        const ChildResult r = RunProgram(dir, c.args, "0.3127,0.329\n0.329\n\n\n");
        EXPECT_EQ(r.exitStatus, 2) << c.said;
        EXPECT_EQ(r.out, "") << c.said;
        EXPECT_EQ(Count(r.err, '\n'), 1u) << r.err;
        EXPECT_NE(r.err.find(c.said), std::string::npos) << r.err;
    }
    EXPECT_EQ(ReadFileBytes(resultFile), "from an earlier run\r\n");
}

// A program at the other end of a pipe gets each row before it has to send
// the next point: the rows are out while batch mode waits for input.
TEST(BatchMode, RowsReachThePipeWhileTheInputStaysOpen) {
    const TempDir dir;
    ChildOptions options;
    options.workingDirectory = dir.path();
    options.input = "0.3,0.3\n";
    options.keepInputOpen = true;
    options.timeoutMs = 2000;
    options.environment = {{"KRGFX", ""}, {"DISPLAY", ""}, {"LC_ALL", "C"}};
    const ChildResult r = RunChild({WL_PROGRAM_PATH, "--batch", "-"}, options);
    EXPECT_TRUE(r.timedOut);
    EXPECT_EQ(Count(r.out, '\n'), 2u) << r.out;  // the header and the row
}

// A shell script in `dir` that finds the program in "$WL"; `options` gives
// input, signals and time-outs.
ChildResult RunScript(const TempDir& dir, const std::string& script, ChildOptions options = {},
                      const std::string& locale = "C.UTF-8") {
    options.workingDirectory = dir.path();
    options.environment = {
        {"KRGFX", ""}, {"DISPLAY", ""}, {"LC_ALL", locale}, {"WL", WL_PROGRAM_PATH}};
    return RunChild({"/bin/sh", "-c", script}, options);
}

// More rows than a pipe holds.
void WriteManyPoints(const TempDir& dir) {
    std::string points;
    for (int i = 0; i < 20000; ++i) points += "0.3127,0.329\n";
    WriteFile(dir.File("punkte.txt"), points);
}

// A full device is said on standard error, with exit status 1; a reader that
// goes away early (a closed pipe) ends the output without a word.
TEST(BatchMode, AWriteErrorIsSaidAndAClosedPipeIsNot) {
    const TempDir dir;
    WriteManyPoints(dir);
    const ChildResult full = RunScript(dir, "\"$WL\" --batch punkte.txt > /dev/full");
    EXPECT_EQ(full.exitStatus, 1);
    EXPECT_EQ(full.err,
              "wellenlaenge: Standardausgabe: Schreibfehler (kein Platz mehr auf dem Ger\xC3\xA4t)\n");

    const ChildResult closed = RunScript(dir, "\"$WL\" --batch punkte.txt | head -n 1");
    EXPECT_EQ(closed.out, "x,y,z,wavelength_nm,kind\n");
    EXPECT_EQ(closed.err, "");
}

// An interrupt ends batch mode with 128 + n while it waits for a reader that
// takes nothing, and while it waits to open a named pipe that has no writer.
TEST(BatchMode, AnInterruptEndsItWhileItWaitsToWriteOrToOpen) {
    const TempDir dir;
    WriteManyPoints(dir);
    ChildOptions options;
    options.signalAfterMs = 500;
    options.timeoutMs = 5000;
    // The program holds the named pipe's read end itself, so it never closes.
    options.signal = SIGTERM;
    const ChildResult blocked = RunScript(
        dir, "mkfifo rohr && exec 3<>rohr && exec \"$WL\" --batch punkte.txt >rohr", options);
    EXPECT_FALSE(blocked.timedOut);
    EXPECT_EQ(blocked.exitStatus, 128 + SIGTERM);

    options.signal = SIGINT;
    const ChildResult opening = RunScript(dir, "mkfifo leer && exec \"$WL\" --batch leer", options);
    EXPECT_FALSE(opening.timedOut);
    EXPECT_EQ(opening.exitStatus, 128 + SIGINT);
    EXPECT_EQ(opening.err, "");
}

// Output to a standard output that was closed at the start is a write
// error, said on standard error, not a silent success.
TEST(CommandLine, AClosedStandardOutputIsSaid) {
    const TempDir dir;
    ChildOptions options;
    options.input = "0.4,0.2\n";
    for (const char* arguments : {"--help", "--batch"}) {
        const ChildResult r =
            RunScript(dir, std::string("exec \"$WL\" ") + arguments + " >&-", options);
        EXPECT_EQ(r.exitStatus, 1) << arguments;
        EXPECT_EQ(r.err,
                  "wellenlaenge: Standardausgabe: Schreibfehler (nicht ge\xC3\xB6"
                  "ffnet)\n")
            << arguments;
    }
}

}  // namespace
