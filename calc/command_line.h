// The command line: GNU-style options in front of the dialogue. Without an
// option the program runs the dialogue; arguments that are no option are
// ignored.
#pragma once

#include <optional>
#include <string>

namespace calc {

enum class Action {
    kDialogue,
    kHelp,
    kVersion,
    kBatch,
    kBadOption,          // an unknown option, or one with a value it may not have or lacks
    kExactWithoutBatch,  // --exact or --white given, --batch not
};

enum class OptionProblem { kUnknown, kNeedsValue, kTakesNoValue };

struct CommandLine {
    Action action = Action::kDialogue;
    std::string batchFile;             // kBatch: empty or "-" for standard input
    std::string badOption;             // kBadOption: the argument as given
    OptionProblem problem = OptionProblem::kUnknown;
    bool exact = false;                // --exact
    std::optional<std::string> white;  // --white's value as given
};

// The options as getopt_long reads them: -h/--help, -V/--version,
// --batch[=FILE], --exact, --white=WHITE (or --white WHITE). Long names may
// be shortened to any unambiguous prefix, short ones grouped ("-hV"); options
// and operands may come in any order, and "--" makes all that follow
// operands. The first operand is the batch FILE when --batch has none;
// operands mean nothing to the dialogue. Every argument is read before
// anything is done: one bad option anywhere makes the command line bad, then
// help goes before version, and version before batch mode.
CommandLine ParseCommandLine(int argumentCount, char* const* arguments);

// Carries out an action other than kDialogue and returns the exit status:
// 0, 1 for batch lines that could not be read, 2 for an unknown option, a
// white point that cannot be used, --exact or --white out of place, or an
// input file that cannot be opened. No window, no result file.
int RunAction(const CommandLine& commandLine);

// The status to exit with when the arguments ask for something other than the
// dialogue, after doing it; nothing when the dialogue is to run.
std::optional<int> RunCommandLine(int argumentCount, char* const* arguments);

}  // namespace calc
