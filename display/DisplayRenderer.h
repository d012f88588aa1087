// The one object that builds every command the handset shows: answers and
// lists on the Talvery queue, name pictures, and call commands on the main
// queue that are sent again until the handset acknowledges them.
#pragma once
#include <array>
#include <string>
#include <vector>

#include "bridge/BridgeView.h"
#include "platform/Mutex.h"
#include "platform/Types.h"

namespace kovado {

class CDisplayRenderer {
public:
    explicit CDisplayRenderer(CBridgeView* owner);
    virtual ~CDisplayRenderer();
    CDisplayRenderer(const CDisplayRenderer&) = delete;
    CDisplayRenderer& operator=(const CDisplayRenderer&) = delete;

    // Texts and lists (Talvery queue).
    void OnContactList(std::wstring text);
    void OnCallList(std::wstring text);
    void OnMissedCallList(std::wstring text);
    void SendContactHandles(int first, BYTE count);
    void SendCallIds(int first, BYTE count);
    void SendMissedCallIds(int first, BYTE count);
    void ReplyNoEntry();
    void SendContactStatus(BYTE status);
    void ReplyText(std::wstring text);
    void ReplyError(std::wstring text);
    void SendDisplayName(std::wstring text);
    void SendClock();
    void SendCallTime(std::wstring text);
    void SendOpenDone();
    void SendFocusedContact(std::wstring text);
    void SendMenuText(BYTE slot);
    void SendUserHandle();

    // Pictures of names (Talvery queue).
    void LoadCallIcons();
    void SendNamePicture(std::wstring text);
    void SendHistoryPicture(BYTE kind);
    void SendPictureChunk(BYTE index);

    // Call commands (main queue), kept until acknowledged while the handshake
    // setting is on.
    void SendUserStatus(BYTE status);
    void SendCallState(std::wstring callId, BYTE state);
    void SendCallEnded(std::wstring callId, BYTE state);
    void SendCallerName(std::wstring callId, std::wstring name);
    void SendCallResult(BYTE result, std::wstring callId);
    void SendDtmfDone();
    void ResendTick();

    // Picture geometry: 128 x 16 one-bit pixels, sent in eight chunks of two rows.
    static constexpr int kPictureWidth = 128;
    static constexpr int kTextWidth = 112;
    static constexpr int kRows = 16;
    static constexpr int kPictureBytes = kPictureWidth / 8 * kRows;  // 256
    static constexpr int kTextBytes = kTextWidth / 8 * kRows;        // 224
    static constexpr int kChunkBytes = 32;
    static constexpr int kChunks = kPictureBytes / kChunkBytes;      // 8
    static constexpr int kIconRows = 15;

    // A name set by the event dispatcher or the search handler; the history
    // picture draws it. Write it under m_lock when another thread may draw.
    std::wstring m_strName;
    // Code of the handset request being answered.
    Shared<BYTE> m_nRequestCode{0};

    // Drawing resources: the blank used to clear, the picture and text
    // bitmaps being drawn, the three call icons (16 x 15, two bytes a row),
    // and the last finished picture the handset fetches in chunks.
    std::array<BYTE, kPictureBytes> m_abBlank{};
    std::array<BYTE, kPictureBytes> m_abPictureBitmap{};
    std::array<BYTE, kTextBytes> m_abTextBitmap{};
    std::array<BYTE, kIconRows * 2> m_abIconIncoming{};
    std::array<BYTE, kIconRows * 2> m_abIconMissed{};
    std::array<BYTE, kIconRows * 2> m_abIconOutgoing{};
    std::array<BYTE, kPictureBytes> m_abPicture{};

    CBridgeView* m_pOwner;

    // The renderer lock: the drawing resources and m_abPicture, from the
    // first pixel drawn until the picture is published, and while a chunk is
    // copied out. Never held while a command is queued.
    platform::Mutex m_lock;
    // The stored lists of the view (contacts, call ids, missed call ids) and
    // their counts: a reader sees a list and its count whole.
    platform::Mutex m_listsLock;
    // Both acknowledgement lists of the view (m_listKeyedAcks, m_listPendingAcks):
    // each add or replace, a whole ResendTick pass, each acknowledgement match
    // and removal. The writer's lock may be taken inside it, never around it.
    platform::Mutex m_ackLock;

    // The full Skype id of the call the handset names by two bytes (the
    // view's call id book, under the list lock).
    std::wstring FullCallId(WORD bits);
    // The handset is being told about this call.
    void ToldCall(const std::wstring& callId);

private:
    // One stored id list of the view: its 16-bit ids, their full ids, its count.
    struct IdList {
        std::array<WORD, 65536>& ids;
        std::vector<std::uint64_t>& full;
        int& count;
    };
    IdList CallList();
    IdList MissedCallList();
    void OnIdList(std::wstring text, BYTE code, IdList list);
    void SendIdRange(int first, BYTE count, BYTE code, IdList list);
    void ReplyUtf8(BYTE code, const std::wstring& text);
    void PushTalvery(BYTE* command);
    void PushMain(const BYTE* command);
    void DrawText(const std::wstring& text, int width, BYTE* bits);
    // Draws the history picture and publishes it, under m_lock.
    void DrawHistoryPicture(BYTE kind);
    void AnnouncePicture(BYTE readyCode);
    void SendKeyed(BYTE code, std::wstring callId, BYTE state, BOOL limited);
};

}  // namespace kovado
