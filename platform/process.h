// Facts about the running program that the window layer asks the system for.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

// The running program's full path as the system reports it, at most `limit`
// bytes; empty when the system cannot tell.
std::string ExecutablePath(size_t limit);

// Opens the null device on each of the standard descriptors 0, 1 and 2 that is
// closed, so that no pipe, file or connection opened later takes their numbers
// (and input is never read from the program's own pipe): closed input then
// reads as empty, and output to a closed stream is discarded. The first thing
// the runtime start-up does; does nothing on systems without such numbers.
// Returns the descriptors that were closed: bit n for descriptor n.
unsigned OpenClosedStandardDescriptors();

}  // namespace platform
