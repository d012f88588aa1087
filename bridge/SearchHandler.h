// Skype's replies to the handset's browse requests: lists, properties of a
// contact or a call, and the follow-up requests some of them need; also the
// Skype contact window's opening, scroll echoes and focused contact.
#pragma once
#include <string>
#include <string_view>

#include "bridge/BridgeView.h"
#include "platform/Mutex.h"
#include "platform/Types.h"

namespace kovado {

class CSearchHandler {
public:
    explicit CSearchHandler(CBridgeView* owner);
    virtual ~CSearchHandler();
    CSearchHandler(const CSearchHandler&) = delete;
    CSearchHandler& operator=(const CSearchHandler&) = delete;

    // One reply, the handler's own copy (user-interface thread, reply mode 2
    // with sub-mode 1). True when the reply belongs to the history chain of a
    // call: then the router passes it to no other handler.
    bool OnReply(std::wstring text);

    // m_strFocused and m_strQuery are shared with the device thread: every
    // read and write goes through these, under m_lock.
    void SetFocused(std::wstring handle);
    std::wstring Focused();
    void SetQuery(std::wstring path);
    std::wstring Query();

    // Code of the handset request being served (set by the event dispatcher).
    Shared<BYTE> m_nRequestCode{0};
    // The contact window was opened for the handset and no scroll served since.
    Shared<BOOL> m_bContactsOpened{0};
    // 1 a down scroll, 4 an up scroll was sent to Skype; 2 a contact is
    // focused, 3 none is.
    Shared<BYTE> m_nFocusState{0};
    std::wstring m_strFocused;  // the contact focused in Skype's contact window
    std::wstring m_strQuery;    // property path of the pending "GET %s" request
    std::wstring m_strWork;     // the last follow-up request, the version
    CBridgeView* m_pOwner;
    // Around m_strFocused and m_strQuery only; never held while a Skype
    // command or a log line is sent.
    platform::Mutex m_lock;

private:
    // True when the property was the history chain's own.
    bool OnProperty(BYTE code, const std::wstring& query, std::wstring value);
    void OnHistoryCall(const std::wstring& query, const std::wstring& value);
    // Swaps the last property of the pending path and asks Skype for it;
    // false when the path does not end with that property.
    bool AskInstead(std::wstring_view property, std::wstring_view replacement);
    void OnContactsOpened();
    void EchoFocused();
};

}  // namespace kovado
