#include "calc/command_line.h"
#include "calc/dialogue.h"
#include "textio/runtime.h"

int main(int argc, char** argv) {
    textio::RuntimeStartup();
    if (const std::optional<int> status = calc::RunCommandLine(argc, argv)) return *status;
    calc::RunDialogue(argc, argv);
}
