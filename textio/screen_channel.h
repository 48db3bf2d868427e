// Channel 0: the screen record, its write side and its key-reading side.
#pragma once

#include <cstddef>

#include "textio/file_record.h"

namespace textio {

// The 20-byte key text buffer the screen record points to as its stream.
struct KeyTextBuffer {
    char text[16];
    int32_t count;  // unread bytes at the front of text
};

// Sets up the screen record on first use (width and column from the text window).
void ScreenInit();
// Re-reads width and column from the text window (after a mode set).
void ScreenRefreshGeometry();
// Sets the screen record's column (0-based) when the record is set up.
void ScreenSetColumn(uint32_t column);
int ScreenWrite(FileRecord* rec, const void* bytes, size_t length);
void ScreenReadInit();
int ScreenRead(FileRecord* rec, void* buffer, size_t* count);
// Releases the key text buffer (runtime shutdown).
void ScreenReleaseKeyText();

}  // namespace textio
