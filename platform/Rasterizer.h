// Text drawing for the handset's name pictures: the system's text renderer
// draws into a one-bit bitmap, exactly as a memory device context with a
// monochrome bitmap selected, white text and a transparent background would.
#pragma once
#include <string>

#include "platform/Types.h"

namespace kovado::platform {

// Every bitmap handed to DrawText is this many pixels high.
constexpr int kTextBitmapHeight = 16;

class IRasterizer {
public:
    virtual ~IRasterizer() = default;
    // Draws the whole text (UTF-16; a wchar_t that is wider simply holds the
    // code point) with the top left of its first character cell at (0, 0)
    // into bits: width x 16 pixels, rows top first, width / 8 bytes a row,
    // the leftmost pixel in the most significant bit. Ink pixels become 1,
    // no grey levels; every other pixel keeps its value; ink that falls
    // outside the bitmap is lost. width is a positive multiple of 16, so the
    // rows need no padding.
    virtual void DrawText(const std::wstring& text, int width, BYTE* bits) = 0;
};

}  // namespace kovado::platform
