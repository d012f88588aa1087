// The dispatcher of the handset's requests. The reader hands over one accepted
// event at a time, with the conversation state already at 1; each handler
// either asks Skype (and the reply is answered later), answers at once on the
// Talvery queue, or both, and so moves the conversation on.
#pragma once
#include <array>
#include <cstddef>
#include <initializer_list>
#include <string>

#include "platform/Types.h"

namespace kovado {

class CBridgeView;
class CDisplayRenderer;

class CPhoneEventHandler {
public:
    CPhoneEventHandler();
    virtual ~CPhoneEventHandler() = default;
    CPhoneEventHandler(const CPhoneEventHandler&) = delete;
    CPhoneEventHandler& operator=(const CPhoneEventHandler&) = delete;

    // request: the event from its report type on (type, code, length, data);
    // size: how many of those bytes the caller holds. A length byte that
    // claims more than that is never read past.
    void Dispatch(const BYTE* request, std::size_t size);

    // Immediate answers of the reader, each pushed on the Talvery queue.
    void ReplyBusy(BYTE code);      // code, 01, B1
    void ReplyNoSkype(BYTE code);   // code, 01, B3
    void ReplyFlushDone();          // both queues emptied, then 00, 01, 00

    // Pause after most handlers: spaces consecutive Skype commands.
    static constexpr std::uint32_t kPauseMs = 5;
    // Conversion buffer of handle and number texts, in UTF-16 units.
    static constexpr std::size_t kTextUnits = 100;

    // Fields, in the order of the data model. The chip settings file is
    // opened and closed inside each exchange by the settings module.
    std::array<wchar_t, kTextUnits> m_szText{};
    std::array<BYTE, 68> m_aReply{};  // code, length, 66 data bytes
    std::wstring m_strChipFile;
    std::wstring m_strCommand;
    CBridgeView* m_pOwner = nullptr;

private:
    // The request being handled: its code, its data and their count.
    struct Request {
        BYTE code;
        BYTE count;   // the length byte as the handset sent it
        BYTE length;  // the data bytes really held
        const BYTE* data;
        // Data byte i, or 0 past the data the request carries.
        BYTE At(std::size_t i) const { return i < length ? data[i] : 0; }
        unsigned CallId() const { return unsigned{At(0)} << 8 | At(1); }
    };

    void Handle(const Request& r);
    // A stored list of the view, its count, and the renderer's sender of a range.
    using Count = int CBridgeView::*;
    using RangeSender = void (CDisplayRenderer::*)(int, BYTE);

    void SearchList(const wchar_t* command, Count count);
    void GetRange(const Request& r, Count count, RangeSender send);
    void GetIdRange(const Request& r, Count count, RangeSender send);
    void QueryHandle(const Request& r, const wchar_t* property);
    void QueryCall(const Request& r, const wchar_t* property);
    void Dial(const Request& r);
    void Answer(const Request& r);
    void SendDtmf(const Request& r);
    void HangUp(const Request& r);
    void SelectVariant(const Request& r);
    void CommandAck(const Request& r);
    void OpenAction(const Request& r);
    void Scroll(const Request& r);
    void GetModel();

    // The Skype id of the call the handset names by these two bytes.
    std::wstring CallOf(unsigned bits);
    // The handset's UTF-8 bytes as UTF-16 in m_szText; returns the units.
    std::size_t Convert(const Request& r);
    // The converted text as a command takes it: up to its first NUL.
    std::wstring Converted(const Request& r);
    void Query(std::wstring path);
    void Send(const std::wstring& text, BYTE mode, BYTE subMode);
    void Pause();
    // m_aReply := code, length, data, pushed on one of the queues.
    void Talvery(BYTE code, std::initializer_list<BYTE> data);
    void Main(BYTE code, std::initializer_list<BYTE> data);
    void Idle();
};

}  // namespace kovado
