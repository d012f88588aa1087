// GDI drawing of name pictures and the files seam on Windows: text drawn into
// the 128 x 16 and 112 x 16 one-bit bitmaps sets ink only where the letters
// are, keeps every other bit, and never writes past the bitmap; settings paths
// with backslashes and non-Latin names read, write, truncate and copy.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/Win32Platform.h"
#include "platform/win32/tests/Check.h"

using namespace kovado::platform;
using kovado::BYTE;
using kovado::wintest::Check;

namespace {

constexpr int kRows = 16;
constexpr std::size_t kGuard = 64;
constexpr BYTE kGuardByte = 0xA5;

bool Ink(const std::vector<BYTE>& bits, int width, int row, int column) {
    return (bits[row * (width / 8) + column / 8] >> (7 - column % 8)) & 1;
}

// The columns with ink: [first, last], or first > last when there is none.
void InkColumns(const std::vector<BYTE>& bits, int width, int& first, int& last) {
    first = width;
    last = -1;
    for (int row = 0; row < kRows; ++row)
        for (int column = 0; column < width; ++column)
            if (Ink(bits, width, row, column)) {
                first = std::min(first, column);
                last = std::max(last, column);
            }
}

void Print(const std::vector<BYTE>& bits, int width) {
    for (int row = 0; row < kRows; ++row) {
        std::string line;
        for (int column = 0; column < width; ++column)
            line += Ink(bits, width, row, column) ? '#' : '.';
        std::printf("  %s\n", line.c_str());
    }
}

// The width GDI gives the text in the same face, for the ink bounds.
int Extent(const std::wstring& text) {
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = CreateFontW(16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH, nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
    return size.cx;
}

// A bitmap with guard bytes after it, to catch writes past its end.
struct Picture {
    explicit Picture(int w, BYTE fill = 0) : width(w), bytes(w / 8 * kRows + kGuard, kGuardByte) {
        std::memset(bytes.data(), fill, w / 8 * kRows);
    }
    std::vector<BYTE> Bits() const { return {bytes.begin(), bytes.begin() + width / 8 * kRows}; }
    bool GuardIntact() const {
        for (std::size_t i = width / 8 * kRows; i < bytes.size(); ++i)
            if (bytes[i] != kGuardByte) return false;
        return true;
    }
    int width;
    std::vector<BYTE> bytes;
};

void TestDrawing(IRasterizer& raster) {
    Picture empty(128);
    raster.DrawText(L"", 128, empty.bytes.data());
    int first, last;
    InkColumns(empty.Bits(), 128, first, last);
    Check(last < 0 && empty.GuardIntact(), "an empty text draws nothing");

    struct NameCase {
        const wchar_t* text;
        int width;
    } names[] = {{L"A", 128}, {L"Alice Smith", 128}, {L"Bob", 112}};
    for (const NameCase& name : names) {
        Picture picture(name.width);
        raster.DrawText(name.text, name.width, picture.bytes.data());
        std::vector<BYTE> bits = picture.Bits();
        InkColumns(bits, name.width, first, last);
        int extent = Extent(name.text);
        std::printf("\"%ls\" (%d pixels wide):\n", name.text, extent);
        Print(bits, name.width);
        Check(last >= 0, "a Latin name leaves ink");
        Check(first >= 0 && first < 4, "the ink starts at the left edge");
        Check(last < extent, "no ink right of the text's width");
        Check(picture.GuardIntact(), "nothing is written past the bitmap");
        int inkRows = 0;
        for (int row = 0; row < kRows; ++row)
            for (int column = 0; column < name.width; ++column)
                if (Ink(bits, name.width, row, column)) {
                    ++inkRows;
                    break;
                }
        Check(inkRows >= 8, "the letters are about a cell high");
    }

    // Transparent drawing: bits already set stay set; only ink is added.
    Picture preset(128);
    for (int row = 0; row < kRows; ++row) preset.bytes[row * 16 + 15] = 0xFF;
    raster.DrawText(L"A", 128, preset.bytes.data());
    bool kept = true;
    for (int row = 0; row < kRows; ++row) kept = kept && preset.bytes[row * 16 + 15] == 0xFF;
    Picture plain(128);
    raster.DrawText(L"A", 128, plain.bytes.data());
    bool same = true;
    for (int i = 0; i < 16 * kRows; ++i)
        if (i % 16 != 15) same = same && preset.bytes[i] == plain.bytes[i];
    Check(kept && same, "drawing keeps the bits already set and adds only the ink");

    // A name wider than the bitmap is cut at its right edge.
    Picture cut(112);
    raster.DrawText(L"Bartholomew Featherstonehaugh-Whittington", 112, cut.bytes.data());
    InkColumns(cut.Bits(), 112, first, last);
    Check(last >= 104 && cut.GuardIntact(), "a long name runs to the edge and stops there");
}

std::string ReadAllOf(IFiles& files, const std::wstring& path) {
    FileHandle f = files.Open(path, FileAccess::Read);
    std::vector<BYTE> bytes;
    if (!f || !files.ReadAll(f, bytes)) return "<unreadable>";
    files.Close(f);
    return std::string(bytes.begin(), bytes.end());
}

void TestFiles(IFiles& files) {
    CreateDirectoryW(L"setting", nullptr);
    const std::wstring name = L"setting\\Привет 日本.cc";
    FileHandle out = files.Open(name, FileAccess::Write);
    Check(out != 0, "a file with a non-Latin name under setting\\ is created");
    Check(files.Write(out, "gone", 4) && files.Truncate(out) && files.Write(out, "ab\r\ncd", 6) &&
              files.Close(out),
          "write, truncate, write again");
    FileHandle in = files.Open(name, FileAccess::Read);
    std::string line1, line2, line3;
    bool read = files.ReadLine(in, line1, 99) && files.ReadLine(in, line2, 99) &&
                !files.ReadLine(in, line3, 99);
    files.Close(in);
    Check(read && line1 == "ab\n" && line2 == "cd", "lines read back, CR LF as one line feed");

    Check(files.Copy(name, L"setting\\copy.cc") &&
              ReadAllOf(files, L"setting\\copy.cc") == "ab\r\ncd",
          "a copy holds the same bytes");
    FileHandle shorter = files.Open(name, FileAccess::Write);
    files.Write(shorter, "x", 1);
    files.Close(shorter);
    Check(files.Copy(name, L"setting\\copy.cc") && ReadAllOf(files, L"setting\\copy.cc") == "x",
          "copying over an existing file replaces it");
    Check(files.Open(L"setting\\missing.cc", FileAccess::Read) == 0,
          "a missing file does not open");
    Check(files.Open(L"setting", FileAccess::Read) == 0, "a folder does not open as a file");

    DeleteFileW(name.c_str());
    DeleteFileW(L"setting\\copy.cc");
    RemoveDirectoryW(L"setting");
}

}  // namespace

int wmain() {
    kovado::wintest::StartWatchdog(60);
    Win32Platform platform;
    TestDrawing(platform.m_raster);
    TestFiles(platform.m_files);
    return kovado::wintest::Finish();
}
