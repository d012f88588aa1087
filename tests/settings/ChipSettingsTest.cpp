// The handset's saved block in "setting\Talvery.cc" and the answers to its
// save and fetch requests.
#include "settings/ChipSettings.h"
#include "tests/settings/SettingsFixture.h"
#include "tests/support/Queued.h"
#include "transport/DeviceWriter.h"

namespace kovado {
namespace {

using Bytes = std::vector<BYTE>;

class ChipSettingsTest : public test::SettingsFixture {
protected:
    void SetUp() override {
        std::filesystem::create_directories(m_dir.m_path / "setting");
        Start();
    }
    std::vector<Bytes> Pushed() { return test::TakeQueued(*m_view->m_pWriter, false); }
};

TEST_F(ChipSettingsTest, SavedBlockComesBackUnchanged) {
    const BYTE block[] = {0x10, 0x20, 0x30};
    WriteChipSettings(*m_view, 3, block, sizeof block);
    ReadChipSettings(*m_view);
    EXPECT_EQ(Pushed(), (std::vector<Bytes>{{0x1C, 0x01, 0x00},
                                           {0x1B, 0x04, 0x00, 0x10, 0x20, 0x30}}));
    EXPECT_EQ(m_dir.Get("setting/Talvery.cc"), "\x10\x20\x30");
}

TEST_F(ChipSettingsTest, EmptyBlockAnswersEmptyOnFetch) {
    m_dir.Put("setting/Talvery.cc", "old");
    WriteChipSettings(*m_view, 0, nullptr, 0);
    EXPECT_EQ(m_dir.Get("setting/Talvery.cc"), "");
    ReadChipSettings(*m_view);
    EXPECT_EQ(Pushed(), (std::vector<Bytes>{{0x1C, 0x01, 0x00}, {0x1B, 0x01, 0x02}}));
}

TEST_F(ChipSettingsTest, FetchWithoutFileAnswersNoBlock) {
    ReadChipSettings(*m_view);
    EXPECT_EQ(Pushed(), (std::vector<Bytes>{{0x1B, 0x01, 0x01}}));
}

TEST_F(ChipSettingsTest, FetchSendsTheFirst42Bytes) {
    std::string file;
    for (int i = 0; i < 50; ++i) file.push_back(static_cast<char>(i));
    m_dir.Put("setting/Talvery.cc", file);
    ReadChipSettings(*m_view);
    Bytes expected = {0x1B, 43, 0x00};
    for (int i = 0; i < 42; ++i) expected.push_back(static_cast<BYTE>(i));
    EXPECT_EQ(Pushed(), std::vector<Bytes>{expected});
}

TEST_F(ChipSettingsTest, SaveStoresOnlyTheBytesTheEventCarries) {
    const BYTE carried[] = {1, 2, 3, 4};
    WriteChipSettings(*m_view, 200, carried, sizeof carried);
    EXPECT_EQ(m_dir.Get("setting/Talvery.cc"), "\x01\x02\x03\x04");
    EXPECT_EQ(Pushed(), (std::vector<Bytes>{{0x1C, 0x01, 0x00}}));
}

TEST_F(ChipSettingsTest, SaveThatCannotBeWrittenIsRefused) {
    std::filesystem::remove_all(m_dir.m_path / "setting");
    const BYTE block[] = {0x10};
    WriteChipSettings(*m_view, 1, block, sizeof block);
    EXPECT_EQ(Pushed(), (std::vector<Bytes>{{0x1C, 0x01, 0x01}}));
    EXPECT_FALSE(m_dir.Exists("setting/Talvery.cc"));
}

}  // namespace
}  // namespace kovado
