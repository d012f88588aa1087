#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Rasterizer.h"

#include <algorithm>
#include <climits>

namespace kovado::platform {

Win32Rasterizer::~Win32Rasterizer() {
    for (auto& [width, surface] : m_surfaces) {
        SelectObject(surface.dc, surface.oldFont);
        SelectObject(surface.dc, surface.oldBitmap);
        DeleteObject(surface.bitmap);
        DeleteDC(surface.dc);
    }
    if (m_hFont) DeleteObject(m_hFont);
}

Win32Rasterizer::Surface* Win32Rasterizer::SurfaceFor(int width) {
    auto it = m_surfaces.find(width);
    if (it != m_surfaces.end()) return &it->second;
    if (!m_hFont) {
        m_hFont = CreateFontW(kTextBitmapHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                              ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                              DEFAULT_QUALITY, DEFAULT_PITCH, nullptr);
        if (!m_hFont) return nullptr;
    }
    Surface surface;
    surface.dc = CreateCompatibleDC(nullptr);
    surface.bitmap = CreateBitmap(width, kTextBitmapHeight, 1, 1, nullptr);
    if (!surface.dc || !surface.bitmap) {
        if (surface.bitmap) DeleteObject(surface.bitmap);
        if (surface.dc) DeleteDC(surface.dc);
        return nullptr;
    }
    surface.oldBitmap = SelectObject(surface.dc, surface.bitmap);
    surface.oldFont = SelectObject(surface.dc, m_hFont);
    SetBkColor(surface.dc, RGB(0, 0, 0));
    SetTextColor(surface.dc, RGB(255, 255, 255));
    SetBkMode(surface.dc, TRANSPARENT);
    return &m_surfaces.emplace(width, surface).first->second;
}

void Win32Rasterizer::DrawText(const std::wstring& text, int width, BYTE* bits) {
    if (width <= 0 || width % 16 != 0 || text.empty()) return;
    Surface* surface = SurfaceFor(width);
    if (!surface) return;
    // Rows of a one-bit bitmap are padded to 16 bits, which a width that is a
    // multiple of 16 never needs: the bits are the bitmap's bytes as they are.
    const LONG size = width / 8 * kTextBitmapHeight;
    SetBitmapBits(surface->bitmap, static_cast<::DWORD>(size), bits);
    int length = static_cast<int>(std::min<std::size_t>(text.size(), INT_MAX));
    TextOutW(surface->dc, 0, 0, text.c_str(), length);
    GdiFlush();
    GetBitmapBits(surface->bitmap, size, bits);
}

}  // namespace kovado::platform
