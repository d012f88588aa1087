// A recorded notification-area icon. As with the real one, icon and tooltip
// changes made before the icon is added (or after it is removed) do nothing.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/Tray.h"
#include "platform/sim/SimScheduler.h"

namespace kovado::platform {

class SimTray : public ITray {
public:
    enum class Kind { Add, Icon, Tip, Remove };
    struct Change {
        std::uint64_t atMs;
        Kind kind;
        IconHandle icon;
        std::wstring tip;
    };
    // What the notification area shows now.
    struct Shown {
        bool added = false;
        IconHandle icon = 0;
        std::wstring tip;
    };

    explicit SimTray(SimScheduler& scheduler) : m_sched(scheduler) {}

    bool Add(WindowHandle owner, IconHandle icon, const std::wstring& tip,
             std::uint32_t callbackMessage) override;
    void Remove() override;
    void ChangeIcon(IconHandle icon) override;
    void ChangeTip(const std::wstring& tip) override;
    IconHandle LoadIconFile(const std::wstring& path) override;
    // A built-in icon's handle is its resource number.
    IconHandle LoadIconResource(UINT resource) override { return resource; }
    void DestroyIcon(IconHandle icon) override;

    // Test side.
    Shown Now();
    std::vector<Change> Changes();  // every effective change, in order
    // Icon files present: path to the handle loading it gives.
    void AddIconFile(const std::wstring& path, IconHandle icon);

private:
    void Record(Kind kind);  // lock held

    SimScheduler& m_sched;
    Shown m_shown;
    std::vector<Change> m_changes;
    std::map<std::wstring, IconHandle> m_iconFiles;
};

}  // namespace kovado::platform
