// The notification router: every copy-data message that reaches the view is a
// Skype notification or reply, routed by the conversation state.
#include <new>

#include "bridge/BridgeView.h"
#include "bridge/CallHandler.h"
#include "bridge/SearchHandler.h"
#include "platform/Text.h"
#include "transport/DeviceWriter.h"

namespace kovado {

void CBridgeView::OnCopyData(platform::WindowHandle, const platform::CopyData* data) {
    auto& windows = *m_pPlatform->windows;
    bool decoded = false;
    if (data && (data->lpData || data->cbData == 0)) {
        try {
            const auto* bytes = static_cast<const char*>(data->lpData);
            std::size_t count = 0;
            while (count < data->cbData && bytes[count] != 0) ++count;  // stops at the first NUL
            m_strNotification = FromUtf8(bytes, count);
            decoded = true;
        } catch (const std::bad_alloc&) {
            WriteLog(L"memory create error");
        }
    }
    if (!decoded) {
        windows.ReplyMessage(1);
        return;
    }

    const std::wstring& text = m_strNotification;
    if (Contains(text, L"CONNSTATUS LOGGEDOUT")) {
        windows.ReplyMessage(1);
        Detach();
        return;
    }
    if (Contains(text, L"CURRENTUSERHANDLE ")) {
        std::wstring handle = text;
        RemoveAll(handle, L"CURRENTUSERHANDLE ");
        SetUserHandle(handle);
        if (!m_bDeviceReady && m_nProductId == kModel6621) {
            m_pWriter->ResetQueues();
            WriteStatusQuery();
        }
    } else if (m_nReplyMode == kModeAwaitReply && m_nReplySubMode == 1) {
        m_pSearchHandler->OnReply(text);
        // The search handler empties the notification when the reply was its own.
        if (Contains(m_strNotification, L"CALL ") && Contains(m_strNotification, L"STATUS "))
            m_pCallHandler->OnNotification(m_strNotification);
    } else if (m_nReplyMode == kModeAwaitReply && m_nReplySubMode == 0) {
        m_pWriter->SendText(text);
        m_nReplyMode = kModeNoReply;
    } else if (m_nReplyMode == kModeAwaitReply) {
        if (Contains(text, L"CALL ") && Contains(text, L"STATUS "))
            m_pCallHandler->OnNotification(text);
    } else if (!Contains(text, L"USER ")) {
        m_pCallHandler->OnNotification(text);
        if (Contains(text, L"CONTACTS FOCUSED ")) {
            std::wstring focused = text;
            RemoveAll(focused, L"CONTACTS FOCUSED ");
            m_pSearchHandler->SetFocused(focused);
        }
    }
    windows.ReplyMessage(1);
}

}  // namespace kovado
