// The files seam over the real file system: backslash paths, text-mode lines
// in bounded chunks, and the write, truncate and copy operations.
#include <gtest/gtest.h>

#include "platform/common/StdFiles.h"
#include "tests/support/TempDir.h"

namespace kovado {
namespace {

using platform::FileAccess;
using platform::FileHandle;

struct StdFilesTest : ::testing::Test {
    StdFilesTest() { files.m_baseDir = dir.m_path; }
    test::TempDir dir;
    platform::StdFiles files;
};

TEST_F(StdFilesTest, BackslashPathsReachSubfolders) {
    dir.Put("setting/a.cc", std::string("\xFF\xFE#\0", 4));
    FileHandle f = files.Open(L"setting\\a.cc", FileAccess::Read);
    ASSERT_NE(f, 0u);
    std::vector<BYTE> bytes;
    EXPECT_TRUE(files.ReadAll(f, bytes));
    EXPECT_EQ(bytes, (std::vector<BYTE>{0xFF, 0xFE, '#', 0}));
    EXPECT_TRUE(files.Close(f));

    EXPECT_EQ(files.Open(L"setting\\missing.cc", FileAccess::Read), 0u);
    EXPECT_EQ(files.Open(L"setting", FileAccess::Read), 0u);  // a folder is no file
    EXPECT_EQ(files.Open(L"nofolder\\new.cc", FileAccess::Write), 0u);
}

TEST_F(StdFilesTest, LinesComeInChunksWithCrLfAsOneLineFeed) {
    std::string x95(95, 'x'), y120(120, 'y');
    dir.Put("m.cc", "ab\r\ncd\n\re\r" + x95 + "\r\n" + y120 + "\r\nlast");
    FileHandle f = files.Open(L"m.cc", FileAccess::Read);
    ASSERT_NE(f, 0u);
    std::vector<std::string> lines;
    std::string line;
    while (files.ReadLine(f, line, 99)) lines.push_back(line);
    files.Close(f);
    // A lone CR is data; the CR LF that would be the 99th and 100th bytes is
    // delivered as the chunk's 99th; a longer line is cut after 99 bytes.
    EXPECT_EQ(lines, (std::vector<std::string>{"ab\n", "cd\n", "\re\r" + x95 + "\n",
                                               std::string(99, 'y'),
                                               std::string(21, 'y') + "\n", "last"}));
}

TEST_F(StdFilesTest, WriteTruncatesAndCopyReplaces) {
    dir.Put("setting/t.cc", "old contents");
    FileHandle f = files.Open(L"setting\\t.cc", FileAccess::Write);
    ASSERT_NE(f, 0u);
    EXPECT_EQ(dir.Get("setting/t.cc"), "");
    EXPECT_TRUE(files.Write(f, "abc", 3));
    EXPECT_TRUE(files.Truncate(f));
    EXPECT_TRUE(files.Write(f, "xy", 2));
    EXPECT_TRUE(files.Close(f));
    EXPECT_EQ(dir.Get("setting/t.cc"), "xy");

    dir.Put("Language/A/u.cc", "copied");
    EXPECT_TRUE(files.Copy(L"Language\\A\\u.cc", L"setting\\t.cc"));
    EXPECT_EQ(dir.Get("setting/t.cc"), "copied");
    EXPECT_FALSE(files.Copy(L"Language\\B\\u.cc", L"setting\\t.cc"));
    EXPECT_EQ(dir.Get("setting/t.cc"), "copied");

    f = files.Open(L"setting\\t.cc", FileAccess::Read);
    BYTE buffer[4] = {};
    EXPECT_EQ(files.Read(f, buffer, 4), 4);
    EXPECT_EQ(files.Read(f, buffer, 4), 2);
    EXPECT_FALSE(files.Write(f, "z", 1));  // opened for reading only
    files.Close(f);
    EXPECT_FALSE(files.Close(f));
}

}  // namespace
}  // namespace kovado
