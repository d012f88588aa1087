// The debug log window (title, Clear, Save, Cancel and showing it again) and
// the About box, on faked dialogs.
#include <gtest/gtest.h>

#include "shell/DebugDlg.h"
#include "shell/NestedLoop.h"
#include "tests/shell/ShellFixture.h"

namespace kovado {
namespace {

using test::Unicode;

class DebugWindowTest : public test::ShellFixture {
protected:
    CBridgeView& StartWithDebug(const std::wstring& extra = L"") {
        m_dir.Put("setting/ParameterSetting.cc", Unicode(L"#Debug#enable\r\n" + extra));
        return Start();
    }
    CDebugDlg& Dlg() { return *m_view->m_pDebugDlg; }
    void Press(UINT id) { Dlg().WindowProc(platform::kWmCommand, id, 0); }
};

struct TitleCase {
    const char* name;
    const wchar_t* setting;
    const wchar_t* title;
};

class DebugTitleTest : public DebugWindowTest, public ::testing::WithParamInterface<TitleCase> {};

TEST_P(DebugTitleTest, VisibleAtStartAndTitledByTheReportPath) {
    StartWithDebug(GetParam().setting);
    test::FakeDialogs::Dialog* dialog = m_dialogs.Of(134);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->self.text, GetParam().title);
    EXPECT_TRUE(dialog->visible);
    EXPECT_TRUE(Dlg().m_bVisible);
    m_view.reset();
    EXPECT_TRUE(dialog->ended);  // the view's end destroys the window
}

INSTANTIATE_TEST_SUITE_P(
    Table, DebugTitleTest,
    ::testing::Values(TitleCase{"ControlPipe", L"", L"Dialog Control pipe"},
                      TitleCase{"InterruptPipe", L"#CTRLpipe#disable\r\n",
                                L"Dialog Interrupt pipe"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DebugWindowTest, WithoutDebuggingThereIsNoWindow) {
    CBridgeView& view = Start();
    EXPECT_EQ(view.m_pDebugDlg, nullptr);
    EXPECT_EQ(m_dialogs.Of(134), nullptr);
    view.WriteLog(L"dropped");
    EXPECT_TRUE(OfferCommandToView(view, kCmdShowDebugWindow));
}

// Newest line first, each after the byte order mark in UTF-16LE and ended by
// CR LF; a character beyond the 16-bit range becomes a surrogate pair.
TEST_F(DebugWindowTest, SaveWritesTheListNewestFirst) {
    CBridgeView& view = StartWithDebug();
    view.WriteLog(L"080F00");
    view.WriteLog(std::wstring(L"Иван ") + static_cast<wchar_t>(0x1F600));
    m_dialogs.m_savePath = L"debug.log";
    Press(1003);
    std::string expected = "\xFF\xFE" + Unicode(L"Иван ", false) +
                           std::string("\x3D\xD8\x00\xDE", 4) +
                           Unicode(L"\r\n080F00\r\nCode Page : 1252\r\n", false);
    EXPECT_EQ(m_dir.Get("debug.log"), expected);
    EXPECT_TRUE(m_dialogs.m_errors.empty());
    EXPECT_EQ(Dlg().m_lines.size(), 3u);

    // Cleared: the file is empty, without even the byte order mark.
    Press(1001);
    EXPECT_TRUE(Dlg().m_lines.empty());
    Press(1003);
    EXPECT_TRUE(m_dir.Exists("debug.log"));
    EXPECT_EQ(m_dir.Get("debug.log"), "");
}

TEST_F(DebugWindowTest, SaveCancelledOrImpossible) {
    StartWithDebug();
    Press(1003);  // the chooser is cancelled
    EXPECT_EQ(m_dialogs.m_nAsked, 1);
    EXPECT_TRUE(m_dialogs.m_errors.empty());

    m_dir.Put("taken/file", "x");  // a folder where the file should go
    m_dialogs.m_savePath = L"taken";
    Press(1003);
    ASSERT_EQ(m_dialogs.m_errors.size(), 1u);
    EXPECT_NE(m_dialogs.m_errors[0].find(L"taken"), std::wstring::npos);
    EXPECT_EQ(m_dialogs.m_nErrorLoops, 1);  // a close meanwhile waits for the box
    EXPECT_EQ(Dlg().m_lines.size(), 1u);
}

TEST_F(DebugWindowTest, CancelHidesAndTheLinesKeepComing) {
    CBridgeView& view = StartWithDebug();
    Press(2);
    EXPECT_FALSE(m_dialogs.Of(134)->visible);
    EXPECT_FALSE(m_dialogs.Of(134)->ended);
    view.WriteLog(L"while hidden");
    EXPECT_TRUE(OfferCommandToView(view, kCmdShowDebugWindow));
    EXPECT_TRUE(m_dialogs.Of(134)->visible);
    EXPECT_EQ(Dlg().m_lines, (std::deque<std::wstring>{L"while hidden", L"Code Page : 1252"}));
}

class AboutBoxTest : public test::ShellFixture,
                     public ::testing::WithParamInterface<platform::IconHandle> {};

// The picture is the allpass icon when one is loaded (the template's program
// icon otherwise); the texts are those of the moment; OK ends the box.
TEST_P(AboutBoxTest, ShowsTheCurrentTextsAndTheAllpassIcon) {
    CBridgeView& view = Start();
    view.m_hIconOk = GetParam();
    view.m_arrUserTexts[kTextAbout] = L"Info";
    view.m_arrUserTexts[kTextProductName] = L"Kovado Telefon";
    std::wstring title, name;
    platform::IconHandle picture = ~platform::IconHandle{0};
    int loops = 0;
    m_dialogs.m_onModal = [&](platform::IWindowClient& box) {
        loops = NestedLoop::Depth();
        test::FakeDialogs::Dialog& shown = *m_dialogs.Of(142);
        title = shown.self.text;
        name = shown.items.at(1007)->text;
        picture = shown.items.at(1008)->icon;
        box.WindowProc(platform::kWmCommand, 1, 0);
    };
    view.OnCommand(kCmdAbout);
    EXPECT_EQ(title, L"Info");
    EXPECT_EQ(name, L"Kovado Telefon");
    EXPECT_EQ(picture, GetParam());
    EXPECT_EQ(loops, 1);  // the box's own loop is marked
    EXPECT_TRUE(m_dialogs.Of(142)->ended);
    EXPECT_EQ(m_dialogs.Of(142)->result, 1);
}

INSTANTIATE_TEST_SUITE_P(Icon, AboutBoxTest,
                         ::testing::Values(platform::IconHandle{130}, platform::IconHandle{0}));

}  // namespace
}  // namespace kovado
