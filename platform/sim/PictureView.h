// Looking at a one-bit picture of the handset's display (rows top first,
// leftmost pixel in the most significant bit, 1 = ink): as text art for
// tests and traces, and as a PNG file for people.
#pragma once
#include <string>

#include "platform/Types.h"

namespace kovado::platform {

// One line per row, '#' for ink and '.' for background, each ending in '\n'.
std::string PictureArt(const BYTE* bits, int width, int height);

// Writes the picture as a grey-scale PNG, ink dark on a light ground as the
// display shows it, every pixel drawn as scale x scale; false on failure.
bool SavePicturePng(const std::string& path, const BYTE* bits, int width, int height,
                    int scale = 4);

}  // namespace kovado::platform
