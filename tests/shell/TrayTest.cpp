// The tray icon from the frame's start to the view's end, the status icons,
// and the tray menu built from the current language's texts.
#include <gtest/gtest.h>

#include "shell/FrameStart.h"
#include "shell/NestedLoop.h"
#include "shell/StatusIcons.h"
#include "shell/SystemTray.h"
#include "tests/shell/ShellFixture.h"

namespace kovado {
namespace {

using platform::SimTray;
using test::FakeMenus;
using test::Unicode;

constexpr std::uint32_t kCallback = 1034;
constexpr std::uintptr_t kIconId = 133;

class TrayTest : public test::ShellFixture {
protected:
    CBridgeView& StartWithTray() {
        CBridgeView& view = Start();
        EXPECT_TRUE(StartFrame(view, m_hFrame));
        return view;
    }
    std::intptr_t Click(std::intptr_t event, std::uintptr_t id = kIconId) {
        return m_sim.m_windows.Send(m_view->m_tray.m_hWnd, kCallback, id, event);
    }
};

// Supervision's first pass (Skype not installed here) runs during the frame's
// 50 ms pause; the icon is added with what it chose.
TEST_F(TrayTest, FrameAddsTheIconSupervisionChoseAndFollowsTheShell) {
    CBridgeView& view = StartWithTray();
    SimTray::Shown shown = m_sim.m_tray.Now();
    EXPECT_TRUE(shown.added);
    EXPECT_EQ(shown.icon, platform::IconHandle{141});
    EXPECT_EQ(shown.tip, L"Skype isn't installed");
    EXPECT_EQ(view.m_nTickTimer, 1u);
    EXPECT_NE(view.m_hWnd, 0u);

    // A restarted shell has lost the icon: it comes back as it is now.
    view.m_tray.ChangeIcon(130);
    view.m_tray.ChangeTip(L"Kovado");
    std::size_t before = m_sim.m_tray.Changes().size();
    m_sim.m_windows.Broadcast(m_sim.m_windows.RegisterMessage(L"TaskbarCreated"), 0, 0);
    auto changes = m_sim.m_tray.Changes();
    ASSERT_EQ(changes.size(), before + 1);
    EXPECT_EQ(changes.back().kind, SimTray::Kind::Add);
    EXPECT_EQ(changes.back().icon, platform::IconHandle{130});
    EXPECT_EQ(changes.back().tip, L"Kovado");

    m_view.reset();
    EXPECT_FALSE(m_sim.m_tray.Now().added);
    EXPECT_EQ(m_sim.m_tray.Changes().back().kind, SimTray::Kind::Remove);
}

struct RefusingTray : platform::ITray {
    bool Add(platform::WindowHandle, platform::IconHandle, const std::wstring&,
             std::uint32_t) override {
        return false;
    }
    void Remove() override {}
    void ChangeIcon(platform::IconHandle) override {}
    void ChangeTip(const std::wstring&) override {}
    platform::IconHandle LoadIconFile(const std::wstring&) override { return 0; }
    platform::IconHandle LoadIconResource(UINT) override { return 0; }
    void DestroyIcon(platform::IconHandle) override {}
};

TEST_F(TrayTest, NoNotificationAreaFailsTheStart) {
    RefusingTray refusing;
    m_sim.m_services.tray = &refusing;
    CBridgeView& view = Start();
    EXPECT_FALSE(StartFrame(view, m_hFrame));
    EXPECT_EQ(view.m_nTickTimer, 0u);
}

TEST_F(TrayTest, StatusIconsPreferTheirFiles) {
    m_sim.m_tray.AddIconFile(L"setting\\allpass.ico", 9001);
    m_sim.m_tray.AddIconFile(L"setting\\USBfail.ico", 9004);
    CBridgeView& view = Start();
    EXPECT_EQ(view.m_hIconOk, 9001u);
    EXPECT_EQ(view.m_hIconSkypeFail, 131u);
    EXPECT_EQ(view.m_hIconSkypeMissing, 141u);
    EXPECT_EQ(view.m_hIconUsbFail, 9004u);
}

struct MenuCase {
    const char* name;
    int languages;
};

class TrayMenuTest : public TrayTest, public ::testing::WithParamInterface<MenuCase> {};

// The submenu lists exactly the configured languages, in order; the other
// labels are the user texts of the moment.
TEST_P(TrayMenuTest, RightClickShowsTheMenuLabelledNow) {
    CBridgeView& view = StartWithTray();
    view.m_nLanguageTitleCount = static_cast<BYTE>(GetParam().languages);
    for (int i = 0; i < GetParam().languages; ++i)
        view.m_arrLanguageTitles[i] = L"Language " + std::to_wstring(i);
    view.m_arrUserTexts[kTextAbout] = L"Über";
    view.m_arrUserTexts[kTextExit] = L"Beenden";
    view.m_arrUserTexts[kTextSelectLanguage] = L"Sprache";
    // The menu's own loop is marked, so a close meanwhile keeps the tray alive.
    int loops = 0;
    m_menus.m_onTrack = [&loops](platform::WindowHandle) { loops = NestedLoop::Depth(); };

    EXPECT_EQ(Click(platform::kWmRButtonUp), 1);
    EXPECT_EQ(loops, 1);
    EXPECT_EQ(NestedLoop::Depth(), 0);
    ASSERT_EQ(m_menus.m_shown.size(), 1u);
    const FakeMenus::Shown& shown = m_menus.m_shown[0];
    EXPECT_EQ(shown.owner, m_hFrame);
    EXPECT_EQ(shown.labels,
              (std::vector<std::wstring>{L"Sprache", L"", L"Über", L"", L"Beenden"}));
    ASSERT_EQ(shown.languages.size(), static_cast<std::size_t>(GetParam().languages));
    for (int i = 0; i < GetParam().languages; ++i) {
        EXPECT_EQ(shown.languages[i].command, 200u + i);
        EXPECT_EQ(shown.languages[i].label, L"Language " + std::to_wstring(i));
    }
    EXPECT_EQ(shown.defaultItem, 0u);
    EXPECT_FALSE(shown.defaultByPosition);
    EXPECT_EQ(m_menus.m_nDestroyed, m_menus.m_nLoaded);
    EXPECT_TRUE(m_frame.commands.empty());  // dismissed: nothing chosen

    view.m_arrUserTexts[kTextExit] = L"Quit";
    Click(platform::kWmRButtonUp);
    EXPECT_EQ(m_menus.m_shown.back().labels.back(), L"Quit");
}

INSTANTIATE_TEST_SUITE_P(Table, TrayMenuTest,
                         ::testing::Values(MenuCase{"NoLanguages", 0}, MenuCase{"Three", 3},
                                           MenuCase{"All20", 20}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TrayTest, OtherEventsAndOtherIconsChangeNothing) {
    StartWithTray();
    struct EventCase {
        std::uintptr_t id;
        std::intptr_t event;
        std::intptr_t result;
    };
    const EventCase cases[] = {
        {kIconId, 0x0200, 1},  // mouse move
        {kIconId, 0x0201, 1},  // left button down
        {kIconId, 0x0202, 1},  // left button up
        {kIconId, 0x0204, 1},  // right button down
        {kIconId + 1, platform::kWmRButtonUp, 0},
        {kIconId + 1, platform::kWmLButtonDblClk, 0},
    };
    for (const EventCase& c : cases) EXPECT_EQ(Click(c.event, c.id), c.result) << c.event;
    EXPECT_EQ(m_menus.m_nLoaded, 0);
    EXPECT_TRUE(m_frame.commands.empty());

    // A double click sends the default command, 0, which nobody takes.
    EXPECT_EQ(Click(platform::kWmLButtonDblClk), 1);
    EXPECT_EQ(m_frame.commands, std::vector<UINT>{0});
    EXPECT_EQ(m_menus.m_foreground, std::vector<platform::WindowHandle>{m_hFrame});

    m_menus.m_bHasMenu = false;
    EXPECT_EQ(Click(platform::kWmRButtonUp), 0);
    EXPECT_TRUE(m_menus.m_shown.empty());
}

// Choosing a language from the menu loads its texts; the next menu shows them
// and the new check mark.
TEST_F(TrayTest, ChosenLanguageRelabelsTheNextMenu) {
    m_dir.Put("setting/Language.ini",
              Unicode(L"[Titles]\r\n0:English\r\n1:Deutsch\r\n"
                      L"[File]\r\n0:English\r\n1:German\r\n"));
    m_dir.Put("Language/German/UserSetting.cc",
              Unicode(L"#About#Info\r\n#Exit#Beenden\r\n#Select Language#Sprache\r\n1:German\r\n"));
    CBridgeView& view = StartWithTray();
    m_menus.m_onTrack = [this](platform::WindowHandle owner) {
        m_sim.m_windows.Post(owner, platform::kWmCommand, 201, 0);
    };
    Click(platform::kWmRButtonUp);
    m_menus.m_onTrack = nullptr;
    m_sim.RunFor(10);  // the chosen command arrives as a posted message
    EXPECT_EQ(m_frame.commands, std::vector<UINT>{201});
    EXPECT_EQ(view.m_nLanguage, 1);

    Click(platform::kWmRButtonUp);
    EXPECT_EQ(m_menus.m_shown.back().labels,
              (std::vector<std::wstring>{L"Sprache", L"", L"Info", L"", L"Beenden"}));
    for (UINT id = 200; id <= 201; ++id) {
        test::RecordedUi ui;
        EXPECT_TRUE(OfferCommandUiToView(view, id, ui));
        EXPECT_EQ(ui.checked, id == 201);
        EXPECT_TRUE(ui.enabled);
    }
    test::RecordedUi ui;
    EXPECT_FALSE(OfferCommandUiToView(view, kCmdAbout, ui));
}

TEST_F(TrayTest, FrameOffersCommandsToTheViewFirst) {
    CBridgeView& view = Start();
    m_dialogs.m_onModal = [](platform::IWindowClient& box) {
        box.WindowProc(platform::kWmCommand, 1, 0);
    };
    struct RouteCase {
        UINT id;
        bool view;
    };
    for (RouteCase c : {RouteCase{kCmdAbout, true}, RouteCase{32772, true}, RouteCase{219, true},
                        RouteCase{57665, false}, RouteCase{0, false}, RouteCase{199, false},
                        RouteCase{220, false}})
        EXPECT_EQ(OfferCommandToView(view, c.id), c.view) << c.id;
    EXPECT_NE(m_dialogs.Of(142), nullptr);
    EXPECT_EQ(view.m_nLanguage, 19);
}

}  // namespace
}  // namespace kovado
