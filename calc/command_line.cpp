#include "calc/command_line.h"

#include <string_view>

#include "calc/batch.h"
#include "calc/command_line_texts.h"
#include "calc/exact_wavelength.h"
#include "calc/shown_text.h"

#ifndef WL_VERSION
#error "WL_VERSION comes from the project version in CMake"
#endif

namespace calc {

namespace {

// A long option given as "--" plus any non-empty prefix of its name.
bool IsLongOption(std::string_view given, std::string_view name) {
    return !given.empty() && given.size() <= name.size() && name.substr(0, given.size()) == given;
}

int Refuse(std::string_view problem) {
    WriteOut(kStandardError, "wellenlaenge: " + ShownText(kStandardError, problem) + "\n");
    return 2;
}

// Batch mode, with the exact columns for the white point asked for.
int RunExactBatch(const CommandLine& commandLine) {
    if (!commandLine.exact) return Refuse(kWhiteWithoutExact);
    Chromaticity white = kWhiteE;
    if (commandLine.white) {
        const WhiteProblem problem = ParseWhite(*commandLine.white, &white);
        if (problem != WhiteProblem::kNone) {
            std::string line = "wellenlaenge: --white: '";
            line += *commandLine.white;  // as the shell passed it, not re-encoded
            line += "' " +
                    ShownText(kStandardError,
                              problem == WhiteProblem::kMalformed ? kNotAWhite : kWhiteOutside) +
                    "\n";
            WriteOut(kStandardError, line);
            return 2;
        }
    }
    const ExactLocus locus(white);
    return RunBatch(commandLine.batchFile, &locus);
}

int UnknownOption(const std::string& argument) {
    std::string line = "wellenlaenge: " + ShownText(kStandardError, kUnknownOption) + " '";
    line += argument;  // as the shell passed it, not re-encoded
    line += "' " + ShownText(kStandardError, kSeeHelp) + "\n";
    WriteOut(kStandardError, line);
    return 2;
}

}  // namespace

CommandLine ParseCommandLine(int argumentCount, char* const* arguments) {
    CommandLine result;
    auto stop = [&result](Action action, std::string_view argument = {}) {
        result.action = action;
        if (action == Action::kUnknownOption) result.unknownOption = argument;
        return result;
    };
    for (int i = 1; i < argumentCount; ++i) {
        const std::string_view argument = arguments[i];
        if (argument.size() < 2 || argument[0] != '-') continue;  // no option: ignored
        if (argument == "--") break;
        if (argument[1] == '-') {
            const std::string_view body = argument.substr(2);
            const size_t equals = body.find('=');
            const std::string_view name = body.substr(0, equals);
            // Help and version take no value: "--help=x" is no option of ours.
            if (IsLongOption(name, "batch")) {
                result.action = Action::kBatch;
                if (equals != std::string_view::npos) {
                    result.batchFile = body.substr(equals + 1);
                } else if (i + 1 < argumentCount) {
                    const std::string_view next = arguments[i + 1];
                    if (next.size() < 2 || next[0] != '-') {
                        result.batchFile = next;
                        ++i;
                    }
                }
            } else if (equals == std::string_view::npos && IsLongOption(name, "exact")) {
                result.exact = true;
            } else if (IsLongOption(name, "white")) {
                // A value is required: the next argument, whatever it is.
                if (equals != std::string_view::npos) {
                    result.white = std::string(body.substr(equals + 1));
                } else {
                    result.white = i + 1 < argumentCount ? arguments[++i] : "";
                }
            } else if (equals == std::string_view::npos && IsLongOption(name, "help")) {
                return stop(Action::kHelp);
            } else if (equals == std::string_view::npos && IsLongOption(name, "version")) {
                return stop(Action::kVersion);
            } else {
                return stop(Action::kUnknownOption, argument);
            }
            continue;
        }
        // Short options take no argument and all end the scan, so in a group
        // ("-hV") the first letter decides.
        if (argument[1] == 'h') return stop(Action::kHelp);
        if (argument[1] == 'V') return stop(Action::kVersion);
        return stop(Action::kUnknownOption, std::string("-") + argument[1]);
    }
    if (result.action == Action::kDialogue && (result.exact || result.white)) {
        result.action = Action::kExactWithoutBatch;
    }
    return result;
}

int RunAction(const CommandLine& commandLine) {
    ReadyStandardStreams();
    switch (commandLine.action) {
        case Action::kHelp:
            return WriteStandardOutput(ShownText(kStandardOutput, kHelpText)) ? 0 : 1;
        case Action::kVersion: {
            const std::string text =
                "wellenlaenge " WL_VERSION "\n" + ShownText(kStandardOutput, kLicenseLine) + "\n";
            return WriteStandardOutput(text) ? 0 : 1;
        }
        case Action::kBatch:
            if (commandLine.exact || commandLine.white) return RunExactBatch(commandLine);
            return RunBatch(commandLine.batchFile, nullptr);
        case Action::kExactWithoutBatch:
            return Refuse(kExactWithoutBatch);
        case Action::kUnknownOption:
            return UnknownOption(commandLine.unknownOption);
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
