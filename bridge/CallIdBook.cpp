#include "bridge/CallIdBook.h"

#include <algorithm>

#include "display/CommandBuild.h"

namespace kovado {

namespace {

// Up to 19 digits always fit 64 bits.
constexpr std::size_t kMaxDigits = 19;
constexpr std::uint64_t kMaxBits = 0xFFFF;

}  // namespace

WORD CallIdBook::Bits(std::wstring_view id) {
    return static_cast<WORD>(static_cast<std::uint32_t>(display::ParseInt(id)));
}

std::uint64_t CallIdBook::FullValue(std::wstring_view token) {
    if (token.empty() || token.size() > kMaxDigits) return 0;
    std::uint64_t value = 0;
    for (wchar_t c : token) {
        if (c < L'0' || c > L'9') return 0;
        value = value * 10 + static_cast<std::uint64_t>(c - L'0');
    }
    return value > kMaxBits ? value : 0;
}

void CallIdBook::AddCall(const std::wstring& id) {
    m_calls.push_back(Call{id, Bits(id), ++m_nTold});
}

void CallIdBook::RemoveCall(const std::wstring& id) {
    auto it = std::find_if(m_calls.begin(), m_calls.end(),
                           [&](const Call& call) { return call.id == id; });
    if (it != m_calls.end()) m_calls.erase(it);
}

void CallIdBook::Told(const std::wstring& id) {
    const WORD bits = Bits(id);
    m_told[bits] = id;
    const std::uint64_t now = ++m_nTold;
    for (Call& call : m_calls)
        if (call.id == id) call.told = now;
}

void CallIdBook::ToldListed(WORD bits, std::uint64_t full) {
    m_told[bits] = std::to_wstring(full != 0 ? full : bits);
}

std::wstring CallIdBook::Resolve(WORD bits) const {
    const std::wstring* id = nullptr;
    std::uint64_t latest = 0;
    for (const Call& call : m_calls) {
        if (call.bits == bits && (!id || call.told >= latest)) {
            id = &call.id;
            latest = call.told;
        }
    }
    if (!id) {
        auto told = m_told.find(bits);
        if (told != m_told.end()) id = &told->second;
    }
    // Ids within 16 bits are given to Skype exactly as the bytes read.
    if (id && FullValue(*id) != 0) return *id;
    return std::to_wstring(bits);
}

}  // namespace kovado
