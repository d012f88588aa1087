#pragma once
#include <string>
#include <vector>

namespace kovado {

class CBridgeView;

class CCallHandler {
public:
    explicit CCallHandler(CBridgeView* owner) : m_pOwner(owner) {}
    virtual ~CCallHandler() = default;
    void OnNotification(std::wstring text) { m_seen.push_back(std::move(text)); }
    CBridgeView* m_pOwner;
    std::vector<std::wstring> m_seen;
};

}  // namespace kovado
