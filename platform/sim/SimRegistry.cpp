#include "platform/sim/SimRegistry.h"

#include <algorithm>

namespace kovado::platform {

namespace {

std::wstring Upper(std::wstring text) {
    for (wchar_t& c : text)
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    return text;
}

}  // namespace

SimRegistry::KeyName SimRegistry::Name(RegRoot root, RegView view, const std::wstring& path) {
    if (root == RegRoot::CurrentUser)
        view = RegView::Native;
    else if (view == RegView::Native)
        view = RegView::Bits64;
    return {root, view, Upper(path)};
}

void SimRegistry::SetValue(RegRoot root, const std::wstring& path, const std::wstring& name,
                           DWORD type, std::vector<BYTE> data, RegView view) {
    std::lock_guard<std::mutex> lock(m_sched.StateLock());
    m_keys[Name(root, view, path)][Upper(name)] = Value{type, std::move(data)};
}

bool SimRegistry::GetValue(RegRoot root, const std::wstring& path, const std::wstring& name,
                           Value& out, RegView view) {
    std::lock_guard<std::mutex> lock(m_sched.StateLock());
    auto key = m_keys.find(Name(root, view, path));
    if (key == m_keys.end()) return false;
    auto value = key->second.find(Upper(name));
    if (value == key->second.end()) return false;
    out = value->second;
    return true;
}

void SimRegistry::DeleteKey(RegRoot root, const std::wstring& path) {
    std::lock_guard<std::mutex> lock(m_sched.StateLock());
    for (RegView view : {RegView::Bits64, RegView::Bits32}) m_keys.erase(Name(root, view, path));
}

int SimRegistry::OpenKeys() {
    std::lock_guard<std::mutex> lock(m_sched.StateLock());
    return static_cast<int>(m_handles.size());
}

long SimRegistry::OpenLocked(RegRoot root, const std::wstring& path, DWORD access, RegView view,
                             bool create, RegKey& out) {
    KeyName name = Name(root, view, path);
    // A key that is not there is reported as such, whatever the rights asked.
    if (!m_keys.count(name) && !create) return kRegNotFound;
    if (root == RegRoot::LocalMachine && (access & ~m_dwMachineRights) != 0)
        return kRegAccessDenied;
    m_keys[name];
    out = m_nextHandle;
    m_nextHandle += 4;
    m_handles[out] = Handle{name, access};
    return kRegOk;
}

long SimRegistry::Open(RegRoot root, const std::wstring& path, DWORD access, RegView view,
                       RegKey& out) {
    std::lock_guard<std::mutex> lock(m_sched.StateLock());
    return OpenLocked(root, path, access, view, false, out);
}

long SimRegistry::Create(RegRoot root, const std::wstring& path, DWORD access, RegView view,
                         RegKey& out) {
    std::lock_guard<std::mutex> lock(m_sched.StateLock());
    return OpenLocked(root, path, access, view, true, out);
}

long SimRegistry::Query(RegKey key, const std::wstring& name, DWORD& type, BYTE* data,
                        DWORD& size) {
    std::lock_guard<std::mutex> lock(m_sched.StateLock());
    auto handle = m_handles.find(key);
    if (handle == m_handles.end()) return kRegNotFound;
    if (!(handle->second.access & kKeyQueryValue)) return kRegAccessDenied;
    auto values = m_keys.find(handle->second.key);
    if (values == m_keys.end()) return kRegNotFound;
    auto value = values->second.find(Upper(name));
    if (value == values->second.end()) return kRegNotFound;
    const Value& v = value->second;
    DWORD needed = static_cast<DWORD>(v.data.size());
    DWORD capacity = size;
    type = v.type;
    size = needed;
    if (!data) return kRegOk;
    if (needed > capacity) return kRegMoreData;
    std::copy(v.data.begin(), v.data.end(), data);
    return kRegOk;
}

long SimRegistry::Set(RegKey key, const std::wstring& name, DWORD type, const BYTE* data,
                      DWORD size) {
    std::lock_guard<std::mutex> lock(m_sched.StateLock());
    auto handle = m_handles.find(key);
    if (handle == m_handles.end()) return kRegNotFound;
    if (!(handle->second.access & kKeySetValue) || m_bSetFails) return kRegAccessDenied;
    auto values = m_keys.find(handle->second.key);
    if (values == m_keys.end()) return kRegNotFound;
    Value& v = values->second[Upper(name)];
    v.type = type;
    v.data.assign(data, data + (data ? size : 0));
    return kRegOk;
}

void SimRegistry::Close(RegKey key) {
    std::lock_guard<std::mutex> lock(m_sched.StateLock());
    m_handles.erase(key);
}

}  // namespace kovado::platform
