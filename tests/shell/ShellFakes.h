// Stand-ins for the platform's menus and dialogs: a menu tree built like the
// tray menu resource, and dialogs whose windows record what the shell sets.
#pragma once
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Dialogs.h"
#include "platform/Menus.h"
#include "platform/Messages.h"
#include "shell/NestedLoop.h"

namespace kovado::test {

class FakeMenus : public platform::IMenus {
public:
    struct Item {
        UINT command = 0;
        std::wstring label;
        platform::MenuHandle submenu = 0;
    };
    // The popup as it was shown, with the language submenu's entries.
    struct Shown {
        platform::WindowHandle owner = 0;
        std::vector<std::wstring> labels;  // the popup's items; separators empty
        std::vector<Item> languages;
        UINT defaultItem = ~0u;
        bool defaultByPosition = true;
    };

    platform::MenuHandle Load(UINT resource) override {
        if (!m_bHasMenu || resource != 133) return 0;
        platform::MenuHandle languages = NewMenu();
        for (UINT i = 0; i < 20; ++i) m_menus[languages].push_back({200 + i, std::to_wstring(i)});
        platform::MenuHandle popup = NewMenu();
        m_menus[popup] = {{0, L"Select Language", languages}, {}, {142, L"About"}, {},
                          {57665, L"Exit"}};
        platform::MenuHandle top = NewMenu();
        m_menus[top] = {{0, L"Tray", popup}};
        ++m_nLoaded;
        return top;
    }
    platform::MenuHandle SubMenu(platform::MenuHandle menu, int position) override {
        auto& items = m_menus[menu];
        return position < static_cast<int>(items.size()) ? items[position].submenu : 0;
    }
    void SetDefaultItem(platform::MenuHandle, UINT item, bool byPosition) override {
        m_nDefaultItem = item;
        m_bDefaultByPosition = byPosition;
    }
    bool SetLabel(platform::MenuHandle menu, UINT item, bool byPosition,
                  const std::wstring& label) override {
        Item* found = byPosition ? &m_menus[menu].at(item) : Find(menu, item);
        if (found) found->label = label;
        return found != nullptr;
    }
    bool Remove(platform::MenuHandle menu, UINT command) override {
        for (auto it = m_menus[menu].begin(); it != m_menus[menu].end(); ++it) {
            if (it->submenu != 0 && Remove(it->submenu, command)) return true;
            if (it->submenu == 0 && it->command == command && !it->label.empty()) {
                m_menus[menu].erase(it);
                return true;
            }
        }
        return false;
    }
    UINT ItemCommand(platform::MenuHandle menu, int position) override {
        const Item& item = m_menus[menu].at(position);
        return item.submenu ? ~0u : item.command;
    }
    void BringToForeground(platform::WindowHandle window) override {
        m_foreground.push_back(window);
    }
    void TrackAtCursor(platform::MenuHandle popup, platform::WindowHandle owner) override {
        Shown shown;
        shown.owner = owner;
        for (const Item& item : m_menus[popup]) shown.labels.push_back(item.label);
        shown.languages = m_menus[m_menus[popup].at(0).submenu];
        shown.defaultItem = m_nDefaultItem;
        shown.defaultByPosition = m_bDefaultByPosition;
        m_shown.push_back(shown);
        if (m_onTrack) m_onTrack(owner);
    }
    void Destroy(platform::MenuHandle) override { ++m_nDestroyed; }

    bool m_bHasMenu = true;
    int m_nLoaded = 0;
    int m_nDestroyed = 0;
    std::vector<Shown> m_shown;
    std::vector<platform::WindowHandle> m_foreground;
    std::function<void(platform::WindowHandle owner)> m_onTrack;  // the user's choice

private:
    platform::MenuHandle NewMenu() { return ++m_nNext; }
    Item* Find(platform::MenuHandle menu, UINT command) {
        for (Item& item : m_menus[menu]) {
            if (item.submenu == 0 && item.command == command && !item.label.empty()) return &item;
            if (item.submenu != 0)
                if (Item* inner = Find(item.submenu, command)) return inner;
        }
        return nullptr;
    }

    std::map<platform::MenuHandle, std::vector<Item>> m_menus;
    platform::MenuHandle m_nNext = 0;
    UINT m_nDefaultItem = ~0u;
    bool m_bDefaultByPosition = true;
};

class FakeDialogs : public platform::IDialogs {
public:
    // A dialog or one of its controls: records the text and icon set on it.
    struct Window : platform::IWindowClient {
        std::intptr_t WindowProc(std::uint32_t message, std::uintptr_t wParam,
                                 std::intptr_t lParam) override {
            if (message == platform::kWmSetText)
                text = reinterpret_cast<const wchar_t*>(lParam);
            else if (message == platform::kStmSetIcon)
                icon = wParam;
            return 0;
        }
        platform::WindowHandle handle = 0;
        std::wstring text;
        platform::IconHandle icon = 0;
    };
    struct Dialog {
        UINT resource = 0;
        Window self;
        std::map<UINT, std::unique_ptr<Window>> items;
        bool visible = true;
        bool ended = false;
        std::intptr_t result = 0;
    };

    explicit FakeDialogs(platform::IWindowSystem& windows) : m_windows(windows) {}

    platform::WindowHandle CreateModeless(UINT resource, platform::IWindowClient* client) override {
        return Open(resource, client);
    }
    std::intptr_t RunModal(UINT resource, platform::IWindowClient* client) override {
        platform::WindowHandle handle = Open(resource, client);
        if (m_onModal) m_onModal(*client);
        return m_dialogs[handle]->result;
    }
    void End(platform::WindowHandle dialog, std::intptr_t result) override {
        Dialog& d = *m_dialogs.at(dialog);
        d.ended = true;
        d.visible = false;
        d.result = result;
    }
    platform::WindowHandle Item(platform::WindowHandle dialog, UINT id) override {
        auto& items = m_dialogs.at(dialog)->items;
        auto it = items.find(id);
        return it == items.end() ? 0 : it->second->handle;
    }
    void Show(platform::WindowHandle window, bool visible) override {
        m_dialogs.at(window)->visible = visible;
    }
    bool IsVisible(platform::WindowHandle window) override { return m_dialogs.at(window)->visible; }
    bool AskSavePath(std::wstring& path) override {
        ++m_nAsked;
        if (m_savePath.empty()) return false;
        path = m_savePath;
        return true;
    }
    void ShowError(platform::WindowHandle, const std::wstring& text) override {
        m_errors.push_back(text);
        m_nErrorLoops = NestedLoop::Depth();
    }

    // The one dialog made from resource, or nullptr.
    Dialog* Of(UINT resource) {
        for (auto& [handle, dialog] : m_dialogs)
            if (dialog->resource == resource) return dialog.get();
        return nullptr;
    }

    // Controls the templates have; the debug dialog's list is left out, so its
    // lines stay with the dialog object where a test can read them.
    std::vector<UINT> m_controls{1004, 1007, 1008};
    std::wstring m_savePath;  // empty: the user cancels the chooser
    int m_nAsked = 0;
    std::vector<std::wstring> m_errors;
    int m_nErrorLoops = -1;  // loops marked while the last error box was open
    std::function<void(platform::IWindowClient& client)> m_onModal;  // the user's clicks

private:
    platform::WindowHandle Open(UINT resource, platform::IWindowClient* client) {
        auto dialog = std::make_unique<Dialog>();
        dialog->resource = resource;
        dialog->self.handle = m_windows.CreateWindow(&dialog->self, L"", 0);
        for (UINT id : m_controls) {
            auto control = std::make_unique<Window>();
            control->handle = m_windows.CreateWindow(control.get(), L"", dialog->self.handle);
            dialog->items[id] = std::move(control);
        }
        platform::WindowHandle handle = dialog->self.handle;
        m_dialogs[handle] = std::move(dialog);
        client->WindowProc(platform::kWmInitDialog, handle, 0);
        return handle;
    }

    platform::IWindowSystem& m_windows;
    std::map<platform::WindowHandle, std::unique_ptr<Dialog>> m_dialogs;
};

}  // namespace kovado::test
