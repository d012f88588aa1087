#include "bridge/SearchHandler.h"

#include <mutex>

#include "bridge/SkypeStatus.h"
#include "display/CallIcons.h"
#include "display/CommandBuild.h"
#include "display/DisplayRenderer.h"
#include "platform/Text.h"
#include "transport/Codes.h"

namespace kovado {

namespace {

constexpr BYTE kKindOutgoing = 3;

constexpr BYTE kFocusDownSent = 1;
constexpr BYTE kFocusContact = 2;
constexpr BYTE kFocusNone = 3;
constexpr BYTE kFocusUpSent = 4;

bool Take(std::wstring& text, std::wstring_view part) { return RemoveAll(text, part) > 0; }

// The path's last word is the property asked for; a handle inside the path
// that happens to hold the same word is left alone.
bool EndsWithProperty(const std::wstring& path, std::wstring_view property) {
    if (path.size() <= property.size()) return false;
    std::size_t at = path.size() - property.size();
    return path[at - 1] == L' ' && path.compare(at, property.size(), property) == 0;
}

}  // namespace

CSearchHandler::CSearchHandler(CBridgeView* owner) : m_pOwner(owner) {}

CSearchHandler::~CSearchHandler() = default;

void CSearchHandler::SetFocused(std::wstring handle) {
    std::lock_guard<platform::Mutex> lock(m_lock);
    m_strFocused = std::move(handle);
}

std::wstring CSearchHandler::Focused() {
    std::lock_guard<platform::Mutex> lock(m_lock);
    return m_strFocused;
}

void CSearchHandler::SetQuery(std::wstring path) {
    std::lock_guard<platform::Mutex> lock(m_lock);
    m_strQuery = std::move(path);
}

std::wstring CSearchHandler::Query() {
    std::lock_guard<platform::Mutex> lock(m_lock);
    return m_strQuery;
}

bool CSearchHandler::OnReply(std::wstring text) {
    CBridgeView& view = *m_pOwner;
    CDisplayRenderer& renderer = *view.m_pRenderer;
    const BYTE code = m_nRequestCode;
    const std::wstring query = Query();
    if (Take(text, L"USERS ")) {
        if (code == Evt::SearchContacts) renderer.OnContactList(text);
    } else if (Take(text, L"CALLS ")) {
        if (code == Evt::SearchCalls) {
            renderer.OnCallList(text);
        } else if (code == Evt::SearchMissedCalls) {
            renderer.OnMissedCallList(text);
        }
    } else if (!query.empty() && Take(text, query)) {
        // The reply repeats the path and adds the value.
        std::size_t start = 0;
        while (start < text.size() && display::IsSpace(text[start])) ++start;
        return OnProperty(code, query, text.substr(start));
    } else if (Take(text, L"ERROR ")) {
        renderer.ReplyError(text);
    } else if (Take(text, L"USERSTATUS ")) {
        ReportUserStatus(view, text);
    } else if (Contains(text, L"BTN_RELEASED UP")) {
        if (m_nFocusState == kFocusUpSent) EchoFocused();
    } else if (Contains(text, L"BTN_RELEASED DOWN")) {
        if (m_nFocusState == kFocusDownSent) EchoFocused();
    } else if (Contains(text, L"OPEN CONTACTS")) {
        OnContactsOpened();
    } else if (Take(text, L"CONTACTS FOCUSED ")) {
        std::wstring focused;
        {
            std::lock_guard<platform::Mutex> lock(m_lock);
            m_nFocusState = text.empty() ? kFocusNone : kFocusContact;
            m_strFocused = text;
            focused = m_strFocused;
        }
        renderer.SendFocusedContact(focused);
    } else if (Take(text, L"SKYPEVERSION ")) {
        m_strWork = text;
        view.m_bSkypeNewer = IsNewerSkype(m_strWork);
    }
    return false;
}

bool CSearchHandler::OnProperty(BYTE code, const std::wstring& query, std::wstring value) {
    CBridgeView& view = *m_pOwner;
    CDisplayRenderer& renderer = *view.m_pRenderer;
    switch (code) {
        case Evt::GetContactStatus:
            renderer.SendContactStatus(StatusNumber(value));
            break;
        case Evt::GetCallTime:
            renderer.SendCallTime(value);
            break;
        case Evt::GetMobileNumber:
        case Evt::GetOfficeNumber:
        case Evt::GetHomeNumber:
        case Evt::GetPartnerHandle:
            renderer.ReplyText(value);
            break;
        case Evt::GetDisplayName:
        case Evt::GetNamePicture:
            // An empty display name: ask the full name; both empty: the handle
            // asked about, which the dispatcher left as the renderer's name.
            if (value.empty()) {
                if (AskInstead(L"DISPLAYNAME", L"FULLNAME")) break;
                std::lock_guard<platform::Mutex> lock(renderer.m_lock);
                value = renderer.m_strName;
            }
            if (code == Evt::GetDisplayName) {
                renderer.SendDisplayName(value);
            } else {
                renderer.SendNamePicture(value);
            }
            break;
        case Evt::GetPartnerDisplayName:
            OnHistoryCall(query, value);
            // The chain's replies (a call's STATUS among them) are this
            // handler's own: the router must not pass them on.
            return true;
        default:
            break;
    }
    return false;
}

void CSearchHandler::OnHistoryCall(const std::wstring& query, const std::wstring& value) {
    CDisplayRenderer& renderer = *m_pOwner->m_pRenderer;
    // The first reply carries the partner's name, whatever words it holds.
    if (EndsWithProperty(query, L"PARTNER_DISPNAME")) {
        {
            std::lock_guard<platform::Mutex> lock(renderer.m_lock);
            renderer.m_strName = value;
        }
        AskInstead(L"PARTNER_DISPNAME", L"TYPE");
        return;
    }
    if (Contains(value, L"MISSED")) {
        renderer.SendHistoryPicture(display::kKindMissed);
    } else if (Contains(value, L"INCOMING")) {
        // Received or missed: the call's status tells.
        if (!AskInstead(L"TYPE", L"STATUS")) renderer.SendHistoryPicture(display::kKindIncoming);
    } else if (Contains(value, L"OUTGOING")) {
        renderer.SendHistoryPicture(kKindOutgoing);
    } else {
        renderer.SendHistoryPicture(display::kKindIncoming);
    }
}

bool CSearchHandler::AskInstead(std::wstring_view property, std::wstring_view replacement) {
    std::wstring query;
    {
        std::lock_guard<platform::Mutex> lock(m_lock);
        if (!EndsWithProperty(m_strQuery, property)) return false;
        m_strQuery.replace(m_strQuery.size() - property.size(), property.size(), replacement);
        query = m_strQuery;
    }
    m_strWork = L"GET " + query;
    m_pOwner->SendSkypeCommand(m_strWork, kModeAwaitReply, 1);
    return true;
}

void CSearchHandler::OnContactsOpened() {
    CBridgeView& view = *m_pOwner;
    platform::IClock& clock = *view.m_pPlatform->clock;
    m_bContactsOpened = 1;
    view.m_pRenderer->SendOpenDone();
    clock.Sleep(10);
    // No contact focused yet: a release of each scroll key makes Skype name one.
    if (Focused().empty()) {
        view.SendSkypeCommand(L"btn_released up", kModeNoReply, 1);
        clock.Sleep(5);
        view.SendSkypeCommand(L"btn_released down", kModeNoReply, 1);
    }
}

void CSearchHandler::EchoFocused() {
    std::wstring focused = Focused();
    m_pOwner->m_pRenderer->SendFocusedContact(focused);
    m_pOwner->WriteLog(focused);
}

}  // namespace kovado
