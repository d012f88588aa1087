// Name pictures: what lands in the 128 x 16 picture, the chunks the handset
// fetches, and the FreeType text renderer under them.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <filesystem>

#include "display/CallIcons.h"
#include "platform/common/FreeTypeRasterizer.h"
#include "platform/sim/PictureView.h"
#include "shell/DebugDlg.h"
#include "tests/display/RendererFixture.h"

namespace kovado {
namespace {

using test::Bytes;
using test::Hex;
using Picture = std::array<BYTE, CDisplayRenderer::kPictureBytes>;
constexpr int kWidth = CDisplayRenderer::kPictureWidth;

bool Ink(const BYTE* bits, int width, int x, int y) {
    return bits[y * (width / 8) + x / 8] & (0x80 >> (x % 8));
}
int InkCount(const Picture& p) {
    int n = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < kWidth; ++x) n += Ink(p.data(), kWidth, x, y);
    return n;
}
// The picture's art, printed when an expectation fails.
std::string Art(const Picture& p) { return "\n" + platform::PictureArt(p.data(), kWidth, 16); }

// What the text renderer alone draws for a text, width pixels wide.
std::vector<BYTE> Drawn(const std::wstring& text, int width) {
    platform::FreeTypeRasterizer raster;
    std::vector<BYTE> bits(static_cast<std::size_t>(width / 8 * 16));
    raster.DrawText(text, width, bits.data());
    return bits;
}

Picture NamePicture(const std::wstring& text) {
    test::RendererFixture f;
    f.renderer.SendNamePicture(text);
    EXPECT_EQ(f.Talvery(), std::vector<Bytes>{Hex("26 01 00")});
    return f.renderer.m_abPicture;
}

TEST(NamePicture, OneLatinLetterLightsOnlyItsOwnColumns) {
    Picture p = NamePicture(L"I");
    EXPECT_GT(InkCount(p), 8) << Art(p);
    for (int y = 0; y < 16; ++y)
        for (int x = 8; x < kWidth; ++x) ASSERT_FALSE(Ink(p.data(), kWidth, x, y)) << Art(p);
}

TEST(NamePicture, EmptyNameIsBlankButAnnounced) {
    EXPECT_EQ(NamePicture(L""), Picture{});
}

TEST(NamePicture, LongNameIsCutAtTheRightEdge) {
    const std::wstring name(40, L'W');  // 320 pixels
    Picture p = NamePicture(name);
    std::vector<BYTE> wide = Drawn(name, 320);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < kWidth; ++x)
            ASSERT_EQ(Ink(p.data(), kWidth, x, y), Ink(wide.data(), 320, x, y)) << x << "," << y << Art(p);
    EXPECT_TRUE(Ink(p.data(), kWidth, 127, 4) || Ink(p.data(), kWidth, 126, 4)) << Art(p);
}

TEST(NamePicture, OtherScriptsDrawTheirGlyphsNotTheMissingGlyphBox) {
    Picture missing = NamePicture(L"\uFFFF");
    for (const wchar_t* name : {L"\u738B\u5C0F\u660E", L"\u0416\u0430\u043D\u043D\u0430"}) {
        Picture p = NamePicture(name);
        EXPECT_GT(InkCount(p), 20) << Art(p);
        // Each character differs from the box drawn for a character the face lacks.
        for (int c = 0; c < 3; ++c) {
            Picture one = NamePicture(std::wstring(1, name[c]));
            EXPECT_NE(one, missing) << Art(one);
        }
    }
}

struct HistoryCase {
    BYTE kind;
    const display::IconRows& icon;
};

TEST(HistoryPicture, IconOfTheKindThenTheNameFromColumn16) {
    const HistoryCase cases[] = {{1, display::kMissedCallIcon},
                                 {2, display::kIncomingCallIcon},
                                 {3, display::kOutgoingCallIcon},
                                 {0, display::kOutgoingCallIcon},
                                 {255, display::kOutgoingCallIcon}};
    const std::wstring name = L"Bob \u738B and a name far too wide for the rest";
    std::vector<BYTE> text = Drawn(name, CDisplayRenderer::kTextWidth);
    for (const HistoryCase& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.kind));
        test::RendererFixture f;
        f.renderer.m_strName = name;
        f.renderer.SendHistoryPicture(c.kind);
        EXPECT_EQ(f.Talvery(), std::vector<Bytes>{Hex("2A 01 00")});
        const Picture& p = f.renderer.m_abPicture;
        for (int y = 0; y < 15; ++y) EXPECT_EQ(p[y * 16] << 8 | p[y * 16 + 1], c.icon[y]) << Art(p);
        EXPECT_EQ(p[15 * 16], 0);
        EXPECT_EQ(p[15 * 16 + 1], 0);
        for (int y = 0; y < 16; ++y)
            for (int x = 16; x < kWidth; ++x)
                ASSERT_EQ(Ink(p.data(), kWidth, x, y), Ink(text.data(), 112, x - 16, y)) << Art(p);
    }
}

// A full queue logs a line: a message to the user-interface thread, which may
// itself be waiting for the renderer's lock. The pictures are announced only
// once the lock is released.
TEST(Pictures, AnnouncedAfterTheRendererLockIsReleased) {
    struct LockProbe : platform::IWindowClient {
        platform::Mutex* lock = nullptr;
        std::vector<bool> freeAtLog;
        std::intptr_t WindowProc(std::uint32_t message, std::uintptr_t,
                                 std::intptr_t) override {
            if (message == platform::kLbInsertString) freeAtLog.push_back(lock->m_nCoopOwner < 0);
            return 0;
        }
    } probe;
    test::RendererFixture f;
    probe.lock = &f.renderer.m_lock;
    f.view.m_bDebug = 1;
    f.view.m_pDebugDlg = new CDebugDlg(f.bridge.m_services);
    f.view.m_pDebugDlg->m_pOwner = &f.view;
    f.view.m_pDebugDlg->m_hList = f.bridge.m_services.windows->CreateWindow(&probe, L"", 0);
    Bytes filler = Hex("05 01 00");
    for (int picture = 0; picture < 2; ++picture) {
        for (int i = 0; i < 49; ++i) f.writer.PushTalvery(filler.data());
        if (picture == 0) {
            f.renderer.SendNamePicture(L"Bob");
        } else {
            f.renderer.SendHistoryPicture(display::kKindMissed);
        }
    }
    EXPECT_EQ(probe.freeAtLog, (std::vector<bool>{true, true}));
}

TEST(PictureChunk, TwoRowsEachAndNothingBeyondTheEighth) {
    test::RendererFixture f;
    f.renderer.m_strName = L"Chunky";
    f.renderer.SendHistoryPicture(1);
    const Picture p = f.renderer.m_abPicture;
    f.Talvery();
    for (int index : {0, 3, 7}) {
        f.renderer.SendPictureChunk(static_cast<BYTE>(index));
        Bytes expected = Hex("27 22 00");
        expected.push_back(static_cast<BYTE>(index));
        expected.insert(expected.end(), p.begin() + 32 * index, p.begin() + 32 * index + 32);
        EXPECT_EQ(f.Talvery(), std::vector<Bytes>{expected}) << index;
    }
    // A chunk comes from the last picture drawn.
    f.renderer.SendNamePicture(L"");
    f.Talvery();
    f.renderer.SendPictureChunk(0);
    EXPECT_EQ(f.Talvery(), std::vector<Bytes>{test::Concat(Hex("27 22 00 00"), std::string(32, '\0'))});
    for (int index : {8, 255}) {
        f.renderer.SendPictureChunk(static_cast<BYTE>(index));
        EXPECT_EQ(f.Talvery(), std::vector<Bytes>{Hex("27 01 B2")}) << index;
    }
}

TEST(FreeTypeRasterizer, DrawsOnlyInkAndKeepsWhatWasThere) {
    platform::FreeTypeRasterizer raster;
    std::vector<BYTE> bits(16 * 16 / 8, 0);
    bits[0] = 0x01;  // a pixel the text does not touch
    raster.DrawText(L"\u738B", 16, bits.data());
    EXPECT_EQ(bits[0] & 0x01, 0x01);
    EXPECT_GT(std::count_if(bits.begin(), bits.end(), [](BYTE b) { return b != 0; }), 8);

    // Another face; one that cannot be opened draws nothing.
    EXPECT_FALSE(raster.LoadFace("/nonexistent/face.otf"));
    std::vector<BYTE> none(bits.size(), 0);
    raster.DrawText(L"X", 16, none.data());
    EXPECT_EQ(none, std::vector<BYTE>(bits.size(), 0));
    EXPECT_TRUE(raster.LoadFace(platform::FreeTypeRasterizer::kDefaultFace));
}

TEST(PictureView, ArtAndPngShowTheSamePixels) {
    Picture p{};
    p[0] = 0x80;            // (0, 0)
    p[15 * 16 + 15] = 0x01;  // (127, 15)
    std::string art = platform::PictureArt(p.data(), kWidth, 16);
    EXPECT_EQ(art.substr(0, 3), "#..");
    EXPECT_EQ(art.substr(art.size() - 3), ".#\n");
    EXPECT_EQ(std::count(art.begin(), art.end(), '#'), 2);

    const std::string path = (std::filesystem::temp_directory_path() / "kovado_picture_test.png").string();
    ASSERT_TRUE(platform::SavePicturePng(path, p.data(), kWidth, 16, 2));
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, path.c_str()));
    image.format = PNG_FORMAT_GRAY;
    std::vector<BYTE> grey(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, grey.data(), 0, nullptr));
    std::remove(path.c_str());
    ASSERT_EQ(image.width, 256u);
    ASSERT_EQ(image.height, 32u);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 256; ++x)
            ASSERT_EQ(grey[y * 256 + x] < 0x80, Ink(p.data(), kWidth, x / 2, y / 2)) << x << "," << y;
    EXPECT_FALSE(platform::SavePicturePng("/nonexistent/dir/p.png", p.data(), kWidth, 16));
}

}  // namespace
}  // namespace kovado
