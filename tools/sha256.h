// A small SHA-256 for checking table contents in tests and in the data
// generator.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace wltest {

// Lower-case hex digest of `size` bytes at `data`.
std::string Sha256Hex(const uint8_t* data, size_t size);

}  // namespace wltest
