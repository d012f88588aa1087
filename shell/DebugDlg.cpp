#include "shell/DebugDlg.h"

#include <vector>

#include "bridge/BridgeView.h"
#include "platform/Dialogs.h"
#include "platform/Files.h"
#include "shell/NestedLoop.h"
#include "shell/ShellIds.h"

namespace kovado {

namespace {

// Appends text as UTF-16 little-endian; a wider wchar_t holds code points.
void AppendUtf16Le(std::string& out, const std::wstring& text) {
    auto unit = [&out](std::uint32_t u) {
        out.push_back(static_cast<char>(u & 0xFF));
        out.push_back(static_cast<char>((u >> 8) & 0xFF));
    };
    for (wchar_t c : text) {
        auto code = static_cast<std::uint32_t>(c);
        if (code > 0xFFFF && code <= 0x10FFFF) {
            code -= 0x10000;
            unit(0xD800 + (code >> 10));
            unit(0xDC00 + (code & 0x3FF));
        } else {
            unit(code > 0xFFFF ? 0xFFFD : code);
        }
    }
}

}  // namespace

CDebugDlg::CDebugDlg(platform::Services& services) : m_services(services) {}

CDebugDlg::~CDebugDlg() {
    if (m_hWnd != 0 && m_services.dialogs) m_services.dialogs->End(m_hWnd, 0);
    if (m_hList != 0 && m_hList != m_hWnd && m_services.windows->IsWindow(m_hList))
        m_services.windows->DestroyWindow(m_hList);
}

bool CDebugDlg::Create() {
    if (m_services.dialogs) {
        m_hWnd = m_services.dialogs->CreateModeless(kIdDebugDialog, this);
        if (m_hWnd != 0) {
            m_hList = m_services.dialogs->Item(m_hWnd, kIdLogList);
            m_bVisible = m_services.dialogs->IsVisible(m_hWnd);
        }
    }
    if (m_hList == 0) {
        m_hList = m_services.windows->CreateWindow(this, L"Debug", 0);
        m_bVisible = m_hList != 0;
    }
    return m_hList != 0;
}

void CDebugDlg::Show() {
    if (m_hWnd != 0) m_services.dialogs->Show(m_hWnd, true);
    m_bVisible = true;
}

void CDebugDlg::OnInitDialog() {
    bool controlPipe = m_pOwner && m_pOwner->m_bCtrlPipe;
    const wchar_t* title = controlPipe ? L"Dialog Control pipe" : L"Dialog Interrupt pipe";
    m_services.windows->Send(m_hWnd, platform::kWmSetText, 0,
                             reinterpret_cast<std::intptr_t>(title));
}

// Only hidden: the list keeps receiving lines until it is shown again.
void CDebugDlg::OnCancel() {
    if (m_hWnd != 0) m_services.dialogs->Show(m_hWnd, false);
    m_bVisible = false;
}

void CDebugDlg::OnClear() { m_services.windows->Send(m_hList, platform::kLbResetContent, 0, 0); }

std::intptr_t CDebugDlg::LineCount() {
    return m_services.windows->Send(m_hList, platform::kLbGetCount, 0, 0);
}

bool CDebugDlg::LineAt(std::intptr_t index, std::wstring& line) {
    platform::IWindowSystem& windows = *m_services.windows;
    auto at = static_cast<std::uintptr_t>(index);
    std::intptr_t length = windows.Send(m_hList, platform::kLbGetTextLen, at, 0);
    if (length < 0) return false;
    std::vector<wchar_t> text(static_cast<std::size_t>(length) + 1, L'\0');
    std::intptr_t got = windows.Send(m_hList, platform::kLbGetText, at,
                                     reinterpret_cast<std::intptr_t>(text.data()));
    if (got < 0 || got > length) return false;
    line.assign(text.data(), static_cast<std::size_t>(got));
    return true;
}

void CDebugDlg::OnSave() {
    platform::IDialogs* dialogs = m_services.dialogs;
    platform::IFiles* files = m_services.files;
    std::wstring path;
    if (!dialogs) return;
    {
        NestedLoop loop;
        if (!dialogs->AskSavePath(path)) return;
    }

    platform::FileHandle file = files ? files->Open(path, platform::FileAccess::Write) : 0;
    bool written = file != 0;
    // The list cannot change meanwhile (it only changes on this thread), but
    // its length is asked again for every line all the same.
    std::wstring line;
    for (std::intptr_t i = 0; written && i < LineCount(); ++i) {
        if (!LineAt(i, line)) break;
        std::string bytes = i == 0 ? std::string("\xFF\xFE") : std::string();
        AppendUtf16Le(bytes, line);
        bytes.append("\r\0\n\0", 4);
        written = files->Write(file, bytes.data(), bytes.size());
    }
    if (file != 0) written = files->Close(file) && written;
    if (!written) {
        // The box runs a loop of its own: a close request meanwhile must not
        // delete this window beneath it.
        NestedLoop loop;
        dialogs->ShowError(m_hWnd, L"The log could not be saved to " + path + L".");
    }
}

// The list kept here, answering the list box messages the program uses.
std::intptr_t CDebugDlg::ListMessage(std::uint32_t message, std::uintptr_t wParam,
                                     std::intptr_t lParam) {
    auto count = static_cast<std::intptr_t>(m_lines.size());
    switch (message) {
        case platform::kLbInsertString: {
            if (lParam == 0) return platform::kLbErr;
            // An index of -1 (or past the end) appends.
            std::size_t at = wParam < m_lines.size() ? wParam : m_lines.size();
            m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at),
                           reinterpret_cast<const wchar_t*>(lParam));
            return static_cast<std::intptr_t>(at);
        }
        case platform::kLbResetContent:
            m_lines.clear();
            return 0;
        case platform::kLbGetCount:
            return count;
        case platform::kLbGetTextLen:
            return wParam < m_lines.size() ? static_cast<std::intptr_t>(m_lines[wParam].size())
                                           : platform::kLbErr;
        case platform::kLbGetText: {
            if (wParam >= m_lines.size() || lParam == 0) return platform::kLbErr;
            const std::wstring& line = m_lines[wParam];
            auto* out = reinterpret_cast<wchar_t*>(lParam);
            line.copy(out, line.size());
            out[line.size()] = L'\0';
            return static_cast<std::intptr_t>(line.size());
        }
        default:
            return 0;
    }
}

std::intptr_t CDebugDlg::WindowProc(std::uint32_t message, std::uintptr_t wParam,
                                    std::intptr_t lParam) {
    switch (message) {
        case platform::kWmInitDialog:
            m_hWnd = static_cast<platform::WindowHandle>(wParam);
            OnInitDialog();
            return 1;
        case platform::kWmCommand:
            switch (wParam & 0xFFFF) {
                case kIdClear: OnClear(); break;
                case kIdSave: OnSave(); break;
                case kIdCancel: OnCancel(); break;
                default: break;
            }
            return 0;
        default:
            return ListMessage(message, wParam, lParam);
    }
}

}  // namespace kovado
