// The reader of the handset's input reports, run by the device loop once per
// pass. An event is a request: it reaches the dispatcher when no other request
// is in progress and is answered busy (or Skype-not-attached) otherwise. A
// text report carries a Skype command the handset wrote itself; a status
// report says whether the handset takes queued commands; the Skype key is
// passed on to Skype.
//
// Everything the handset sends is untrusted: a report whose length byte
// reaches past the bytes read is dropped (a debug report is logged as far as
// it goes), and a text in parts longer than the collection, or one that lost
// a part, is dropped whole.
#pragma once
#include <array>
#include <cstddef>
#include <string>

#include "events/PhoneEventHandler.h"
#include "platform/Types.h"

namespace kovado {

class CBridgeView;

class CDeviceReader {
public:
    explicit CDeviceReader(CBridgeView* owner);
    virtual ~CDeviceReader() = default;
    CDeviceReader(const CDeviceReader&) = delete;
    CDeviceReader& operator=(const CDeviceReader&) = delete;

    // Waits at most 300 ms for one input report and handles it. A read that
    // does not complete in time stays pending for the next call.
    void PollInput();

    static constexpr std::size_t kReportBytes = 65;
    // Longest pass-through text, leaving one byte of m_aText for the NUL.
    static constexpr std::size_t kMaxText = 202;
    static constexpr std::uint32_t kReadWaitMs = 300;
    static constexpr std::uint32_t kSkypeKeyMs = 10;
    static constexpr std::uint32_t kStatusPauseMs = 300;
    static constexpr std::uint32_t kStatusRetryMs = 3000;
    // Unexpected statuses queried again before the queues are emptied.
    static constexpr BYTE kMaxStatusRetries = 2;

    // Fields, in the order of the data model. The completion record, event
    // and byte count of the read live behind platform::IHid::Read.
    BYTE m_nStatusRetries = 0;
    BYTE m_nScrollCount = 0;
    std::array<BYTE, kReportBytes> m_aRequest{};
    std::array<BYTE, kReportBytes> m_aReport{};
    BYTE m_nTextLength = 0;
    std::array<BYTE, kMaxText + 1> m_aText{};
    std::wstring m_strLog;
    // The input report as read, and one spare byte for the NUL that
    // SendSkypeRaw writes after a whole text.
    std::array<BYTE, kReportBytes + 1> m_aInput{};
    CBridgeView* m_pOwner;
    CPhoneEventHandler m_events;

    // Beyond the data model: a text in parts has begun and its last part has
    // not come yet; it has outgrown m_aText, or lost a part that came while
    // another exchange held the conversation, so it will not be sent.
    bool m_bTextOpen = false;
    bool m_bTextTooLong = false;
    bool m_bTextBroken = false;

private:
    void OnEventReport(std::size_t read);
    void OnTextReport();
    // Forgets the text being collected.
    void ForgetText();
    // The open text lost a part: its remaining parts are taken but not sent.
    void DropOpenText();
    void OnDebugReport(std::size_t read);
    void OnStatusReport();
    void OnSkypeKey();
    // Whether the report's length byte (at lengthAt) and the bytes before the
    // data fit in the bytes read.
    bool Fits(std::size_t lengthAt, std::size_t read) const;
    // Logs bytes [from, to] of a report as two lowercase hex digits each.
    void LogHex(const BYTE* report, std::size_t from, std::size_t to);
};

}  // namespace kovado
