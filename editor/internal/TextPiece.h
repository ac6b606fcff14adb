// A run of bytes that becomes one line, or part of one, when text is inserted.
#pragma once

struct TextPiece {
    const char* bytes;
    int length;
};
