// The debug log window: a list whose newest line is at the top. Its list is a
// window of the user-interface thread, so a line logged from a worker thread
// waits until that thread has inserted it.
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
    bool Create();
    void Show();
    std::intptr_t WindowProc(std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam) override;

    CBridgeView* m_pOwner = nullptr;
    platform::WindowHandle m_hList = 0;
    std::deque<std::wstring> m_lines;  // index 0 is the newest
    bool m_bVisible = false;

private:
    platform::Services& m_services;
};

}  // namespace kovado
