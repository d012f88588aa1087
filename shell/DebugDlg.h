// The debug log window: dialog 134 with a list whose newest line is at the
// top, and Clear, Save and Cancel buttons. The list is a window of the
// user-interface thread, so a line logged from a worker thread waits until
// that thread has inserted it. Where there is no dialog (a platform without
// dialogs, or a template without the list) the lines are kept here, in a list
// window that answers the same list messages.
#pragma once
#include <deque>
#include <string>

#include "platform/Services.h"

namespace kovado {

class CBridgeView;

class CDebugDlg : public platform::IWindowClient {
public:
    explicit CDebugDlg(platform::Services& services);
    ~CDebugDlg() override;
    CDebugDlg(const CDebugDlg&) = delete;
    CDebugDlg& operator=(const CDebugDlg&) = delete;

    // Creates the window, visible at once.
    bool Create();
    // Shows the window again after Cancel hid it (command 32772).
    void Show();

    void OnInitDialog();
    void OnCancel();
    void OnClear();
    // Writes the list, newest line first, to a file the user chooses: UTF-16LE
    // after a byte order mark, each line ended by CR LF; an empty list gives an
    // empty file. A file that cannot be written is reported.
    void OnSave();

    std::intptr_t WindowProc(std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam) override;

    CBridgeView* m_pOwner = nullptr;
    platform::WindowHandle m_hWnd = 0;   // the dialog; 0 without one
    platform::WindowHandle m_hList = 0;  // the log list
    std::deque<std::wstring> m_lines;    // the list kept here; index 0 is the newest
    bool m_bVisible = false;

private:
    std::intptr_t ListMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);
    std::intptr_t LineCount();
    bool LineAt(std::intptr_t index, std::wstring& line);

    platform::Services& m_services;
};

}  // namespace kovado
