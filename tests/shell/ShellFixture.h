// A view on the simulation backend with the shell's menus and dialogs faked,
// over a temporary folder for the settings files, and a frame window that
// routes commands as the real frame does.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "bridge/BridgeView.h"
#include "platform/sim/SimPlatform.h"
#include "settings/CommandUi.h"
#include "settings/Settings.h"
#include "shell/CommandRouting.h"
#include "tests/settings/SettingsFixture.h"
#include "tests/shell/ShellFakes.h"
#include "tests/support/TempDir.h"

namespace kovado::test {

struct RecordedUi : ICommandUi {
    void SetCheck(bool on) override { checked = on; }
    void Enable(bool on) override { enabled = on; }
    bool checked = false;
    bool enabled = true;
};

// Offers commands to the view first, as the frame does, and records them all.
struct FrameClient : platform::IWindowClient {
    std::intptr_t WindowProc(std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t) override {
        if (message != platform::kWmCommand) return 0;
        commands.push_back(static_cast<UINT>(wParam & 0xFFFF));
        if (view) OfferCommandToView(*view, static_cast<UINT>(wParam & 0xFFFF));
        return 0;
    }
    CBridgeView* view = nullptr;
    std::vector<UINT> commands;
};

class ShellFixture : public ::testing::Test {
protected:
    ShellFixture() {
        m_sim.m_files.m_baseDir = m_dir.m_path;
        m_sim.m_services.menus = &m_menus;
        m_sim.m_services.dialogs = &m_dialogs;
    }

    CBridgeView& Start() {
        m_view = std::make_unique<CBridgeView>(m_sim.m_services);
        m_frame.view = m_view.get();
        m_hFrame = m_sim.m_windows.CreateWindow(&m_frame, L"KovadoDeskLink", 0);
        return *m_view;
    }

    TempDir m_dir;
    platform::SimPlatform m_sim;
    FakeMenus m_menus;
    FakeDialogs m_dialogs{m_sim.m_windows};
    FrameClient m_frame;
    platform::WindowHandle m_hFrame = 0;
    std::unique_ptr<CBridgeView> m_view;
};

}  // namespace kovado::test
