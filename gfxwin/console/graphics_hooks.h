// Hands the console operations of the text layer to the graphics screen, and
// takes them back.
#pragma once

namespace gfxwin {

// Fills the ConsoleHooks slots that have a graphics version, the line editor
// and the key waits among them. Slots without one stay empty, so their terminal
// versions run.
void InstallGraphicsHooks();

// Empties every slot.
void RemoveGraphicsHooks();

}  // namespace gfxwin
