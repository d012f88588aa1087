// Name pictures drawn by GDI: per bitmap width a memory drawing surface with
// a one-bit bitmap and the system's default face at a 16-pixel cell height
// selected, white text on black in transparent mode, so that drawing sets
// exactly the ink pixels to 1.
#pragma once
#include <map>

#include "platform/Rasterizer.h"
#include "platform/win32/Win32Api.h"

namespace kovado::platform {

class Win32Rasterizer : public IRasterizer {
public:
    Win32Rasterizer() = default;
    ~Win32Rasterizer() override;
    Win32Rasterizer(const Win32Rasterizer&) = delete;
    Win32Rasterizer& operator=(const Win32Rasterizer&) = delete;

    // One text at a time: the caller serialises the drawing.
    void DrawText(const std::wstring& text, int width, BYTE* bits) override;

private:
    struct Surface {
        HDC dc = nullptr;
        HBITMAP bitmap = nullptr;
        HGDIOBJ oldBitmap = nullptr;
        HGDIOBJ oldFont = nullptr;
    };
    Surface* SurfaceFor(int width);

    HFONT m_hFont = nullptr;
    std::map<int, Surface> m_surfaces;  // by bitmap width
};

}  // namespace kovado::platform
