// The registry seam on Windows: the two machine views a 64-bit program can
// open (a 32-bit program's HKLM\SOFTWARE keys live in the 32-bit one), and
// handles limited to the rights they were opened with.
#include <string>
#include <vector>

#include "platform/win32/Win32Registry.h"
#include "platform/win32/tests/Check.h"

using namespace kovado::platform;
using kovado::BYTE;
using kovado::wintest::Check;

namespace {

const std::wstring kKey = L"SOFTWARE\\KovadoViewsTest";

long ReadPath(Win32Registry& registry, RegView view, std::vector<BYTE>& value) {
    RegKey key = 0;
    long opened = registry.Open(RegRoot::LocalMachine, kKey, kKeyRead, view, key);
    if (opened != kRegOk) return opened;
    value.assign(64, 0);
    kovado::DWORD type = 0;
    auto size = static_cast<kovado::DWORD>(value.size());
    long read = registry.Query(key, L"SkypePath", type, value.data(), size);
    value.resize(read == kRegOk ? size : 0);
    registry.Close(key);
    return read;
}

}  // namespace

int wmain() {
    kovado::wintest::StartWatchdog(60);
    Win32Registry registry;
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kKey.c_str(), KEY_WOW64_32KEY, 0);
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kKey.c_str(), KEY_WOW64_64KEY, 0);

    // Written as a 32-bit installer would.
    RegKey key = 0;
    Check(registry.Create(RegRoot::LocalMachine, kKey, kKeyQueryValue | kKeySetValue,
                          RegView::Bits32, key) == kRegOk,
          "a key can be created in the 32-bit view");
    const BYTE path[] = {'C', ':', '\\', 0, 0, 0};
    Check(registry.Set(key, L"SkypePath", kRegSz, path, sizeof(path)) == kRegOk,
          "a value is written with set-value rights");
    registry.Close(key);

    std::vector<BYTE> value;
    Check(ReadPath(registry, RegView::Bits32, value) == kRegOk &&
              value == std::vector<BYTE>(path, path + sizeof(path)),
          "the 32-bit view holds the value");
    Check(ReadPath(registry, RegView::Bits64, value) == kRegNotFound,
          "the 64-bit view does not see it");
    Check(ReadPath(registry, RegView::Native, value) == kRegNotFound,
          "the program's own view is the 64-bit one");

    // The 8-bit calls take the same view.
    RegKey ansi = 0;
    IAnsiRegistry& narrow = registry;
    Check(narrow.Open(RegRoot::LocalMachine, "SOFTWARE\\KovadoViewsTest", kKeyQueryValue,
                      RegView::Bits32, ansi) == kRegOk,
          "the 8-bit open finds the key in the 32-bit view");
    // A handle opened for reading does not write.
    Check(registry.Set(ansi, L"SkypePath", kRegSz, path, sizeof(path)) == kRegAccessDenied,
          "a handle without set-value rights refuses a write");
    registry.Close(ansi);

    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kKey.c_str(), KEY_WOW64_32KEY, 0);
    return kovado::wintest::Finish();
}
