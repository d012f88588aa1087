// The handset's acknowledgement of a main-queue command: it echoes the code
// and the data (without the length byte), or the first part of them. A match
// takes the command off its list, so it is not sent again.
#include <algorithm>
#include <mutex>

#include "bridge/BridgeView.h"
#include "display/DisplayRenderer.h"
#include "events/PhoneEventHandler.h"

namespace kovado {

namespace {

// Echo of a command kept without a call id: its code and first data byte.
constexpr std::size_t kShortEcho = 2;
// Code, result and the two call id bytes the key is read from.
constexpr std::size_t kKeyedEcho = 4;

// Echo byte i against the kept command: byte 0 is the code, byte i >= 1 the
// command's data byte i - 1 (the length byte is not echoed).
template <std::size_t N>
bool EchoMatches(const std::array<BYTE, N>& command, const BYTE* echo, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t at = i == 0 ? 0 : i + 1;
        if (at >= N || command[at] != echo[i]) return false;
    }
    return true;
}

}  // namespace

void CPhoneEventHandler::CommandAck(const Request& r) {
    CBridgeView& view = *m_pOwner;
    // Nothing is sent to Skype: the next flush returns the conversation to idle.
    view.m_nReplyMode = kModeNoReply;
    if (!view.m_bHandshake) return;

    // The entry is kept under the call's full id; the echo carries its two
    // bytes. Looked up before the acknowledgement lock is taken, so that the
    // list lock is never held inside it.
    std::wstring key;
    if (r.length >= kKeyedEcho) key = CallOf(unsigned{r.data[2]} << 8 | r.data[3]);

    std::lock_guard<platform::Mutex> lock(view.m_pRenderer->m_ackLock);
    if (r.length == kShortEcho) {
        auto& pending = view.m_listPendingAcks;
        auto it = std::find_if(pending.begin(), pending.end(), [&](const PendingAck& ack) {
            return ack.command[0] == r.data[0] && ack.command[2] == r.data[1];
        });
        if (it != pending.end()) pending.erase(it);
        return;
    }
    // Shorter echoes do not carry the call id the entry is kept under.
    if (r.length < kKeyedEcho) return;
    auto& keyed = view.m_listKeyedAcks;
    auto it = std::find_if(keyed.begin(), keyed.end(),
                           [&](const KeyedAck& ack) { return ack.key == key; });
    if (it != keyed.end() && EchoMatches(it->command, r.data, r.length)) keyed.erase(it);
}

}  // namespace kovado
