#include "events/PhoneEventHandler.h"

#include <algorithm>
#include <mutex>

#include "bridge/BridgeView.h"
#include "bridge/SearchHandler.h"
#include "display/DisplayRenderer.h"
#include "platform/Text.h"
#include "settings/ChipSettings.h"
#include "settings/Settings.h"
#include "transport/Codes.h"
#include "transport/DeviceWriter.h"

namespace kovado {

CPhoneEventHandler::CPhoneEventHandler() : m_strChipFile(kChipSettingsFile) {}

void CPhoneEventHandler::Dispatch(const BYTE* request, std::size_t size) {
    if (!request || size < 3) return;
    // Never past what the caller holds, whatever the length byte says.
    std::size_t carried = std::min<std::size_t>(request[2], size - 3);
    Request r{request[1], request[2], static_cast<BYTE>(carried), request + 3};
    CBridgeView& view = *m_pOwner;
    // The answer builders reply with the code of the request they serve; an
    // acknowledgement answers nothing and leaves them as they are.
    if (r.code != Evt::CommandAck) {
        view.m_pRenderer->m_nRequestCode = r.code;
        view.m_pSearchHandler->m_nRequestCode = r.code;
    }
    Handle(r);
}

void CPhoneEventHandler::Handle(const Request& r) {
    CBridgeView& view = *m_pOwner;
    CDisplayRenderer& renderer = *view.m_pRenderer;
    switch (r.code) {
        case Evt::SearchContacts:
            SearchList(L"search friends", &CBridgeView::m_nContactCount);
            break;
        case Evt::SearchCalls:
            SearchList(L"SEARCH CALLS", &CBridgeView::m_nCallIdCount);
            break;
        case Evt::SearchMissedCalls:
            SearchList(L"search missedcalls", &CBridgeView::m_nMissedCallIdCount);
            break;
        case Evt::GetContacts:
            GetRange(r, &CBridgeView::m_nContactCount, &CDisplayRenderer::SendContactHandles);
            break;
        case Evt::GetCalls:
            GetIdRange(r, &CBridgeView::m_nCallIdCount, &CDisplayRenderer::SendCallIds);
            break;
        case Evt::GetMissedCalls:
            GetIdRange(r, &CBridgeView::m_nMissedCallIdCount,
                       &CDisplayRenderer::SendMissedCallIds);
            break;
        case Evt::GetContactStatus:
            QueryHandle(r, L" ONLINESTATUS");
            break;
        case Evt::GetMobileNumber:
            QueryHandle(r, L" PHONE_MOBILE");
            break;
        case Evt::GetOfficeNumber:
            QueryHandle(r, L" PHONE_OFFICE");
            break;
        case Evt::GetHomeNumber:
            QueryHandle(r, L" PHONE_HOME");
            break;
        case Evt::GetDisplayName:
        case Evt::GetNamePicture: {
            std::wstring handle = Converted(r);
            {
                // The history picture may be drawing the name on another thread.
                std::lock_guard<platform::Mutex> lock(renderer.m_lock);
                renderer.m_strName = handle;
            }
            Query(L"USER " + handle + L" DISPLAYNAME");
            Pause();
            break;
        }
        case Evt::GetPartnerHandle:
            QueryCall(r, L" PARTNER_HANDLE");
            break;
        case Evt::Dial:
            Dial(r);
            break;
        case Evt::Answer:
            Answer(r);
            break;
        case Evt::SendDtmf:
            SendDtmf(r);
            break;
        case Evt::HangUp:
            HangUp(r);
            break;
        case Evt::GetUserStatus:
            if (view.m_nProductId == kModel6621) view.m_bStatusRefresh = 1;
            Send(L"get userstatus", kModeAwaitReply, 1);
            Pause();
            break;
        case Evt::SelectVariant:
            SelectVariant(r);
            break;
        case Evt::GetCallTime:
            QueryCall(r, L" TIMESTAMP");
            break;
        case Evt::CommandAck:
            CommandAck(r);
            break;
        case Evt::ReadChipSettings:
            ReadChipSettings(view, m_strChipFile);
            break;
        case Evt::WriteChipSettings:
            WriteChipSettings(view, r.count, r.data, r.length, m_strChipFile);
            break;
        case Evt::OpenAction:
            OpenAction(r);
            break;
        case Evt::Scroll:
            Scroll(r);
            break;
        case Evt::GetModel:
            GetModel();
            break;
        case Evt::GetPictureChunk:
            renderer.SendPictureChunk(r.At(0));
            break;
        case Evt::GetMenuText:
            renderer.SendMenuText(r.At(0));
            break;
        case Evt::GetUserHandle:
            renderer.SendUserHandle();
            break;
        case Evt::GetPartnerDisplayName:
            QueryCall(r, L" PARTNER_DISPNAME");
            break;
        default:
            // A code without a handler asks nothing: the handset may go on.
            Idle();
            break;
    }
}

// A new search: the old count goes at once, so that a range request before
// Skype's reply finds nothing rather than the previous list.
void CPhoneEventHandler::SearchList(const wchar_t* command, Count count) {
    CBridgeView& view = *m_pOwner;
    {
        std::lock_guard<platform::Mutex> lock(view.m_pRenderer->m_listsLock);
        view.*count = 0;
    }
    Send(command, kModeAwaitReply, 1);
    Pause();
}

// first (2 bytes), count: answered when first + count <= the stored count.
void CPhoneEventHandler::GetRange(const Request& r, Count count, RangeSender send) {
    CBridgeView& view = *m_pOwner;
    CDisplayRenderer& renderer = *view.m_pRenderer;
    int first = r.At(0) << 8 | r.At(1);
    int wanted = r.At(2);
    int stored;
    {
        std::lock_guard<platform::Mutex> lock(renderer.m_listsLock);
        stored = view.*count;
    }
    if (r.length == 3 && first + wanted <= stored)
        (renderer.*send)(first, static_cast<BYTE>(wanted));
    else
        renderer.ReplyNoEntry();
}

// As GetRange; with no ids stored the answer is the request's code without data.
void CPhoneEventHandler::GetIdRange(const Request& r, Count count, RangeSender send) {
    CBridgeView& view = *m_pOwner;
    int stored;
    {
        std::lock_guard<platform::Mutex> lock(view.m_pRenderer->m_listsLock);
        stored = view.*count;
    }
    if (stored == 0) {
        Talvery(r.code, {});
        return;
    }
    GetRange(r, count, send);
}

void CPhoneEventHandler::QueryHandle(const Request& r, const wchar_t* property) {
    Query(L"USER " + Converted(r) + property);
    Pause();
}

void CPhoneEventHandler::QueryCall(const Request& r, const wchar_t* property) {
    Query(L"CALL " + CallOf(r.CallId()) + property);
    Pause();
}

void CPhoneEventHandler::Dial(const Request& r) {
    Main(Cmd::RequestAck, {Evt::Dial});
    Send(L"CALL " + Converted(r), kModeNoReply, 1);
    Pause();
}

void CPhoneEventHandler::Answer(const Request& r) {
    Main(Cmd::RequestAck, {Evt::Answer, r.At(0), r.At(1)});
    Send(L"SET CALL " + CallOf(r.CallId()) + L" STATUS INPROGRESS", kModeNoReply, 1);
    Pause();
}

// The tone's command waits for no reply; the handset hears the end of the
// tone on the main queue.
void CPhoneEventHandler::SendDtmf(const Request& r) {
    std::wstring tone(1, static_cast<wchar_t>(r.At(2)));
    Send(L"SET CALL " + CallOf(r.CallId()) + L" DTMF " + tone, kModeIdle, 1);
    m_pOwner->m_pRenderer->SendDtmfDone();
}

void CPhoneEventHandler::HangUp(const Request& r) {
    if (r.length != 0) {
        Main(Cmd::RequestAck, {Evt::HangUp, r.At(0), r.At(1)});
        Send(L"SET CALL " + CallOf(r.CallId()) + L" STATUS FINISHED", kModeNoReply, 1);
    } else {
        Main(Cmd::RequestAck, {Evt::HangUp});
        Send(L"HOOK ON", kModeNoReply, 1);
    }
    Send(L"minimize", kModeNoReply, 1);
    Pause();
}

// The handset's font variant; from now on the handset asks for the status
// itself, so the periodic status poll stops for good.
void CPhoneEventHandler::SelectVariant(const Request& r) {
    CBridgeView& view = *m_pOwner;
    ApplyHandsetVariant(view, r.At(0));
    UINT timer = view.m_nStatusTimer.exchange(0);
    if (timer != 0) view.m_pPlatform->windows->KillTimer(view.m_hWnd, timer);
    view.m_pRenderer->SendClock();
}

void CPhoneEventHandler::OpenAction(const Request& r) {
    static const wchar_t* const kActions[] = {L"open contacts", L"open dialpad",
                                              L"open callhistory", L"minimize",
                                              L"SET MUTE ON", L"SET MUTE OFF"};
    BYTE action = r.At(0);
    if (action < std::size(kActions)) {
        Send(kActions[action], kModeAwaitReply, 1);
        // The contact window answers when Skype reports it open.
        if (action != 0) m_pOwner->m_pRenderer->SendOpenDone();
    } else {
        Talvery(Evt::OpenAction, {Result::Refused});
    }
    Pause();
}

void CPhoneEventHandler::Scroll(const Request& r) {
    CBridgeView& view = *m_pOwner;
    CSearchHandler& search = *view.m_pSearchHandler;
    switch (r.At(0)) {
        case 0:
            Send(L"btn_released up", kModeAwaitReply, 1);
            break;
        case 1:
            // The first scroll after the contact window opened shows the
            // contact Skype has focused instead of moving on.
            if (search.m_bContactsOpened.exchange(0)) {
                view.m_pRenderer->SendFocusedContact(search.Focused());
            } else {
                Send(L"btn_released down", kModeAwaitReply, 1);
            }
            break;
        default:
            Talvery(Evt::Scroll, {Result::Refused});
            break;
    }
    Pause();
}

void CPhoneEventHandler::GetModel() {
    WORD product = m_pOwner->m_nProductId;
    if (product == kModel6611)
        Talvery(Evt::GetModel, {Result::Ok, 0x00});
    else if (product == kModel6612)
        Talvery(Evt::GetModel, {Result::Ok, 0x01});
    else
        Talvery(Evt::GetModel, {Result::Refused});
}

void CPhoneEventHandler::ReplyBusy(BYTE code) { Talvery(code, {Result::Busy}); }

void CPhoneEventHandler::ReplyNoSkype(BYTE code) { Talvery(code, {Result::NoSkype}); }

void CPhoneEventHandler::ReplyFlushDone() {
    m_pOwner->m_pWriter->ResetQueues();
    Talvery(Cmd::FlushDone, {Result::Ok});
}

std::wstring CPhoneEventHandler::CallOf(unsigned bits) {
    return m_pOwner->m_pRenderer->FullCallId(static_cast<WORD>(bits));
}

std::size_t CPhoneEventHandler::Convert(const Request& r) {
    std::wstring text = FromUtf8(r.data, r.length);
    // A report carries at most 61 bytes: never more units than that.
    std::size_t units = std::min(text.size(), m_szText.size());
    std::copy_n(text.begin(), units, m_szText.begin());
    return units;
}

std::wstring CPhoneEventHandler::Converted(const Request& r) {
    std::size_t units = Convert(r);
    return std::wstring(m_szText.data(), std::find(m_szText.data(), m_szText.data() + units, 0));
}

void CPhoneEventHandler::Query(std::wstring path) {
    m_strCommand = L"GET " + path;
    m_pOwner->m_pSearchHandler->SetQuery(std::move(path));
    Send(m_strCommand, kModeAwaitReply, 1);
}

void CPhoneEventHandler::Send(const std::wstring& text, BYTE mode, BYTE subMode) {
    m_pOwner->SendSkypeCommand(text, mode, subMode);
}

void CPhoneEventHandler::Pause() { m_pOwner->m_pPlatform->clock->Sleep(kPauseMs); }

void CPhoneEventHandler::Talvery(BYTE code, std::initializer_list<BYTE> data) {
    m_aReply.fill(0);
    m_aReply[0] = code;
    m_aReply[1] = static_cast<BYTE>(data.size());
    std::copy(data.begin(), data.end(), m_aReply.begin() + 2);
    m_pOwner->m_pWriter->PushTalvery(m_aReply.data());
}

void CPhoneEventHandler::Main(BYTE code, std::initializer_list<BYTE> data) {
    m_aReply.fill(0);
    m_aReply[0] = code;
    m_aReply[1] = static_cast<BYTE>(data.size());
    std::copy(data.begin(), data.end(), m_aReply.begin() + 2);
    m_pOwner->m_pWriter->PushMain(m_aReply.data(), 0);
}

void CPhoneEventHandler::Idle() { m_pOwner->m_nReplyMode = kModeIdle; }

}  // namespace kovado
