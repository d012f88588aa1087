#pragma once
#include <string>
#include <vector>

#include "platform/Mutex.h"

namespace kovado {

class CBridgeView;

class CSearchHandler {
public:
    explicit CSearchHandler(CBridgeView* owner) : m_pOwner(owner) {}
    virtual ~CSearchHandler() = default;
    void OnReply(std::wstring text) { m_seen.push_back(std::move(text)); }
    void SetFocused(std::wstring handle) {
        std::lock_guard<platform::Mutex> lock(m_lock);
        m_strFocused = std::move(handle);
    }
    CBridgeView* m_pOwner;
    std::wstring m_strFocused;
    platform::Mutex m_lock;
    std::vector<std::wstring> m_seen;
};

}  // namespace kovado
