#include "calc/command_line.h"

#include <getopt.h>

#include <optional>
#include <string_view>
#include <vector>

#include "calc/batch.h"
#include "calc/command_line_texts.h"
#include "calc/exact_wavelength.h"
#include "calc/exit_status.h"
#include "calc/shown_text.h"
#include "textio/terminal.h"

#ifndef WL_VERSION
#error "WL_VERSION comes from the project version in CMake"
#endif

namespace calc {

namespace {

int Refuse(std::string_view problem) {
    textio::SayOnStandardError(problem);
    return kExitUsage;
}

// Batch mode, with the exact columns for the white point asked for.
int RunExactBatch(const CommandLine& commandLine) {
    if (!commandLine.exact) return Refuse(kWhiteWithoutExact);
    Chromaticity white = kWhiteE;
    if (commandLine.white) {
        const WhiteProblem problem = ParseWhite(*commandLine.white, &white);
        if (problem != WhiteProblem::kNone) {
            std::string line = "wellenlaenge: --white: '";
            line += ShownName(kStandardError, *commandLine.white);
            line += "' " +
                    ShownText(kStandardError,
                              problem == WhiteProblem::kMalformed ? kNotAWhite : kWhiteOutside) +
                    "\n";
            WriteOut(kStandardError, line);
            return kExitUsage;
        }
    }
    const ExactLocus locus(white);
    return RunBatch(commandLine.batchFile, &locus);
}

int BadOption(const CommandLine& commandLine) {
    const std::string_view problem = commandLine.problem == OptionProblem::kNeedsValue ? kNeedsValue
                                     : commandLine.problem == OptionProblem::kTakesNoValue
                                         ? kTakesNoValue
                                         : kUnknownOption;
    WriteOut(kStandardError, "wellenlaenge: " + ShownText(kStandardError, problem) + " '" +
                                 ShownName(kStandardError, commandLine.badOption) + "' " +
                                 ShownText(kStandardError, kSeeHelp) + "\n");
    return kExitUsage;
}

// getopt_long's answers for the long options; the short ones answer with
// their letter.
enum LongOption : int { kOptionBatch = 256, kOptionExact, kOptionWhite };

// Notes the option getopt_long found fault with (optopt, and `given`, the
// argument it stood in); the first one is the one said.
void NoteBadOption(std::string_view given, CommandLine* result) {
    if (result->action == Action::kBadOption) return;
    result->action = Action::kBadOption;
    result->problem = OptionProblem::kUnknown;
    if (optopt == kOptionWhite) {
        result->problem = OptionProblem::kNeedsValue;
        result->badOption = "--white";
    } else if (optopt != 0 && given.substr(0, 2) == "--") {
        result->problem = OptionProblem::kTakesNoValue;  // "--help=yes"
        result->badOption = given.substr(0, given.find('='));
    } else if (optopt != 0) {
        result->badOption = std::string("-") + static_cast<char>(optopt);
    } else {
        result->badOption = given;
    }
}

}  // namespace

CommandLine ParseCommandLine(int argumentCount, char* const* arguments) {
    static const option kLongOptions[] = {
        {"help", no_argument, nullptr, 'h'},
        {"version", no_argument, nullptr, 'V'},
        {"batch", optional_argument, nullptr, kOptionBatch},
        {"exact", no_argument, nullptr, kOptionExact},
        {"white", required_argument, nullptr, kOptionWhite},
        {nullptr, 0, nullptr, 0},
    };
    // getopt_long reorders what it is given: it gets a copy.
    std::vector<char*> args(arguments, arguments + argumentCount);
    args.push_back(nullptr);
    CommandLine result;
    bool help = false;
    bool version = false;
    bool batch = false;
    std::optional<std::string> batchFile;
    opterr = 0;  // the messages are ours, in German
    optind = 0;  // a fresh scan
    for (int got;
         (got = getopt_long(argumentCount, args.data(), ":hV", kLongOptions, nullptr)) != -1;) {
        switch (got) {
            case 'h':
                help = true;
                break;
            case 'V':
                version = true;
                break;
            case kOptionBatch:
                batch = true;
                if (optarg != nullptr) batchFile = optarg;
                break;
            case kOptionExact:
                result.exact = true;
                break;
            case kOptionWhite:
                result.white = optarg;
                break;
            default:  // '?' or ':'
                NoteBadOption(args[static_cast<size_t>(optind - 1)], &result);
                break;
        }
    }
    if (result.action == Action::kBadOption) return result;
    if (help) {
        result.action = Action::kHelp;
    } else if (version) {
        result.action = Action::kVersion;
    } else if (batch) {
        result.action = Action::kBatch;
        if (!batchFile && optind < argumentCount) batchFile = args[static_cast<size_t>(optind)];
        result.batchFile = batchFile.value_or("");
    } else if (result.exact || result.white) {
        result.action = Action::kExactWithoutBatch;
    }
    return result;
}

int RunAction(const CommandLine& commandLine) {
    ReadyStandardStreams();
    switch (commandLine.action) {
        case Action::kHelp:
            return WriteStandardOutput(ShownText(kStandardOutput, kHelpText)) ? kExitOk
                                                                              : kExitFailed;
        case Action::kVersion: {
            const std::string text =
                "wellenlaenge " WL_VERSION "\n" + ShownText(kStandardOutput, kLicenseLine) + "\n";
            return WriteStandardOutput(text) ? kExitOk : kExitFailed;
        }
        case Action::kBatch:
            if (commandLine.exact || commandLine.white) return RunExactBatch(commandLine);
            return RunBatch(commandLine.batchFile, nullptr);
        case Action::kExactWithoutBatch:
            return Refuse(kExactWithoutBatch);
        case Action::kBadOption:
            return BadOption(commandLine);
        case Action::kDialogue:
            break;
    }
    return 0;
}

std::optional<int> RunCommandLine(int argumentCount, char* const* arguments) {
    const CommandLine commandLine = ParseCommandLine(argumentCount, arguments);
    if (commandLine.action == Action::kDialogue) return std::nullopt;
    return RunAction(commandLine);
}

}  // namespace calc
