// A view started on the simulation backend over a temporary folder that holds
// the settings files a test puts there.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

#include "bridge/BridgeView.h"
#include "platform/sim/SimPlatform.h"
#include "tests/support/TempDir.h"

namespace kovado::test {

// A text as a Unicode settings file stores it: UTF-16LE, by default after the
// byte order mark. Line ends are part of the text.
inline std::string Unicode(std::wstring_view text, bool bom = true) {
    std::string bytes = bom ? std::string("\xFF\xFE") : std::string();
    for (wchar_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>((c >> 8) & 0xFF));
    }
    return bytes;
}

class SettingsFixture : public ::testing::Test {
protected:
    SettingsFixture() { m_sim.m_files.m_baseDir = m_dir.m_path; }

    // Runs the view's start-up over the files put so far.
    CBridgeView& Start() {
        m_view = std::make_unique<CBridgeView>(m_sim.m_services);
        return *m_view;
    }

    // The text of a handset text slot, up to its terminating zero.
    std::string Slot(int slot) const {
        const auto& bytes = m_view->m_aLcdTexts[slot];
        return std::string(reinterpret_cast<const char*>(bytes.data()));
    }

    TempDir m_dir;
    platform::SimPlatform m_sim;
    std::unique_ptr<CBridgeView> m_view;
};

}  // namespace kovado::test
