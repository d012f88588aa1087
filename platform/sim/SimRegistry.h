// An in-memory registry: tests fill it, the program reads and writes it through
// the registry seam, and tests look at what was written. Key paths and value
// names match without regard to case, as in Windows. Keys under
// HKEY_LOCAL_MACHINE exist twice, in the 64-bit view (which Native means) and
// in the 32-bit view; keys under HKEY_CURRENT_USER once.
#pragma once
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "platform/Registry.h"
#include "platform/sim/SimScheduler.h"

namespace kovado::platform {

class SimRegistry : public IRegistry {
public:
    struct Value {
        DWORD type = 0;
        std::vector<BYTE> data;
    };

    explicit SimRegistry(SimScheduler& scheduler) : m_sched(scheduler) {}

    // Test side. SetValue creates the key when needed.
    void SetValue(RegRoot root, const std::wstring& path, const std::wstring& name, DWORD type,
                  std::vector<BYTE> data, RegView view = RegView::Native);
    bool GetValue(RegRoot root, const std::wstring& path, const std::wstring& name, Value& out,
                  RegView view = RegView::Native);
    // Removes the key with its values (in both views); handles still open on
    // it stop working.
    void DeleteKey(RegRoot root, const std::wstring& path);
    int OpenKeys();

    long Open(RegRoot root, const std::wstring& path, DWORD access, RegView view,
              RegKey& out) override;
    long Create(RegRoot root, const std::wstring& path, DWORD access, RegView view,
                RegKey& out) override;
    long Query(RegKey key, const std::wstring& name, DWORD& type, BYTE* data,
               DWORD& size) override;
    long Set(RegKey key, const std::wstring& name, DWORD type, const BYTE* data,
             DWORD size) override;
    void Close(RegKey key) override;

    // The rights this user holds on keys under HKEY_LOCAL_MACHINE; an open
    // that asks for any other is refused. A UAC session (administrators too)
    // holds kKeyRead, or kKeyRead | kKeySetValue on a key the installation
    // opened to its users, never all access.
    DWORD m_dwMachineRights = ~DWORD{0};
    // Every write fails, as on a registry the program may not change.
    bool m_bSetFails = false;

private:
    using KeyName = std::tuple<RegRoot, RegView, std::wstring>;  // path upper-cased
    struct Handle {
        KeyName key;
        DWORD access = 0;
    };
    static KeyName Name(RegRoot root, RegView view, const std::wstring& path);
    long OpenLocked(RegRoot root, const std::wstring& path, DWORD access, RegView view,
                    bool create, RegKey& out);

    SimScheduler& m_sched;
    std::map<KeyName, std::map<std::wstring, Value>> m_keys;
    std::map<RegKey, Handle> m_handles;
    RegKey m_nextHandle = 0x2000;
};

}  // namespace kovado::platform
