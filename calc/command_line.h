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
    kUnknownOption,
    kExactWithoutBatch,  // --exact or --white given, --batch not
};

struct CommandLine {
    Action action = Action::kDialogue;
    std::string batchFile;             // kBatch: empty or "-" for standard input
    std::string unknownOption;         // kUnknownOption: the argument as given
    bool exact = false;                // --exact
    std::optional<std::string> white;  // --white's value as given
};

// Options, in order: -h/--help, -V/--version, --batch [FILE] (also
// --batch=FILE; FILE is the next argument unless that starts with '-' and is
// longer than "-"), --exact, --white=WHITE (also --white WHITE). Long names
// may be shortened to any unambiguous prefix; short ones may be grouped
// ("-hV"). "--" ends the options. The first help, version or unknown option
// decides; --batch acts once all are read.
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
