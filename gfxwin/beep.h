// The platform beep: a tone of a frequency and a duration. The host installs
// the service; without one the beep is silent.
#pragma once

namespace gfxwin {

using BeepService = void (*)(int frequencyHz, int durationMs);

// Installs the service (null = silent); returns the one it replaces.
BeepService SetBeepService(BeepService service);

// Sounds a tone through the installed service.
void Beep(int frequencyHz, int durationMs);

}  // namespace gfxwin
