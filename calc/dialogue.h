// The whole run: heading, two line inputs, the calculation, the result on the
// screen and in the result file, two key waits and the end.
#pragma once

namespace calc {

[[noreturn]] void RunDialogue(int argumentCount, char** arguments);

}  // namespace calc
