// The HID and tray services of the Win32 backend on what Wine offers: its own
// virtual HID devices (vendor 0x845E), no handset, and, without an X server, no
// notification area.
#include <functional>
#include <string>
#include <vector>

#include "platform/win32/Win32Platform.h"
#include "platform/win32/tests/Check.h"

using namespace kovado::platform;
using kovado::BYTE;
using kovado::wintest::Check;

namespace {

constexpr kovado::WORD kWineVendor = 0x845E;

std::uint64_t Timed(const std::function<void()>& body) {
    std::uint64_t t0 = GetTickCount64();
    body();
    return GetTickCount64() - t0;
}

// One device that opened: reads that find no input stay pending and time out
// each time; writes do not hang; closing cancels what is pending.
void TestIo(Win32Hid& hid, DeviceHandle device) {
    std::vector<BYTE> buffer(65, 0xAB);
    bool read = true;
    std::uint64_t first = Timed([&] { read = hid.Read(device, buffer.data(), 65, 150); });
    Check(!read && first >= 100 && first < 3000, "a read without input times out after its wait");
    bool again = true;
    std::uint64_t second = Timed([&] { again = hid.Read(device, buffer.data(), 65, 150); });
    Check(!again && second >= 100 && second < 3000, "the next read waits on the pending one");
    Check(buffer == std::vector<BYTE>(65, 0xAB), "a read that brought nothing left the buffer alone");

    // More writes than a device keeps in flight: each returns within its own
    // wait and the backlog's bound, whatever the device does with them.
    BYTE report[65] = {0x00, 0x02, 0x16, 0x02, 0x00, 0x0A};
    int outcomes[4] = {};
    for (int i = 0; i < 12; ++i) {
        WriteOutcome outcome = WriteOutcome::Failed;
        std::uint64_t took =
            Timed([&] { outcome = hid.Write(device, report, sizeof(report), 10); });
        ++outcomes[static_cast<int>(outcome)];
        if (took >= 2000) {
            Check(false, "an interrupt write returns after its short wait");
            break;
        }
    }
    std::printf("HID writes: %d written, %d in flight, %d failed, %d dropped\n", outcomes[0],
                outcomes[1], outcomes[2], outcomes[3]);
    std::uint64_t closing = Timed([&] { hid.Close(device); });
    Check(closing < 3000, "closing with a read pending does not hang");
    HidAttributes gone;
    Check(!hid.GetAttributes(device, gone) && !hid.Read(device, buffer.data(), 65, 10) &&
              hid.Write(device, report, sizeof(report), 10) == WriteOutcome::Failed &&
              !hid.SetFeature(device, report, sizeof(report)),
          "a closed handle is refused, for feature reports too");
    // A value the table never handed out: another object's handle.
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    Check(!hid.SetFeature(reinterpret_cast<DeviceHandle>(event), report, sizeof(report)),
          "a feature report to a handle not opened as a device is refused");
    CloseHandle(event);
}

void TestHid(Win32Hid& hid) {
    Check(hid.OpenInterface(0) == 0, "no interface before an enumeration");
    Check(hid.BeginEnumeration(), "the HID interfaces can be enumerated");
    int interfaces = 0, opened = 0, wine = 0;
    DeviceHandle kept = 0;
    for (int index = 0; index < 64; ++index) {
        DeviceHandle device = hid.OpenInterface(index);
        if (device == 0) break;
        ++interfaces;
        if (device == kInvalidDevice) continue;
        ++opened;
        HidAttributes attributes;
        if (hid.GetAttributes(device, attributes) && attributes.vendorId == kWineVendor) ++wine;
        if (!kept)
            kept = device;
        else
            hid.Close(device);
    }
    std::printf("HID: %d interfaces, %d opened, %d of vendor 0x845E\n", interfaces, opened, wine);
    Check(interfaces >= 1 && wine >= 1, "Wine's virtual HID devices are found and read");
    Check(hid.OpenInterface(interfaces) == 0 && hid.OpenInterface(-1) == 0,
          "no interface past the end of the snapshot");
    hid.EndEnumeration();
    Check(hid.OpenInterface(0) == 0, "no interface after the enumeration ended");

    HidAttributes none;
    Check(!hid.GetAttributes(0, none) && !hid.GetAttributes(kInvalidDevice, none),
          "no attributes for a NULL or invalid handle");
    if (kept) TestIo(hid, kept);
}

// A 16 x 16 icon of 32 bits per pixel, as an icon file holds it.
std::vector<BYTE> IconFile() {
    std::vector<BYTE> bytes;
    auto put16 = [&](unsigned v) { bytes.insert(bytes.end(), {BYTE(v), BYTE(v >> 8)}); };
    auto put32 = [&](unsigned v) { put16(v & 0xFFFF); put16(v >> 16); };
    const unsigned image = 40 + 16 * 16 * 4 + 16 * 4;
    put16(0); put16(1); put16(1);                      // icon directory, one image
    bytes.insert(bytes.end(), {16, 16, 0, 0});         // 16 x 16, no palette
    put16(1); put16(32); put32(image); put32(6 + 16);  // planes, bits, size, offset
    put32(40); put32(16); put32(32); put16(1); put16(32);  // header: height doubled
    for (int i = 0; i < 6; ++i) put32(0);
    for (int i = 0; i < 16 * 16; ++i) put32(0xFF2060C0);  // colour pixels
    for (int i = 0; i < 16; ++i) put32(0);                // mask: all opaque
    return bytes;
}

std::wstring WriteTemp(const wchar_t* name, const std::vector<BYTE>& bytes) {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    std::wstring path = std::wstring(folder) + name;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ::DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<::DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return path;
}

void TestTray(Win32Tray& tray, WindowHandle owner) {
    tray.ChangeTip(L"before");
    tray.ChangeIcon(0x1234);
    Check(tray.m_data.szTip[0] == 0 && tray.m_data.hIcon == nullptr,
          "changes before the icon is added do nothing");

    std::wstring icoPath = WriteTemp(L"kovado-test.ico", IconFile());
    std::wstring textPath = WriteTemp(L"kovado-test.txt", {'n', 'o', ' ', 'i', 'c', 'o', 'n'});
    struct {
        std::wstring path;
        bool loads;
        const char* what;
    } files[] = {
        {icoPath, true, "an icon file gives an icon"},
        {textPath, false, "a file that is no icon gives none (not ExtractIconW's 1)"},
        {L"C:\\no\\such\\file.ico", false, "a missing file gives no icon"},
    };
    IconHandle icon = 0;
    for (auto& file : files) {
        IconHandle loaded = tray.LoadIconFile(file.path);
        Check((loaded != 0) == file.loads, file.what);
        if (loaded && !icon)
            icon = loaded;
        else if (loaded)
            tray.DestroyIcon(loaded);
    }

    // Tips are cut at 63 units, not between the halves of a surrogate pair.
    std::wstring longTip(62, L'x');
    longTip += L"\U0001F600 and more";
    bool added = tray.Add(owner, icon, longTip, 0x0400 + 10);
    std::printf("tray: the icon was %s\n", added ? "added" : "not added (no notification area)");
    Check(added == tray.m_bAdded, "Add reports whether the icon is there");
    Check(std::wstring(tray.m_data.szTip) == std::wstring(62, L'x') && tray.m_data.uID == 133 &&
              tray.m_data.uCallbackMessage == 0x40A,
          "the record holds the cut tip, identifier 133 and the callback message");
    if (added) {  // only where there is a notification area (an X server)
        tray.ChangeTip(L"Kovado");
        tray.ChangeIcon(0);
        Check(std::wstring(tray.m_data.szTip) == L"Kovado" && tray.m_data.hIcon == nullptr,
              "changes reach the added icon");
    }
    tray.Remove();
    Check(!tray.m_bAdded, "Remove leaves the icon gone");
    tray.DestroyIcon(icon);
    DeleteFileW(icoPath.c_str());
    DeleteFileW(textPath.c_str());
}

struct Silent : IWindowClient {
    std::intptr_t WindowProc(std::uint32_t, std::uintptr_t, std::intptr_t) override { return 0; }
};

}  // namespace

int wmain() {
    kovado::wintest::StartWatchdog(90);
    Win32Platform platform;
    TestHid(platform.m_hid);
    Silent client;
    WindowHandle owner = platform.m_windows.CreateWindow(&client, L"", 0);
    TestTray(platform.m_tray, owner);
    platform.m_windows.DestroyWindow(owner);
    return kovado::wintest::Finish();
}
