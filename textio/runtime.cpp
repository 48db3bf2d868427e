#include "textio/runtime.h"

#include <cfenv>
#include <clocale>
#include <cstdio>
#include <cstdlib>

#include "platform/process.h"
#include "textio/files.h"
#include "textio/input_context.h"
#include "textio/interrupts.h"
#include "textio/runtime_state.h"
#include "textio/screen_channel.h"
#include "textio/terminal.h"

namespace textio {

namespace {
int gUseCount = 0;
}

void RuntimeStartup() {
    if (++gUseCount != 1) return;
    // Before anything opens a pipe or a file: a closed standard stream must not
    // lend its number to one.
    const unsigned closed = platform::OpenClosedStandardDescriptors();
    ResetRuntimeState();
    Runtime().closedAtStart = closed;
    // Results depend on the last bits of double arithmetic: round to nearest.
    std::fesetround(FE_TONEAREST);
    // Only the character type follows the user; numbers keep the "C" rules.
    std::setlocale(LC_CTYPE, "");
    TerminalInit();
    InstallInterruptHandlers();
    std::atexit(RuntimeShutdown);
}

void RuntimeShutdown() {
    if (gUseCount <= 0 || --gUseCount != 0) return;
    FileCloseAll();
    ScreenReleaseKeyText();
    ResetInputContext();
    TerminalFinish();
}

void StoreArguments(int argumentCount, char** arguments, intptr_t extra) {
    RuntimeState& rt = Runtime();
    rt.argumentCount = argumentCount;
    rt.arguments = arguments;
    rt.argumentExtra = extra;
}

const char* ProgramName() {
    const RuntimeState& rt = Runtime();
    if (rt.argumentCount <= 0 || rt.arguments == nullptr) return nullptr;
    return rt.arguments[0];
}

ProgramEndHook CurrentProgramEndHook() {
    return Runtime().programEndHook;
}

void SetProgramEndHook(ProgramEndHook hook) {
    Runtime().programEndHook = hook;
}

void EndProgram(int32_t code) {
    RuntimeState& rt = Runtime();
    if (void (*hook)() = rt.programEndHook) {
        rt.programEndHook = nullptr;
        hook();
    }
    TerminalFlush();
    std::exit(code);
}

void EndProgramNow(int32_t code) {
    TerminalFlush();
    RuntimeShutdown();
    std::fflush(nullptr);
    std::_Exit(code);
}

}  // namespace textio
