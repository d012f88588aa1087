#include "bridge/CallHandler.h"

#include <mutex>

#include "bridge/BridgeView.h"
#include "bridge/SkypeStatus.h"
#include "display/CommandBuild.h"
#include "display/DisplayRenderer.h"
#include "platform/Text.h"
#include "transport/DeviceWriter.h"

namespace kovado {

namespace {

// States of a call entry, and what the handset is told.
constexpr BYTE kPlacing = 0;
constexpr BYTE kRinging = 1;
constexpr BYTE kInProgress = 2;

constexpr BYTE kShowRinging = 4;
constexpr BYTE kShowInProgress = 5;
constexpr BYTE kEndFinished = 7;
constexpr BYTE kEndMissed = 8;
constexpr BYTE kEndRefused = 9;

// Set as the pending request while Skype places a call, so that a failure
// reason is answered as a dial result.
constexpr BYTE kRequestDial = 15;

// Removes every occurrence of part when the text holds it.
bool Take(std::wstring& text, std::wstring_view part) { return RemoveAll(text, part) > 0; }

}  // namespace

CCallHandler::CCallHandler(CBridgeView* owner) : m_pOwner(owner) {}

CCallHandler::~CCallHandler() = default;

bool CCallHandler::FindCall() {
    m_pEntry = nullptr;
    for (CallEntry& entry : m_pOwner->m_listCalls) {
        if (entry.id == m_strCallId) {
            m_pEntry = &entry;
            m_nCallState = entry.state;
            return true;
        }
    }
    return false;
}

void CCallHandler::AddCall(const std::wstring& id, BYTE state) {
    m_pOwner->m_listCalls.push_back(CallEntry{id, state});
    std::lock_guard<platform::Mutex> lock(m_pOwner->m_pRenderer->m_listsLock);
    m_pOwner->m_callIdBook.AddCall(id);
}

void CCallHandler::RemoveCall() {
    auto& calls = m_pOwner->m_listCalls;
    for (auto it = calls.begin(); it != calls.end(); ++it) {
        if (&*it == m_pEntry) {
            {
                std::lock_guard<platform::Mutex> lock(m_pOwner->m_pRenderer->m_listsLock);
                m_pOwner->m_callIdBook.RemoveCall(it->id);
            }
            calls.erase(it);
            break;
        }
    }
    m_pEntry = nullptr;  // never left pointing at a released node
}

void CCallHandler::WakeHandset() {
    CBridgeView& view = *m_pOwner;
    if (!view.m_bDeviceReady && view.m_nProductId == kModel6621) {
        view.m_pWriter->ResetQueues();
        view.WriteStatusQuery();
    }
}

void CCallHandler::OnNotification(std::wstring text) {
    CBridgeView& view = *m_pOwner;
    if (Take(text, L"ERROR ")) {
        m_strWork = display::FirstWord(text);
        view.m_pRenderer->SendCallResult(static_cast<BYTE>(display::ParseInt(m_strWork)),
                                         std::wstring());
    } else if (Take(text, L"USERSTATUS ")) {
        ReportUserStatus(view, text);
    } else if (Take(text, L"SKYPEVERSION ")) {
        m_strWork = text;
        view.m_bSkypeNewer = IsNewerSkype(m_strWork);
    } else if (Take(text, L"CALL ")) {
        if (Take(text, L"FAILUREREASON ")) {
            std::size_t space = text.find(L' ');
            std::wstring id = text.substr(0, space);
            int reason =
                space == std::wstring::npos ? 0 : display::ParseInt(text.substr(space + 1));
            m_strCallId = id;
            if (FindCall()) RemoveCall();
            // Reported also for a call never seen: the handset waits for the result.
            view.m_pRenderer->SendCallResult(static_cast<BYTE>(reason - 96), id);
        } else {
            OnCallStatus(std::move(text));
        }
    }
}

void CCallHandler::OnCallStatus(std::wstring text) {
    CBridgeView& view = *m_pOwner;
    CDisplayRenderer& renderer = *view.m_pRenderer;
    if (Take(text, L" STATUS ROUTING")) {
        WakeHandset();
        renderer.m_nRequestCode = kRequestDial;
        m_strCallId = text;
        m_nCallState = kPlacing;
        // No lookup: a repeated routing status adds a second entry.
        AddCall(text, kPlacing);
    } else if (Take(text, L" STATUS RINGING")) {
        WakeHandset();
        OnRinging(std::move(text));
    } else if (Take(text, L" STATUS EARLYMEDIA")) {
        OnRinging(std::move(text));
    } else if (Take(text, L" STATUS INPROGRESS")) {
        m_strCallId = text;
        if (FindCall() && m_nCallState != kInProgress) {
            m_nCallState = kInProgress;
            m_pEntry->state = kInProgress;
            renderer.SendCallState(text, kShowInProgress);
        }
    } else if (Contains(text, L" DURATION")) {
        // The running duration is not shown.
    } else if (Take(text, L" STATUS FINISHED")) {
        m_strCallId = text;
        if (FindCall() && m_nCallState == kInProgress) {
            RemoveCall();
            renderer.SendCallEnded(text, kEndFinished);
        }
    } else if (Take(text, L" STATUS MISSED")) {
        m_strCallId = text;
        if (FindCall() && (m_nCallState == kPlacing || m_nCallState == kRinging)) {
            RemoveCall();
            renderer.SendCallEnded(text, kEndMissed);
        }
    } else if (Take(text, L" STATUS REFUSED")) {
        m_strCallId = text;
        if (FindCall() && m_nCallState == kRinging) {
            RemoveCall();
            renderer.SendCallEnded(text, kEndRefused);
        }
    } else if (Contains(text, L" STATUS FAILED")) {
        // The entry stays; the handset hears of the failure from its reason.
        view.SendSkypeCommand(L"HOOK ON", kModeNoReply, 2);
    } else if (!m_strPartnerQuery.empty() && Take(text, m_strPartnerQuery)) {
        std::size_t start = 0;
        while (start < text.size() && display::IsSpace(text[start])) ++start;
        renderer.SendCallerName(m_strNewCallId, text.substr(start));
    }
}

void CCallHandler::OnRinging(std::wstring callId) {
    CBridgeView& view = *m_pOwner;
    m_strCallId = callId;
    m_nCallState = kRinging;
    if (!FindCall()) {
        // An incoming call: the handset hears of it with the caller's name.
        // The entry is in the list before the request goes out: a notification
        // about the call that Skype sends while it handles the request finds it.
        AddCall(callId, kRinging);
        m_strNewCallId = callId;
        m_strPartnerQuery = callId + L" PARTNER_HANDLE";
        m_strWork = L"GET CALL " + m_strPartnerQuery;
        view.SendSkypeCommand(m_strWork, kModeNoReply, 1);
        return;
    }
    if (m_nCallState != kRinging) {
        m_nCallState = kRinging;
        m_pEntry->state = kRinging;
        view.m_pRenderer->SendCallState(callId, kShowRinging);
    }
}

}  // namespace kovado
