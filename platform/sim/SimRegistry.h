// An in-memory registry: tests fill it, the program reads and writes it through
// the registry seam, and tests look at what was written. Key paths and value
// names match without regard to case, as in Windows.
#pragma once
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/Registry.h"
#include "platform/sim/SimScheduler.h"

namespace kovado::platform {

constexpr long kRegAccessDenied = 5;

class SimRegistry : public IRegistry {
public:
    struct Value {
        DWORD type = 0;
        std::vector<BYTE> data;
    };

    explicit SimRegistry(SimScheduler& scheduler) : m_sched(scheduler) {}

    // Test side. SetValue creates the key when needed.
    void SetValue(RegRoot root, const std::wstring& path, const std::wstring& name, DWORD type,
                  std::vector<BYTE> data);
    bool GetValue(RegRoot root, const std::wstring& path, const std::wstring& name, Value& out);
    // Removes the key with its values; handles still open on it stop working.
    void DeleteKey(RegRoot root, const std::wstring& path);
    int OpenKeys();

    long Open(RegRoot root, const std::wstring& path, DWORD access, RegKey& out) override;
    long Create(RegRoot root, const std::wstring& path, DWORD access, RegKey& out) override;
    long Query(RegKey key, const std::wstring& name, DWORD& type, BYTE* data,
               DWORD& size) override;
    long Set(RegKey key, const std::wstring& name, DWORD type, const BYTE* data,
             DWORD size) override;
    void Close(RegKey key) override;

    // A user without administrator rights: keys under HKEY_LOCAL_MACHINE open
    // only for reading.
    bool m_bMachineReadOnly = false;
    // Every write fails, as on a registry the program may not change.
    bool m_bSetFails = false;

private:
    using KeyName = std::pair<RegRoot, std::wstring>;  // path upper-cased
    struct Handle {
        KeyName key;
        DWORD access = 0;
    };
    static KeyName Name(RegRoot root, const std::wstring& path);
    long OpenLocked(RegRoot root, const std::wstring& path, DWORD access, bool create,
                    RegKey& out);

    SimScheduler& m_sched;
    std::map<KeyName, std::map<std::wstring, Value>> m_keys;
    std::map<RegKey, Handle> m_handles;
    RegKey m_nextHandle = 0x2000;
};

}  // namespace kovado::platform
