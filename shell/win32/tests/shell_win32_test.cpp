// The shell's Windows side without an X server: the resources (call-icon
// bitmaps equal to the rows the renderer uses, the five icons, the tray menu,
// the version), the menu calls the tray relies on, the debug log window
// created by the view from dialog 134 with lines sent from a worker thread,
// the real file chooser, and the About box.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bridge/BridgeView.h"
#include "display/CallIcons.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/tests/Check.h"
#include "shell/DebugDlg.h"
#include "shell/ShellIds.h"

using namespace kovado;
using namespace kovado::platform;
using kovado::wintest::Check;

namespace {

HINSTANCE Self() { return GetModuleHandleW(nullptr); }

void TestCallIcons() {
    struct Case {
        UINT resource;
        const display::IconRows& rows;
    } cases[] = {{156, display::kIncomingCallIcon},
                 {157, display::kMissedCallIcon},
                 {158, display::kOutgoingCallIcon}};
    for (const Case& c : cases) {
        HBITMAP bitmap = LoadBitmapW(Self(), MAKEINTRESOURCEW(c.resource));
        BITMAP info{};
        GetObjectW(bitmap, sizeof(info), &info);
        BYTE bits[30] = {};
        LONG got = GetBitmapBits(bitmap, sizeof(bits), bits);
        bool same = bitmap && info.bmWidth == 16 && info.bmHeight == 15 && info.bmBitsPixel == 1 &&
                    got == 30;
        for (int row = 0; same && row < 15; ++row)
            same = bits[2 * row] == (c.rows[row] >> 8) && bits[2 * row + 1] == (c.rows[row] & 0xFF);
        Check(same, "a call-icon bitmap holds the renderer's rows, 1 = white");
        DeleteObject(bitmap);
    }
}

// The icon's colour pixels, to tell the icons apart.
std::vector<COLORREF> Pixels(HICON icon) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 32, 32);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all{0, 0, 32, 32};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DrawIconEx(dc, 0, 0, icon, 32, 32, 0, nullptr, DI_NORMAL);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) pixels.push_back(GetPixel(dc, x, y));
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return pixels;
}

void TestIcons(ITray& tray) {
    const UINT ids[] = {kIdProgramIcon, kIdIconOk, kIdIconSkypeFail, kIdIconUsbFail,
                        kIdIconSkypeMissing};
    std::vector<std::vector<COLORREF>> seen;
    for (UINT id : ids) {
        auto icon = reinterpret_cast<HICON>(tray.LoadIconResource(id));
        ICONINFO info{};
        BITMAP colour{};
        bool loaded = icon && GetIconInfo(icon, &info) &&
                      GetObjectW(info.hbmColor, sizeof(colour), &colour) &&
                      colour.bmWidth == 32 && colour.bmHeight == 32;
        Check(loaded, "each built-in icon loads at 32 x 32");
        if (info.hbmColor) DeleteObject(info.hbmColor);
        if (info.hbmMask) DeleteObject(info.hbmMask);
        if (icon) seen.push_back(Pixels(icon));
        tray.DestroyIcon(reinterpret_cast<IconHandle>(icon));
    }
    bool distinct = seen.size() == 5;
    for (std::size_t i = 0; distinct && i < seen.size(); ++i)
        for (std::size_t j = i + 1; j < seen.size(); ++j) distinct = distinct && seen[i] != seen[j];
    Check(distinct, "the five icons differ from one another");
    Check(tray.LoadIconResource(999) == 0, "an icon the program does not have gives none");
}

std::wstring Label(HMENU menu, UINT item, UINT flags) {
    wchar_t text[64] = L"";
    GetMenuStringW(menu, item, text, 64, flags);
    return text;
}

// The relabelling and removal the tray menu is built with, on menu 133.
void TestTrayMenu(IMenus& menus) {
    MenuHandle menu = menus.Load(kIdTrayMenu);
    MenuHandle popup = menu ? menus.SubMenu(menu, 0) : 0;
    Check(popup != 0, "menu 133 has its popup");
    if (!popup) return;
    auto native = reinterpret_cast<HMENU>(popup);
    Check(GetMenuItemCount(native) == 5 && menus.ItemCommand(popup, 2) == kCmdAbout &&
              menus.ItemCommand(popup, 4) == kCmdAppExit && menus.SubMenu(popup, 0) != 0,
          "the popup: languages, separator, About, separator, Exit");
    auto languages = reinterpret_cast<HMENU>(menus.SubMenu(popup, 0));
    Check(GetMenuItemCount(languages) == 20 && GetMenuItemID(languages, 0) == 200 &&
              GetMenuItemID(languages, 19) == 219,
          "the language submenu holds commands 200 to 219");

    Check(menus.SetLabel(popup, 0, true, L"Sprache") && menus.SubMenu(popup, 0) != 0 &&
              Label(native, 0, MF_BYPOSITION) == L"Sprache",
          "relabelling the language item keeps its submenu");
    Check(menus.SetLabel(popup, 205, false, L"Deutsch") &&
              Label(languages, 5, MF_BYPOSITION) == L"Deutsch",
          "an entry of the submenu is relabelled by its command");
    Check(menus.SetLabel(popup, kCmdAbout, false, L"Info") &&
              Label(native, kCmdAbout, MF_BYCOMMAND) == L"Info",
          "About is relabelled by its command");
    for (UINT id = 202; id <= 219; ++id) menus.Remove(popup, id);
    Check(GetMenuItemCount(languages) == 2, "entries beyond the languages are removed");
    menus.Destroy(menu);
    Check(menus.Load(999) == 0, "a menu the program does not have gives none");
}

// The Save button's chooser answers with a fixed file.
struct SavingDialogs : Win32Dialogs {
    bool AskSavePath(std::wstring& path) override {
        path = m_path;
        return !m_path.empty();
    }
    void ShowError(WindowHandle, const std::wstring& text) override { m_errors.push_back(text); }
    std::wstring m_path;
    std::vector<std::wstring> m_errors;
};

std::wstring ListLine(HWND list, int index) {
    int length = static_cast<int>(SendMessageW(list, LB_GETTEXTLEN, index, 0));
    if (length < 0) return L"<none>";
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

std::string FileBytes(const wchar_t* path) {
    std::string bytes;
    FILE* f = _wfopen(path, L"rb");
    if (!f) return "<missing>";
    char chunk[256];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes.append(chunk, n);
    std::fclose(f);
    return bytes;
}

std::string Utf16Le(const std::wstring& text) {
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
}

void PumpFor(::DWORD ms) {
    ::DWORD end = GetTickCount() + ms;
    while (GetTickCount() < end) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(5);
    }
}

// The view creates the window when the parameter file enables debugging.
void TestDebugWindow(Services& services, SavingDialogs& dialogs) {
    CreateDirectoryW(L"setting", nullptr);
    FILE* f = _wfopen(L"setting\\ParameterSetting.cc", L"wb");
    std::string parameters = "\xFF\xFE" + Utf16Le(L"#Debug#enable\r\n#CTRLpipe#disable\r\n");
    std::fwrite(parameters.data(), 1, parameters.size(), f);
    std::fclose(f);
    {
        CBridgeView view(services);
        CDebugDlg* dlg = view.m_pDebugDlg;
        Check(dlg && dlg->m_hWnd && dlg->m_hList, "the view creates the debug window");
        if (!dlg || !dlg->m_hWnd) return;
        auto window = reinterpret_cast<HWND>(dlg->m_hWnd);
        auto list = reinterpret_cast<HWND>(dlg->m_hList);
        wchar_t title[64] = L"";
        GetWindowTextW(window, title, 64);
        Check(std::wstring(title) == L"Dialog Interrupt pipe", "its title names the report path");
        Check(IsWindowVisible(window) && GetDlgCtrlID(list) == 1000 &&
                  !(GetWindowLongW(list, GWL_STYLE) & LBS_SORT),
              "visible at once, list 1000 not sorted");

        // A worker thread's line waits until this thread has inserted it.
        const std::wstring wide = L"0f3c0000000000000000000000000000000000000000000000000000000000";
        HANDLE worker = CreateThread(
            nullptr, 0,
            [](void* v) -> ::DWORD {
                static_cast<CBridgeView*>(v)->WriteLog(
                    L"0f3c0000000000000000000000000000000000000000000000000000000000");
                static_cast<CBridgeView*>(v)->WriteLog(L"Иван \U0001F600");
                return 0;
            },
            &view, 0, nullptr);
        // 1: a message came, not the end of the thread.
        while (MsgWaitForMultipleObjects(1, &worker, FALSE, 5000, QS_ALLINPUT) == 1) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        }
        CloseHandle(worker);
        Check(SendMessageW(list, LB_GETCOUNT, 0, 0) == 3 &&
                  ListLine(list, 0) == L"Иван \U0001F600" &&
                  ListLine(list, 1) == wide && ListLine(list, 2).rfind(L"Code Page : ", 0) == 0,
              "lines from a worker thread arrive, newest at the top");
        Check(SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0) > 0,
              "the list scrolls as wide as its widest line");

        dialogs.m_path = L"saved.log";
        SendMessageW(window, WM_COMMAND, kIdSave, 0);
        std::string expected = "\xFF\xFE" + Utf16Le(L"Иван \U0001F600\r\n" + wide + L"\r\n" +
                                                    ListLine(list, 2) + L"\r\n");
        Check(FileBytes(L"saved.log") == expected, "Save writes UTF-16LE after FF FE, CR LF lines");
        dialogs.m_path = L"C:\\no\\such\\folder\\saved.log";
        SendMessageW(window, WM_COMMAND, kIdSave, 0);
        Check(dialogs.m_errors.size() == 1 && SendMessageW(list, LB_GETCOUNT, 0, 0) == 3,
              "a file that cannot be written is reported and the list stays");

        SendMessageW(window, WM_COMMAND, IDCANCEL, 0);
        Check(!IsWindowVisible(window) && IsWindow(window), "Cancel hides the window");
        view.WriteLog(L"while hidden");
        view.OnCommand(kCmdShowDebugWindow);
        Check(IsWindowVisible(window) && SendMessageW(list, LB_GETCOUNT, 0, 0) == 4,
              "command 32772 shows it again with every line");
        SendMessageW(window, WM_COMMAND, kIdClear, 0);
        Check(SendMessageW(list, LB_GETCOUNT, 0, 0) == 0, "Clear empties the list");
        PumpFor(100);
    }
    DeleteFileW(L"saved.log");
    DeleteFileW(L"setting\\ParameterSetting.cc");
    RemoveDirectoryW(L"setting");
}

// The real file chooser, answered by a second thread with a file in another
// folder: the path comes back, and the current directory, against which every
// settings path is read, stays where it was.
void TestSaveChooser() {
    wchar_t before[MAX_PATH] = L"", after[MAX_PATH] = L"", temp[MAX_PATH] = L"";
    GetCurrentDirectoryW(MAX_PATH, before);
    GetTempPathW(MAX_PATH, temp);
    static std::wstring s_wanted;
    s_wanted = std::wstring(temp) + L"kovado-chooser.log";
    HANDLE answerer = CreateThread(
        nullptr, 0,
        [](void*) -> ::DWORD {
            HWND chooser = nullptr;
            for (int i = 0; i < 1000 && !chooser; ++i, Sleep(10))
                chooser = FindWindowW(nullptr, L"Save As");
            if (!chooser) return 0;
            // As a user does: into the folder first, then the file, each
            // typed into the name box (a combo box, cmb13, or an edit, edt1)
            // and confirmed; each confirmation is handled before the next.
            auto type = [chooser](const std::wstring& text) {
                for (int id : {0x47C, 0x480})
                    if (HWND box = GetDlgItem(chooser, id)) SetWindowTextW(box, text.c_str());
                DWORD_PTR ignored = 0;
                SendMessageTimeoutW(chooser, WM_COMMAND, IDOK,
                                    reinterpret_cast<LPARAM>(GetDlgItem(chooser, IDOK)),
                                    SMTO_NORMAL, 20000, &ignored);
            };
            Sleep(300);  // let it finish setting itself up
            type(s_wanted.substr(0, s_wanted.rfind(L'\\')));
            type(s_wanted);
            return 0;
        },
        nullptr, 0, nullptr);
    Win32Dialogs dialogs;
    std::wstring path;
    bool chosen = dialogs.AskSavePath(path);
    WaitForSingleObject(answerer, 15000);
    CloseHandle(answerer);
    GetCurrentDirectoryW(MAX_PATH, after);
    Check(chosen && lstrcmpiW(path.c_str(), s_wanted.c_str()) == 0,
          "the chooser gives the file picked in another folder");
    Check(lstrcmpiW(before, after) == 0, "the current directory stays where it was");
}

// The error box is not titled like the frame: KovadoRemove and a second start
// look for "KovadoDeskLink", and must not find the box, above the frame.
void TestErrorBox() {
    struct Seen {
        bool box = false, mistaken = false;
    } seen;
    HANDLE answerer = CreateThread(
        nullptr, 0,
        [](void* v) -> ::DWORD {
            auto& s = *static_cast<Seen*>(v);
            HWND box = nullptr;
            for (int i = 0; i < 500 && !box; ++i, Sleep(10))
                box = FindWindowW(L"#32770", kErrorBoxTitle);
            s.box = box != nullptr;
            s.mistaken = FindWindowW(nullptr, L"KovadoDeskLink") != nullptr;
            if (box) PostMessageW(box, WM_COMMAND, IDOK, 0);
            return 0;
        },
        &seen, 0, nullptr);
    Win32Dialogs dialogs;
    dialogs.ShowError(0, L"The log could not be saved to X:\\nowhere.log.");
    WaitForSingleObject(answerer, 10000);
    CloseHandle(answerer);
    Check(seen.box && !seen.mistaken, "the error box has a title of its own");
}

// The About box, run modally by the view; a second thread reads it and
// presses OK.
void TestAboutBox(Services& services) {
    CBridgeView view(services);
    view.m_hIconOk = view.m_pPlatform->tray->LoadIconResource(kIdIconOk);
    view.m_arrUserTexts[4] = L"Info";
    view.m_arrUserTexts[8] = L"Kovado Telefon";
    struct Seen {
        std::wstring name, version;
        HICON picture = nullptr;
        bool found = false;
    } seen;
    HANDLE reader = CreateThread(
        nullptr, 0,
        [](void* v) -> ::DWORD {
            auto& s = *static_cast<Seen*>(v);
            HWND box = nullptr;
            for (int i = 0; i < 500 && !box; ++i, Sleep(10)) box = FindWindowW(nullptr, L"Info");
            if (!box) return 0;
            s.found = true;
            wchar_t text[64] = L"";
            GetDlgItemTextW(box, 1007, text, 64);
            s.name = text;
            HWND version = FindWindowExW(box, nullptr, L"Static", L"Version 2.0.3.1  2006/05/30");
            s.version = version ? L"there" : L"";
            s.picture = reinterpret_cast<HICON>(SendDlgItemMessageW(box, 1008, STM_GETICON, 0, 0));
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            return 0;
        },
        &seen, 0, nullptr);
    view.OnCommand(kCmdAbout);
    WaitForSingleObject(reader, 10000);
    CloseHandle(reader);
    Check(seen.found, "the About box opens titled with the user text");
    Check(seen.name == L"Kovado Telefon" && seen.version == L"there",
          "it shows the product name and the fixed version line");
    Check(seen.picture == reinterpret_cast<HICON>(view.m_hIconOk),
          "its picture is the allpass icon");
}

void TestVersion() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    ::DWORD ignored = 0;
    std::vector<BYTE> block(GetFileVersionInfoSizeW(path, &ignored));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT size = 0;
    bool ok = !block.empty() &&
              GetFileVersionInfoW(path, 0, static_cast<::DWORD>(block.size()), block.data()) &&
              VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &size) &&
              fixed &&
              fixed->dwFileVersionMS == 0x00020000 && fixed->dwFileVersionLS == 0x00030001;
    Check(ok, "the version resource says 2.0.3.1");
}

}  // namespace

int wmain() {
    kovado::wintest::StartWatchdog(90);
    Win32Platform platform;
    SavingDialogs dialogs;
    Services services = platform.m_services;
    services.dialogs = &dialogs;
    // Nothing to supervise: no handset search, no registry.
    services.hid = nullptr;
    services.registry = nullptr;

    TestCallIcons();
    TestIcons(platform.m_tray);
    TestTrayMenu(platform.m_menus);
    TestVersion();
    TestDebugWindow(services, dialogs);
    TestSaveChooser();
    TestErrorBox();
    TestAboutBox(services);
    return kovado::wintest::Finish();
}
