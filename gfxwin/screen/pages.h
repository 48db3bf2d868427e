// Several framebuffer pages: copying one to another, and choosing the page that
// drawing goes to and the page that is shown.
#pragma once

#include <cstdint>

namespace gfxwin {

// Copies pixels and text shadow; 0, or 1 for a page that does not exist.
int CopyPage(int32_t source, int32_t destination);

// A negative number keeps that page; 0, or 1 for a page that does not exist.
int SelectPages(int32_t work, int32_t visible);

}  // namespace gfxwin
