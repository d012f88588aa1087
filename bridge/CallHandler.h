// Skype's notifications about calls and the user's own status, turned into
// commands for the handset. Keeps the view's call list so that each change of
// a call is told to the handset once and in order.
#pragma once
#include <string>

#include "bridge/Records.h"
#include "platform/Types.h"

namespace kovado {

class CBridgeView;

class CCallHandler {
public:
    explicit CCallHandler(CBridgeView* owner);
    virtual ~CCallHandler();
    CCallHandler(const CCallHandler&) = delete;
    CCallHandler& operator=(const CCallHandler&) = delete;

    // One notification, the handler's own copy (user-interface thread).
    void OnNotification(std::wstring text);
    // The text after "CALL ": the call id, one property and its value.
    void OnCallStatus(std::wstring text);
    void OnRinging(std::wstring callId);

    std::wstring m_strCallId;      // the call being handled
    BYTE m_nCallState = 0;         // its state, copied from or into its entry
    std::wstring m_strNewCallId;   // the last call first seen ringing
    CallEntry* m_pEntry = nullptr; // the entry found for m_strCallId, or none
    std::wstring m_strPartnerQuery;  // "<id> PARTNER_HANDLE" of m_strNewCallId
    std::wstring m_strWork;        // the last request text, error code, version
    CBridgeView* m_pOwner;

private:
    // Finds the first entry of the call list for m_strCallId into m_pEntry and,
    // when there is one, copies its state.
    bool FindCall();
    // Appends an entry to the call list; the handset may name the call from now on.
    void AddCall(const std::wstring& id, BYTE state);
    // Removes the entry m_pEntry points to from the call list.
    void RemoveCall();
    // The 0x6621 handset, not ready, learns of a call: empty the queues, ask
    // its status.
    void WakeHandset();
};

}  // namespace kovado
