// Environment variables for tests, the same way on every platform.
#pragma once

namespace testsupport {

// Sets the variable; a null value removes it.
void SetEnvironment(const char* name, const char* value);

}  // namespace testsupport
