#include "shell/DebugDlg.h"

namespace kovado {

CDebugDlg::CDebugDlg(platform::Services& services) : m_services(services) {}

CDebugDlg::~CDebugDlg() {
    if (m_hList) m_services.windows->DestroyWindow(m_hList);
}

bool CDebugDlg::Create() {
    m_hList = m_services.windows->CreateWindow(this, L"Debug", 0);
    return m_hList != 0;
}

void CDebugDlg::Show() { m_bVisible = true; }

std::intptr_t CDebugDlg::WindowProc(std::uint32_t message, std::uintptr_t wParam,
                                    std::intptr_t lParam) {
    if (message != platform::kLbInsertString || lParam == 0) return 0;
    const auto* line = reinterpret_cast<const wchar_t*>(lParam);
    std::size_t at = wParam;
    if (at > m_lines.size()) at = m_lines.size();
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at), line);
    return static_cast<std::intptr_t>(at);
}

}  // namespace kovado
