// The text renderer of the Linux backends: FreeType in monochrome mode. The
// default face is GNU Unifont, whose glyphs are 16 pixels high and cover the
// whole Basic Multilingual Plane, so names in any script draw crisply.
#pragma once
#include <string>

#include "platform/Rasterizer.h"

struct FT_LibraryRec_;
struct FT_FaceRec_;

namespace kovado::platform {

class FreeTypeRasterizer : public IRasterizer {
public:
    // Installed by Debian's fonts-unifont.
    static constexpr const char* kDefaultFace = "/usr/share/fonts/opentype/unifont/unifont.otf";

    // The face is opened on the first drawing, so a rasteriser that never
    // draws costs nothing.
    explicit FreeTypeRasterizer(std::string facePath = kDefaultFace);
    ~FreeTypeRasterizer() override;
    FreeTypeRasterizer(const FreeTypeRasterizer&) = delete;
    FreeTypeRasterizer& operator=(const FreeTypeRasterizer&) = delete;

    // Switches to another face file at once; false, and nothing drawn from
    // then on, when it cannot be opened.
    bool LoadFace(const std::string& path);

    // Not safe for concurrent calls: the caller draws one text at a time.
    void DrawText(const std::wstring& text, int width, BYTE* bits) override;

    std::string m_strFacePath;

private:
    bool Ready();
    void CloseFace();

    FT_LibraryRec_* m_library = nullptr;
    FT_FaceRec_* m_face = nullptr;
    bool m_bTried = false;
};

}  // namespace kovado::platform
