// The self-pipe that wakes polls when a signal or a program-end request
// arrives.
#pragma once

namespace platform {

// The read end, or -1 before InstallInterruptSources created it.
int WakePipeReadEnd();

}  // namespace platform
