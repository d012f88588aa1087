// Call commands on the main queue and the lists that keep them until the
// handset acknowledges them: re-sent every sixth tick, call endings and call
// results at most five times more.
#include <algorithm>
#include <cstring>
#include <vector>

#include "display/CommandBuild.h"
#include "display/DisplayRenderer.h"
#include "transport/Codes.h"

namespace kovado {

using display::Command;

namespace {

constexpr BYTE kStatusDnd = 4;
constexpr BYTE kSkypeLost = 0xFF;
constexpr BYTE kResendTicks = 6;
constexpr BYTE kMaxTries = 5;

constexpr BYTE kRequestDial = 15;
constexpr BYTE kRequestAnswer = 16;
constexpr BYTE kRequestHangUp = 19;

template <class Ack>
void Keep(Ack& ack, const Command& command, BOOL limited) {
    static_assert(sizeof(ack.command) >= 2 + display::kMainData);
    ack.command.fill(0);
    std::memcpy(ack.command.data(), command.data(), 2 + std::min<int>(command[1], display::kMainData));
    ack.ticks = 0;
    ack.limited = limited;
    ack.tries = 0;
}

}  // namespace

void CDisplayRenderer::SendUserStatus(BYTE status) {
    Command command{Cmd::UserStatus, 2, Result::Ok, status};
    if (status == kSkypeLost) command = Command{Cmd::UserStatus, 1, Result::NoSkype};
    CBridgeView& view = *m_pOwner;
    if (view.m_nProductId == kModel6621) {
        // The 0x6621 handset takes a status while not ready only as a refresh.
        if (view.m_bStatusRefresh) {
            if (status != kStatusDnd) view.m_bStatusRefresh = 0;
        } else if (!view.m_bDeviceReady) {
            return;
        }
    }
    PushMain(command.data());
}

void CDisplayRenderer::SendKeyed(BYTE code, std::wstring callId, BYTE state, BOOL limited) {
    Command command{code, 4, Result::Ok};
    display::PutCallId(callId, &command[3]);
    command[5] = state;
    ToldCall(callId);
    // Kept before it is queued: an acknowledgement read right after the write
    // must find its entry. The push comes after the lock is released, since a
    // full queue logs a line (a window message).
    if (m_pOwner->m_bHandshake) {
        std::lock_guard<platform::Mutex> lock(m_ackLock);
        auto& keyed = m_pOwner->m_listKeyedAcks;
        auto same = std::find_if(keyed.begin(), keyed.end(),
                                 [&](const KeyedAck& ack) { return ack.key == callId; });
        if (same == keyed.end()) same = keyed.insert(keyed.end(), KeyedAck{});
        Keep(*same, command, limited);
        same->key = std::move(callId);
    }
    PushMain(command.data());
}

void CDisplayRenderer::SendCallState(std::wstring callId, BYTE state) {
    SendKeyed(Cmd::CallState, std::move(callId), state, 0);
}

void CDisplayRenderer::SendCallEnded(std::wstring callId, BYTE state) {
    SendKeyed(Cmd::CallEnded, std::move(callId), state, 1);
}

void CDisplayRenderer::SendCallerName(std::wstring callId, std::wstring name) {
    // A main-queue slot carries 61 data bytes: 00, the id, and 58 of the name.
    constexpr int kNameBytes = display::kMainData - 3;
    std::string utf8 = display::Utf8Within(name, kNameBytes);
    Command command{Cmd::CallerName, 0, Result::Ok};
    display::PutCallId(callId, &command[3]);
    command[1] = static_cast<BYTE>(display::PutBytes(command, 3, utf8.data(), utf8.size()));

    {
        std::lock_guard<platform::Mutex> lock(m_ackLock);
        auto& keyed = m_pOwner->m_listKeyedAcks;
        // A command about this call still waiting says more than the name would.
        if (std::any_of(keyed.begin(), keyed.end(),
                        [&](const KeyedAck& ack) { return ack.key == callId; }))
            return;
        if (m_pOwner->m_bHandshake) {
            Keep(*keyed.insert(keyed.end(), KeyedAck{}), command, 0);
            keyed.back().key = callId;
        }
    }
    ToldCall(callId);
    PushMain(command.data());
}

void CDisplayRenderer::SendCallResult(BYTE result, std::wstring callId) {
    BYTE request = m_nRequestCode;
    BYTE code;
    if (request == kRequestDial || request == kRequestAnswer) {
        code = Cmd::CallState;
    } else if (request == kRequestHangUp) {
        code = Cmd::CallEnded;
    } else {
        return;
    }
    Command command{code, 1, result};
    if (!callId.empty()) {
        command[1] = 3;
        display::PutCallId(callId, &command[3]);
        ToldCall(callId);
    }
    if (m_pOwner->m_bHandshake) {
        std::lock_guard<platform::Mutex> lock(m_ackLock);
        if (callId.empty()) {
            auto& pending = m_pOwner->m_listPendingAcks;
            Keep(*pending.insert(pending.end(), PendingAck{}), command, 1);
        } else {
            auto& keyed = m_pOwner->m_listKeyedAcks;
            Keep(*keyed.insert(keyed.end(), KeyedAck{}), command, 1);
            keyed.back().key = std::move(callId);
        }
    }
    PushMain(command.data());
}

void CDisplayRenderer::SendDtmfDone() {
    Command command{Cmd::DtmfDone, 1, Result::Ok};
    PushMain(command.data());
}

namespace {

// One tick of one list; entries whose tries are used up leave it.
template <class List>
void TickList(List& list, std::vector<Command>& due) {
    for (auto it = list.begin(); it != list.end();) {
        if (++it->ticks < kResendTicks) {
            ++it;
            continue;
        }
        Command command{};
        std::copy_n(it->command.begin(), std::min(command.size(), it->command.size()),
                    command.begin());
        due.push_back(command);
        it->ticks = 0;
        if (it->limited && ++it->tries >= kMaxTries) {
            it = list.erase(it);
            continue;
        }
        ++it;
    }
}

}  // namespace

void CDisplayRenderer::ResendTick() {
    CBridgeView& view = *m_pOwner;
    if (view.m_nProductId == kModel6621 && !view.m_bDeviceReady) return;
    // The pass over both lists is one hold of the lock; the resends are queued
    // after it is released (a full queue logs a line).
    std::vector<Command> due;
    {
        std::lock_guard<platform::Mutex> lock(m_ackLock);
        TickList(view.m_listKeyedAcks, due);
        TickList(view.m_listPendingAcks, due);
    }
    for (Command& command : due) PushMain(command.data());
}

}  // namespace kovado
