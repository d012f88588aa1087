// The lists of a Skype search reply: stored whole, only their count queued;
// the handset then asks for ranges of entries.
#include <algorithm>
#include <vector>

#include "display/CommandBuild.h"
#include "display/DisplayRenderer.h"
#include "transport/Codes.h"

namespace kovado {

using display::Command;

namespace {

// The largest count the two count bytes can carry.
constexpr int kMaxIdCount = 0xFFFF;

// Splits a reply list ("a, b, c") the way the handset's counting expects:
// the count is the number of commas plus one (0 for an empty text), the
// entries are the words left after removing every comma, each ending at the
// first space and followed by white space that is skipped.
struct ListWalk {
    std::wstring text;
    std::size_t pos = 0;

    explicit ListWalk(std::wstring reply) : text(std::move(reply)) {}
    int Count(int cap) const {
        if (text.empty()) return 0;
        std::size_t commas = static_cast<std::size_t>(std::count(text.begin(), text.end(), L','));
        return static_cast<int>(std::min<std::size_t>(commas + 1, static_cast<std::size_t>(cap)));
    }
    void DropCommas() { std::erase(text, L','); }
    bool Done() const { return pos >= text.size(); }
    std::wstring Next() {
        std::size_t end = std::min(text.find(L' ', pos), text.size());
        std::wstring word = text.substr(pos, end - pos);
        pos = end;
        while (pos < text.size() && display::IsSpace(text[pos])) ++pos;
        return word;
    }
};

void PutCount(Command& command, BYTE code, int count) {
    command[0] = code;
    command[1] = 3;
    command[2] = Result::Ok;
    command[3] = static_cast<BYTE>(count >> 8);
    command[4] = static_cast<BYTE>(count);
}

}  // namespace

void CDisplayRenderer::OnContactList(std::wstring text) {
    const int slots = static_cast<int>(m_pOwner->m_arrContacts.size());
    ListWalk walk(std::move(text));
    // More handles than slots: the handset is told only what can be answered.
    const int count = walk.Count(slots);
    walk.DropCommas();
    std::vector<std::wstring> handles;
    while (!walk.Done() && static_cast<int>(handles.size()) < slots) handles.push_back(walk.Next());
    {
        std::lock_guard<platform::Mutex> lock(m_listsLock);
        auto& stored = m_pOwner->m_arrContacts;
        for (std::size_t i = 0; i < handles.size(); ++i) stored[i] = std::move(handles[i]);
        // A count above the handles found must not hand out a previous list's.
        for (int i = static_cast<int>(handles.size()); i < count; ++i) stored[i].clear();
        m_pOwner->m_nContactCount = count;
    }
    Command command{};
    PutCount(command, Cmd::ContactCount, count);
    PushTalvery(command.data());
}

void CDisplayRenderer::OnIdList(std::wstring text, BYTE code, IdList list) {
    ListWalk walk(std::move(text));
    const int count = walk.Count(kMaxIdCount);
    walk.DropCommas();
    std::vector<WORD> parsed(static_cast<std::size_t>(count));
    // The handset gets the low 16 bits; the full id is kept for its requests.
    std::vector<std::uint64_t> full(parsed.size());
    for (std::size_t i = 0; i < parsed.size(); ++i) {
        std::wstring token = walk.Next();
        parsed[i] = static_cast<WORD>(display::ParseInt(token));
        full[i] = CallIdBook::FullValue(token);
    }
    {
        std::lock_guard<platform::Mutex> lock(m_listsLock);
        std::copy(parsed.begin(), parsed.end(), list.ids.begin());
        list.full = std::move(full);
        list.count = count;
    }
    Command command{};
    PutCount(command, code, count);
    PushTalvery(command.data());
}

CDisplayRenderer::IdList CDisplayRenderer::CallList() {
    return {m_pOwner->m_aCallIds, m_pOwner->m_aCallIdsFull, m_pOwner->m_nCallIdCount};
}

CDisplayRenderer::IdList CDisplayRenderer::MissedCallList() {
    return {m_pOwner->m_aMissedCallIds, m_pOwner->m_aMissedCallIdsFull,
            m_pOwner->m_nMissedCallIdCount};
}

void CDisplayRenderer::OnCallList(std::wstring text) {
    OnIdList(std::move(text), Cmd::CallCount, CallList());
}

void CDisplayRenderer::OnMissedCallList(std::wstring text) {
    OnIdList(std::move(text), Cmd::MissedCount, MissedCallList());
}

namespace {

// A range the stored list no longer holds (a newer reply replaced it after
// the request was checked) is answered as a request out of range.
bool InRange(int first, int count, int stored) {
    return first >= 0 && count >= 0 && first <= stored - count;
}

void PutNoEntry(Command& command, BYTE code) {
    command[0] = code;
    command[1] = 1;
    command[2] = Result::NoEntry;
}

}  // namespace

void CDisplayRenderer::SendContactHandles(int first, BYTE count) {
    std::vector<std::wstring> handles;
    bool inRange;
    {
        std::lock_guard<platform::Mutex> lock(m_listsLock);
        inRange = InRange(first, count, m_pOwner->m_nContactCount);
        if (inRange) {
            auto begin = m_pOwner->m_arrContacts.begin() + first;
            handles.assign(begin, begin + count);
        }
    }
    if (!inRange) {
        Command command{};
        PutNoEntry(command, Cmd::ContactHandle);
        PushTalvery(command.data());
        return;
    }
    for (const std::wstring& handle : handles) ReplyUtf8(Cmd::ContactHandle, handle);
}

void CDisplayRenderer::SendIdRange(int first, BYTE count, BYTE code, IdList list) {
    constexpr int kIdsPerCommand = 22;
    std::vector<WORD> range;
    bool inRange;
    {
        std::lock_guard<platform::Mutex> lock(m_listsLock);
        inRange = InRange(first, count, list.count);
        if (inRange) {
            range.assign(list.ids.begin() + first, list.ids.begin() + first + count);
            // From now on the handset may name these calls by their two bytes.
            const std::vector<std::uint64_t>& full = list.full;
            for (int i = first; i < first + count; ++i) {
                std::uint64_t value = static_cast<std::size_t>(i) < full.size()
                                          ? full[static_cast<std::size_t>(i)]
                                          : 0;
                m_pOwner->m_callIdBook.ToldListed(list.ids[static_cast<std::size_t>(i)], value);
            }
        }
    }
    Command command{};
    if (!inRange) {
        PutNoEntry(command, code);
        PushTalvery(command.data());
        return;
    }
    for (std::size_t next = 0; next < range.size();) {
        std::size_t k = std::min<std::size_t>(kIdsPerCommand, range.size() - next);
        command[0] = code;
        command[1] = static_cast<BYTE>(1 + 2 * k);
        command[2] = Result::Ok;
        for (std::size_t j = 0; j < k; ++j) {
            command[3 + 2 * j] = static_cast<BYTE>(range[next + j] >> 8);
            command[4 + 2 * j] = static_cast<BYTE>(range[next + j]);
        }
        PushTalvery(command.data());
        next += k;
    }
}

void CDisplayRenderer::SendCallIds(int first, BYTE count) {
    SendIdRange(first, count, Cmd::CallIds, CallList());
}

void CDisplayRenderer::SendMissedCallIds(int first, BYTE count) {
    SendIdRange(first, count, Cmd::MissedCallIds, MissedCallList());
}

std::wstring CDisplayRenderer::FullCallId(WORD bits) {
    std::lock_guard<platform::Mutex> lock(m_listsLock);
    return m_pOwner->m_callIdBook.Resolve(bits);
}

void CDisplayRenderer::ToldCall(const std::wstring& callId) {
    std::lock_guard<platform::Mutex> lock(m_listsLock);
    m_pOwner->m_callIdBook.Told(callId);
}

}  // namespace kovado
