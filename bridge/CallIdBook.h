// The handset names a call by the two bytes it was given: the low 16 bits of
// Skype's call id. Skype's ids grow past 65535, so the bytes alone can name
// another call or none. The book keeps the full ids the handset has been
// told, so that the two bytes of a request or an acknowledgement lead back to
// the call the handset meant.
//
// Not locked itself: the view's book is guarded by the renderer's list lock
// (m_listsLock), like the stored lists it sits beside.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/Types.h"

namespace kovado {

class CallIdBook {
public:
    // The two bytes the handset gets for an id (as the call commands put them).
    static WORD Bits(std::wstring_view id);
    // A stored-list token as a full id: its value when it is a plain decimal
    // number beyond 16 bits, 0 otherwise (the two bytes then say it all).
    static std::uint64_t FullValue(std::wstring_view token);

    // A call entered or left the call list.
    void AddCall(const std::wstring& id);
    void RemoveCall(const std::wstring& id);
    // The handset was told about a call: a call command with its id, or an id
    // of a stored list in a range (full as FullValue gives it).
    void Told(const std::wstring& id);
    void ToldListed(WORD bits, std::uint64_t full);

    // The id to give Skype for the handset's two bytes: among the calls of the
    // call list, then among the other ids told; the one told last wins when
    // several share the bytes. What is not beyond 16 bits, or not found,
    // is the decimal of the bytes themselves.
    std::wstring Resolve(WORD bits) const;

private:
    struct Call {
        std::wstring id;
        WORD bits;
        std::uint64_t told;  // order of the last telling
    };
    std::vector<Call> m_calls;
    // Every id told, the last per two bytes; asked after the call list.
    std::unordered_map<WORD, std::wstring> m_told;
    std::uint64_t m_nTold = 0;
};

}  // namespace kovado
