#include "platform/common/FreeTypeRasterizer.h"

#include <ft2build.h>
#include FT_FREETYPE_H

namespace kovado::platform {

namespace {

// Decodes the next code point; a surrogate pair counts as one character
// whatever the width of wchar_t, an unpaired surrogate draws as U+FFFD.
char32_t NextCodePoint(const std::wstring& text, std::size_t& i) {
    char32_t c = static_cast<char32_t>(text[i++]);
    if (c >= 0xD800 && c <= 0xDBFF && i < text.size()) {
        char32_t d = static_cast<char32_t>(text[i]);
        if (d >= 0xDC00 && d <= 0xDFFF) {
            ++i;
            return 0x10000 + ((c - 0xD800) << 10) + (d - 0xDC00);
        }
    }
    if (c >= 0xD800 && c <= 0xDFFF) return 0xFFFD;
    return c;
}

// ORs a monochrome glyph bitmap into the target, clipped to it.
void Blit(const FT_Bitmap& glyph, int left, int top, int width, BYTE* bits) {
    const int stride = width / 8;
    for (unsigned row = 0; row < glyph.rows; ++row) {
        int y = top + static_cast<int>(row);
        if (y < 0 || y >= kTextBitmapHeight) continue;
        const unsigned char* src = glyph.buffer + static_cast<std::ptrdiff_t>(row) * glyph.pitch;
        for (unsigned col = 0; col < glyph.width; ++col) {
            if (!(src[col / 8] & (0x80 >> (col % 8)))) continue;
            int x = left + static_cast<int>(col);
            if (x < 0 || x >= width) continue;
            bits[y * stride + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
        }
    }
}

}  // namespace

FreeTypeRasterizer::FreeTypeRasterizer(std::string facePath) : m_strFacePath(std::move(facePath)) {}

FreeTypeRasterizer::~FreeTypeRasterizer() {
    CloseFace();
    if (m_library) FT_Done_FreeType(m_library);
}

void FreeTypeRasterizer::CloseFace() {
    if (m_face) FT_Done_Face(m_face);
    m_face = nullptr;
}

bool FreeTypeRasterizer::LoadFace(const std::string& path) {
    CloseFace();
    m_strFacePath = path;
    m_bTried = false;
    return Ready();
}

bool FreeTypeRasterizer::Ready() {
    if (m_face || m_bTried) return m_face != nullptr;
    m_bTried = true;
    if (!m_library && FT_Init_FreeType(&m_library) != 0) {
        m_library = nullptr;
        return false;
    }
    if (FT_New_Face(m_library, m_strFacePath.c_str(), 0, &m_face) != 0) {
        m_face = nullptr;
        return false;
    }
    FT_Error sized = FT_Set_Pixel_Sizes(m_face, 0, kTextBitmapHeight);
    if (sized != 0 && m_face->num_fixed_sizes > 0) {
        // A bitmap-only face: take the strike nearest to 16 pixels.
        int best = 0;
        for (int i = 1; i < m_face->num_fixed_sizes; ++i) {
            int d = m_face->available_sizes[i].height - kTextBitmapHeight;
            int b = m_face->available_sizes[best].height - kTextBitmapHeight;
            if ((d < 0 ? -d : d) < (b < 0 ? -b : b)) best = i;
        }
        sized = FT_Select_Size(m_face, best);
    }
    if (sized != 0) CloseFace();
    return m_face != nullptr;
}

void FreeTypeRasterizer::DrawText(const std::wstring& text, int width, BYTE* bits) {
    if (width <= 0 || width % 16 != 0 || !Ready()) return;
    // The baseline sits one ascent below the top of the character cell.
    const int baseline = static_cast<int>((m_face->size->metrics.ascender + 32) >> 6);
    int pen = 0;
    std::size_t i = 0;
    while (i < text.size() && pen < width) {
        char32_t cp = NextCodePoint(text, i);
        if (FT_Load_Char(m_face, cp, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME) != 0)
            continue;
        FT_GlyphSlot glyph = m_face->glyph;
        if (glyph->bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
            Blit(glyph->bitmap, pen + glyph->bitmap_left, baseline - glyph->bitmap_top, width, bits);
        pen += static_cast<int>((glyph->advance.x + 32) >> 6);
    }
}

}  // namespace kovado::platform
