#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Hid.h"
#include "platform/win32/Win32HidDevice.h"

#include <vector>

namespace kovado::platform {
namespace {

HANDLE Native(DeviceHandle device) { return reinterpret_cast<HANDLE>(device); }

bool Usable(DeviceHandle device) { return device != 0 && device != kInvalidDevice; }

// Waits until an operation already cancelled (or finishing) is over.
void Settle(HANDLE handle, Win32HidIo& io) {
    ::DWORD ignored = 0;
    CancelIoEx(handle, &io.m_overlapped);
    GetOverlappedResult(handle, &io.m_overlapped, &ignored, TRUE);
}

}  // namespace

Win32Hid::Win32Hid() : m_set(INVALID_HANDLE_VALUE) {}

Win32Hid::~Win32Hid() {
    EndEnumeration();
    std::vector<DeviceHandle> open;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        for (auto& [handle, device] : m_devices) open.push_back(handle);
    }
    for (DeviceHandle handle : open) Close(handle);
}

bool Win32Hid::BeginEnumeration() {
    GUID hidClass;
    HidD_GetHidGuid(&hidClass);
    HDEVINFO set = SetupDiGetClassDevsW(&hidClass, nullptr, nullptr,
                                        DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);  // 0x12
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_set != INVALID_HANDLE_VALUE) SetupDiDestroyDeviceInfoList(m_set);
    m_set = set;
    return set != INVALID_HANDLE_VALUE;
}

void Win32Hid::EndEnumeration() {
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_set != INVALID_HANDLE_VALUE) SetupDiDestroyDeviceInfoList(m_set);
    m_set = INVALID_HANDLE_VALUE;
}

DeviceHandle Win32Hid::OpenInterface(int index) {
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_set == INVALID_HANDLE_VALUE || index < 0) return 0;
    GUID hidClass;
    HidD_GetHidGuid(&hidClass);
    SP_DEVICE_INTERFACE_DATA data{};
    data.cbSize = sizeof(data);
    if (!SetupDiEnumDeviceInterfaces(m_set, nullptr, &hidClass, static_cast<::DWORD>(index), &data))
        return 0;

    // The first call only asks for the size; it must fail.
    ::DWORD needed = 0;
    if (SetupDiGetDeviceInterfaceDetailW(m_set, &data, nullptr, 0, &needed, nullptr)) return 0;
    if (needed < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) return 0;
    std::vector<std::uint64_t> storage((needed + sizeof(std::uint64_t) - 1) / sizeof(std::uint64_t) + 1);
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(storage.data());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    if (!SetupDiGetDeviceInterfaceDetailW(m_set, &data, detail, needed, nullptr, nullptr)) return 0;

    HANDLE handle = CreateFileW(detail->DevicePath, GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_OVERLAPPED, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return kInvalidDevice;
    auto device = reinterpret_cast<DeviceHandle>(handle);
    m_devices[device] = std::make_shared<Win32HidDevice>(handle);
    return device;
}

std::shared_ptr<Win32HidDevice> Win32Hid::DeviceOf(DeviceHandle device) {
    std::lock_guard<std::mutex> lock(m_lock);
    auto it = m_devices.find(device);
    return it == m_devices.end() ? nullptr : it->second;
}

bool Win32Hid::GetAttributes(DeviceHandle device, HidAttributes& out) {
    if (!Usable(device)) return false;
    HIDD_ATTRIBUTES attributes{};
    attributes.Size = sizeof(attributes);
    if (!HidD_GetAttributes(Native(device), &attributes)) return false;
    out.vendorId = attributes.VendorID;
    out.productId = attributes.ProductID;
    out.version = attributes.VersionNumber;
    return true;
}

void Win32Hid::Close(DeviceHandle handle) {
    std::shared_ptr<Win32HidDevice> device;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        auto it = m_devices.find(handle);
        if (it == m_devices.end()) return;
        device = it->second;
        m_devices.erase(it);
    }
    // Wake a read waiting on another thread, then wait for everything that
    // still points into the device's buffers before the handle goes.
    CancelIoEx(device->m_hDevice, nullptr);
    std::lock_guard<std::mutex> reading(device->m_readLock);
    std::lock_guard<std::mutex> writing(device->m_writeLock);
    if (device->m_bReadPending) Settle(device->m_hDevice, device->m_read);
    device->m_bReadPending = false;
    for (auto& write : device->m_writes) Settle(device->m_hDevice, *write);
    device->m_writes.clear();
    CloseHandle(device->m_hDevice);
    device->m_hDevice = INVALID_HANDLE_VALUE;
}

}  // namespace kovado::platform
