// Answers to the handset's requests that carry a text, a number or the time.
#include <algorithm>

#include "display/CommandBuild.h"
#include "display/DisplayRenderer.h"
#include "transport/Codes.h"

namespace kovado {

using display::Command;

void CDisplayRenderer::ReplyUtf8(BYTE code, const std::wstring& text) {
    // The Talvery queue passes 45 data bytes: the 0x00 and 44 text bytes, cut
    // where they fall, as the handset would receive them anyway.
    std::string utf8 = ToUtf8(text);
    Command command{};
    command[0] = code;
    command[2] = Result::Ok;
    int length = display::PutBytes(command, 1, utf8.data(),
                                   std::min<std::size_t>(utf8.size(), display::kTalveryData - 1));
    command[1] = static_cast<BYTE>(length);
    PushTalvery(command.data());
}

void CDisplayRenderer::ReplyNoEntry() {
    Command command{};
    command[0] = m_nRequestCode;
    command[1] = 1;
    command[2] = Result::NoEntry;
    PushTalvery(command.data());
}

void CDisplayRenderer::SendContactStatus(BYTE status) {
    Command command{Cmd::ContactStatus, 2, Result::Ok, status};
    PushTalvery(command.data());
}

void CDisplayRenderer::ReplyText(std::wstring text) { ReplyUtf8(m_nRequestCode, text); }

void CDisplayRenderer::ReplyError(std::wstring text) {
    Command command{};
    command[0] = m_nRequestCode;
    command[1] = 1;
    command[2] = static_cast<BYTE>(display::ParseInt(display::FirstWord(text)));
    PushTalvery(command.data());
}

void CDisplayRenderer::SendDisplayName(std::wstring text) { ReplyUtf8(Cmd::DisplayNameText, text); }

void CDisplayRenderer::SendClock() {
    platform::IClock::LocalTime now = m_pOwner->m_pPlatform->clock->Local();
    Command command{Cmd::Clock,
                    4,
                    m_pOwner->m_bSkypeNewer,
                    static_cast<BYTE>(now.hour),
                    static_cast<BYTE>(now.minute),
                    static_cast<BYTE>(now.second)};
    PushTalvery(command.data());
}

void CDisplayRenderer::SendCallTime(std::wstring text) {
    platform::IClock::LocalTime t =
        m_pOwner->m_pPlatform->clock->ToLocal(display::ParseDecimal(text));
    Command command{Cmd::CallTime,
                    6,
                    Result::Ok,
                    static_cast<BYTE>(t.month),
                    static_cast<BYTE>(t.day),
                    static_cast<BYTE>(t.hour),
                    static_cast<BYTE>(t.minute),
                    static_cast<BYTE>(t.second)};
    PushTalvery(command.data());
}

void CDisplayRenderer::SendOpenDone() {
    Command command{Cmd::OpenDone, 1, Result::Ok};
    PushTalvery(command.data());
}

void CDisplayRenderer::SendFocusedContact(std::wstring text) { ReplyUtf8(Cmd::FocusedContact, text); }

void CDisplayRenderer::SendMenuText(BYTE slot) {
    constexpr BYTE kLastSlot = 50;
    constexpr BYTE kUnknownStatusSlot = 7;
    if (slot > kLastSlot) slot = kUnknownStatusSlot;
    // The stored cell pairs up to their terminating zero, never past the slot;
    // 43 of them reach the handset after the 0x00 and the slot.
    Command command{Cmd::MenuText, 0, Result::Ok, slot};
    {
        // A language switch rewrites the table under the settings lock; the
        // copy is taken under it and pushed after it is released.
        std::lock_guard<platform::Mutex> lock(m_pOwner->m_settingsLock);
        const auto& stored = m_pOwner->m_aLcdTexts[slot];
        std::size_t size =
            static_cast<std::size_t>(std::find(stored.begin(), stored.end(), 0) - stored.begin());
        int length = display::PutBytes(command, 2, stored.data(),
                                       std::min<std::size_t>(size, display::kTalveryData - 2));
        command[1] = static_cast<BYTE>(length);
    }
    PushTalvery(command.data());
}

void CDisplayRenderer::SendUserHandle() {
    std::wstring handle = m_pOwner->UserHandle();
    if (!handle.empty()) {
        ReplyUtf8(Cmd::UserHandle, handle);
        return;
    }
    Command command{Cmd::UserHandle, 1, Result::Refused};
    PushTalvery(command.data());
}

}  // namespace kovado
