// The notification router: every copy-data message that the attached Skype
// window sends to the view is a notification or reply, routed by the
// conversation state.
#include <cstdio>
#include <new>

#include "bridge/BridgeView.h"
#include "bridge/CallHandler.h"
#include "bridge/SearchHandler.h"
#include "platform/Text.h"
#include "transport/DeviceWriter.h"

namespace kovado {

std::intptr_t CBridgeView::OnCopyData(platform::WindowHandle sender,
                                      const platform::CopyData* data) {
    auto& windows = *m_pPlatform->windows;
    // Any program on the desktop can send copy-data to this window; only the
    // one that attached speaks for Skype (it sends from the window its attach
    // message named).
    const platform::WindowHandle skype = m_hSkypeWnd;
    if (skype == 0 || sender != skype) {
        windows.ReplyMessage(0);
        if (m_bDebug) {
            wchar_t line[80];
            std::swprintf(line, 80, L"Copy-data from window %llx ignored: not Skype's",
                          static_cast<unsigned long long>(sender));
            WriteLog(line);
        }
        return 0;
    }

    // The routing's own text: the handlers below may send to Skype, and a
    // notification Skype sends meanwhile is routed inside that send.
    std::wstring text;
    bool decoded = false;
    if (data && (data->lpData || data->cbData == 0)) {
        try {
            const auto* bytes = static_cast<const char*>(data->lpData);
            std::size_t count = 0;
            while (count < data->cbData && bytes[count] != 0) ++count;  // stops at the first NUL
            text = FromUtf8(bytes, count);
            m_strNotification = text;
            decoded = true;
        } catch (const std::bad_alloc&) {
            WriteLog(L"memory create error");
        }
    }
    if (!decoded) {
        windows.ReplyMessage(1);
        return 1;
    }

    if (Contains(text, L"CONNSTATUS LOGGEDOUT")) {
        windows.ReplyMessage(1);
        Detach();
        return 1;
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
        // A reply the search handler keeps as its own goes no further.
        bool own = m_pSearchHandler->OnReply(text);
        if (!own && Contains(text, L"CALL ") && Contains(text, L"STATUS "))
            m_pCallHandler->OnNotification(text);
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
    return 1;
}

}  // namespace kovado
