#include "platform/sim/SimTray.h"

namespace kovado::platform {

namespace {
// The tooltip field holds 64 UTF-16 units with the terminating NUL.
constexpr std::size_t kTipChars = 63;
}

void SimTray::Record(Kind kind) {
    m_changes.push_back(Change{m_sched.NowMs(), kind, m_shown.icon, m_shown.tip});
}

bool SimTray::Add(WindowHandle, IconHandle icon, const std::wstring& tip, std::uint32_t) {
    std::lock_guard<std::mutex> lock(m_sched.StateLock());
    m_shown = Shown{true, icon, tip.substr(0, kTipChars)};
    Record(Kind::Add);
    return true;
}

void SimTray::Remove() {
    std::lock_guard<std::mutex> lock(m_sched.StateLock());
    if (!m_shown.added) return;
    m_shown.added = false;
    Record(Kind::Remove);
}

void SimTray::ChangeIcon(IconHandle icon) {
    std::lock_guard<std::mutex> lock(m_sched.StateLock());
    if (!m_shown.added) return;
    m_shown.icon = icon;
    Record(Kind::Icon);
}

void SimTray::ChangeTip(const std::wstring& tip) {
    std::lock_guard<std::mutex> lock(m_sched.StateLock());
    if (!m_shown.added) return;
    m_shown.tip = tip.substr(0, kTipChars);
    Record(Kind::Tip);
}

IconHandle SimTray::LoadIconFile(const std::wstring& path) {
    std::lock_guard<std::mutex> lock(m_sched.StateLock());
    auto it = m_iconFiles.find(path);
    return it == m_iconFiles.end() ? 0 : it->second;
}

void SimTray::DestroyIcon(IconHandle) {}

SimTray::Shown SimTray::Now() {
    std::lock_guard<std::mutex> lock(m_sched.StateLock());
    return m_shown;
}

std::vector<SimTray::Change> SimTray::Changes() {
    std::lock_guard<std::mutex> lock(m_sched.StateLock());
    return m_changes;
}

void SimTray::AddIconFile(const std::wstring& path, IconHandle icon) {
    std::lock_guard<std::mutex> lock(m_sched.StateLock());
    m_iconFiles[path] = icon;
}

}  // namespace kovado::platform
