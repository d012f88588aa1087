// KovadoRemove against a simulated window list, registry and process start:
// the running program is closed first, then the registered command starts,
// and only a command that fits with its NUL into 256 bytes is started.
#include <gtest/gtest.h>

#include <ostream>

#include <regex>

#include "ProductCode.h"
#include "tests/tools/ToolFakes.h"
#include "tools/uninstall/UninstallLauncher.h"

namespace kovado {
namespace {

using namespace fakes;

constexpr const char* kCode = "{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}";
constexpr WindowHandle kMainWindow = 0x99;

struct LauncherCase {
    const char* name;
    bool running;
    bool keyPresent;
    bool valuePresent;
    RegValue command;
    std::string log;
};
void PrintTo(const LauncherCase& c, std::ostream* out) { *out << c.name; }

// A text value stored without its NUL.
RegValue Raw(std::size_t length) {
    return RegValue{platform::kRegSz, std::vector<BYTE>(length, 'c')};
}

class UninstallLauncherTest : public ::testing::TestWithParam<LauncherCase> {};

TEST_P(UninstallLauncherTest, ClosesThenStartsTheRegisteredCommand) {
    const LauncherCase& c = GetParam();
    EventLog log;
    FakeWindows windows(log);
    FakeRegistry registry;
    registry.m_machineRights = platform::kKeyRead;  // a UAC session
    FakeProcess process(log, nullptr);
    if (c.running) {
        windows.m_windows["KovadoDeskLink"] = kMainWindow;
    }
    std::string keyPath =
        std::string("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + kCode;
    if (c.keyPresent) {
        auto& key = registry.Key(RegRoot::LocalMachine, keyPath);
        if (c.valuePresent) {
            key["UninstallString"] = c.command;
        }
    }

    EXPECT_EQ(RunUninstallLauncher({&windows, &registry, &process}, kCode), 0);
    EXPECT_EQ(Condense(log), c.log);
    if (c.keyPresent) {
        // For reading only, in the 64-bit view the installer writes.
        EXPECT_EQ(registry.m_opened, std::vector<std::string>{keyPath + " 0x20019 64"});
    }
    EXPECT_TRUE(registry.m_open.empty());
}

const std::string k255(255, 'c');

INSTANTIATE_TEST_SUITE_P(
    Table, UninstallLauncherTest,
    ::testing::Values(
        LauncherCase{"RunningProgramClosedFirst", true, true, true, Text("MsiExec.exe /X{0A1B}"),
                     "close 153 start MsiExec.exe /X{0A1B} 1"},
        LauncherCase{"NotRunningStartsAtOnce", false, true, true, Text("C:\\u.exe"),
                     "start C:\\u.exe 1"},
        LauncherCase{"Exactly255Started", false, true, true, Text(k255), "start " + k255 + " 1"},
        LauncherCase{"Of256NotStarted", false, true, true, Text(std::string(256, 'c')), ""},
        LauncherCase{"StoredWithoutNul255Started", false, true, true, Raw(255),
                     "start " + k255 + " 1"},
        LauncherCase{"StoredWithoutNul256NotStarted", false, true, true, Raw(256), ""},
        LauncherCase{"EmptyNotStarted", false, true, true, Text(""), ""},
        LauncherCase{"NoKey", true, false, false, {}, "close 153"},
        LauncherCase{"NoValue", false, true, false, {}, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProductCodeTest, IsAGuidInRegistryForm) {
    std::regex form("\\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\}");
    EXPECT_TRUE(std::regex_match(kProductCode, form)) << kProductCode;
}

}  // namespace
}  // namespace kovado
