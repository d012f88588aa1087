// The renderer's answers under real threads, against the threads that change
// what they answer from: a stored list is replaced while ranges of it are
// answered, and the language is switched while menu texts are answered. Every
// answer must come from one whole list or one whole text. Run under the tsan
// preset these also catch any access the locks leave unguarded.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "display/DisplayRenderer.h"
#include "platform/posix/PosixPlatform.h"
#include "settings/Settings.h"
#include "tests/settings/SettingsFixture.h"
#include "tests/support/Queued.h"
#include "tests/support/TempDir.h"

namespace kovado {
namespace {

using Bytes = std::vector<BYTE>;

constexpr int kRounds = 3000;

// "prefix0, prefix1, ..." or "base, base+1, ...".
std::wstring NameList(const std::wstring& prefix, int count) {
    std::wstring text;
    for (int i = 0; i < count; ++i) text += (i ? L", " : L"") + prefix + std::to_wstring(i);
    return text;
}
std::wstring IdList(int base, int count) {
    std::wstring text;
    for (int i = 0; i < count; ++i) text += (i ? L", " : L"") + std::to_wstring(base + i);
    return text;
}

// The replacing thread stays at most this many lists ahead of the answering
// one, so the counts it queues never fill the Talvery queue.
constexpr int kAhead = 8;

TEST(RealThreads, RangesAreAnsweredFromOneWholeList) {
    platform::PosixPlatform posix;
    CBridgeView view(posix.m_services);
    CDisplayRenderer& renderer = *view.m_pRenderer;
    CDeviceWriter& writer = *view.m_pWriter;
    // List A: 30 call ids from 1000 and 10 contacts a0..a9; list B: 10 call
    // ids from 2000 and 5 contacts b0..b4.
    const std::wstring callsA = IdList(1000, 30), callsB = IdList(2000, 10);
    const std::wstring contactsA = NameList(L"a", 10), contactsB = NameList(L"b", 5);
    renderer.OnCallList(callsA);
    renderer.OnContactList(contactsA);
    test::TakeQueued(writer, false);

    std::atomic<int> answered{0};
    std::thread replacer([&] {
        for (int round = 0; round < kRounds; ++round) {
            while (round - answered > kAhead) std::this_thread::yield();
            bool a = round % 2 == 1;
            renderer.OnCallList(a ? callsA : callsB);
            renderer.OnContactList(a ? contactsA : contactsB);
        }
    });

    for (int round = 0; round < kRounds; ++round) {
        renderer.SendCallIds(0, 30);
        renderer.SendContactHandles(0, 10);
        ++answered;
        std::vector<WORD> ids;
        std::vector<std::string> handles;
        for (const Bytes& command : test::TakeQueued(writer, false)) {
            if (command[1] == 1 && command[2] == 0xB2) {
                continue;  // the shorter list was stored: out of its range
            } else if (command[0] == 0x07) {
                for (std::size_t j = 3; j + 1 < command.size(); j += 2)
                    ids.push_back(static_cast<WORD>(command[j] << 8 | command[j + 1]));
            } else if (command[0] == 0x05) {
                handles.emplace_back(command.begin() + 3, command.end());
            }
        }
        // Whatever of a range was answered comes from list A, never from B
        // or from slots of A that B's shorter list left behind.
        for (WORD id : ids) ASSERT_TRUE(id >= 1000 && id < 1030) << id << ", round " << round;
        for (const std::string& handle : handles)
            ASSERT_TRUE(handle.size() == 2 && handle[0] == 'a') << handle << ", round " << round;
    }
    replacer.join();
}

TEST(RealThreads, MenuTextIsOneLanguagesWholeText) {
    test::TempDir dir;
    dir.Put("setting/Language.ini",
            test::Unicode(L"[Titles]\r\n0:One\r\n1:Two\r\n[File]\r\n0:One\r\n1:Two\r\n"));
    // Texts of different lengths and letters: a half-written slot shows.
    const std::string one(64, 'A'), two = "2B2B2B2B";
    dir.Put("Language/One/MenuSetting.cc", "#OK#" + one + "\r\n");
    dir.Put("Language/Two/MenuSetting.cc", "#OK#" + two + "\r\n");
    platform::PosixPlatform posix;
    posix.m_files.m_baseDir = dir.m_path;
    CBridgeView view(posix.m_services);
    CDisplayRenderer& renderer = *view.m_pRenderer;
    CDeviceWriter& writer = *view.m_pWriter;

    constexpr int kSwitches = 300;
    std::atomic<bool> switching{true};
    std::thread menu([&] {
        for (int i = 0; i < kSwitches; ++i) SelectLanguage(view, static_cast<BYTE>(i % 2));
        switching = false;
    });

    // What the handset gets: 00, the slot, then at most 43 bytes of the text.
    const std::string asOne = one.substr(0, 43), asDefault = "2O2K";
    int answers = 0;
    while (switching || answers == 0) {
        renderer.SendMenuText(50);
        for (const Bytes& command : test::TakeQueued(writer, false)) {
            ASSERT_EQ(command[0], 0x28);
            ASSERT_EQ(command[3], 50);
            std::string text(command.begin() + 4, command.end());
            ASSERT_TRUE(text == asOne || text == two || text == asDefault) << text;
            ++answers;
        }
    }
    menu.join();
    EXPECT_GT(answers, 0);
}

}  // namespace
}  // namespace kovado
