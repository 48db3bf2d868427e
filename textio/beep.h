// The platform beep: a tone of a frequency and a duration. A host with a window
// installs its service while the window is open. Without a service a beep is
// the terminal's bell when no screen is open, and silent otherwise.
#pragma once

namespace textio {

using BeepService = void (*)(int frequencyHz, int durationMs);

// Installs the service (null = none); returns the one it replaces.
BeepService SetBeepService(BeepService service);
// Takes `service` out when it is the one installed; another one stays.
void RemoveBeepService(BeepService service);

// Sounds a tone through the installed service.
void Beep(int frequencyHz, int durationMs);

}  // namespace textio
