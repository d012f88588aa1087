// The hub of the bridge: owns every long-lived object, holds the state they
// share, and is the one place where Skype commands leave the program and
// Skype notifications enter it.
#pragma once
#include <array>
#include <atomic>
#include <list>
#include <string>
#include <vector>

#include "bridge/CallIdBook.h"
#include "bridge/Records.h"
#include "platform/Mutex.h"
#include "platform/Services.h"
#include "platform/Types.h"
#include "shell/SystemTray.h"

namespace kovado {

class CDisplayRenderer;
class CCallHandler;
class CSearchHandler;
class CDeviceReader;
class CDeviceWriter;
class CDeviceWatcher;
class CDebugDlg;
class CThread;
class CThread2;

// A field read and written by several threads without a lock: the last writer
// wins, as with the plain bytes of the original design, but without a data race.
template <class T>
using Shared = std::atomic<T>;

// Conversation state values of m_nReplyMode.
enum ReplyMode : BYTE {
    kModeIdle = 0,
    kModeHandsetRequest = 1,
    kModeAwaitReply = 2,
    kModeNoReply = 3,
};

constexpr WORD kModel6611 = 0x6611;
constexpr WORD kModel6612 = 0x6612;
constexpr WORD kModel6621 = 0x6621;

constexpr std::uint32_t kTickTimerId = 0;
constexpr std::uint32_t kStatusTimerId = 1;
constexpr std::uint32_t kCmdShowDebugWindow = 32772;
constexpr std::uint32_t kCmdAbout = 142;
constexpr std::uint32_t kCmdLanguageFirst = 200;
constexpr std::uint32_t kCmdLanguageLast = 219;

class CBridgeView : public platform::IWindowClient {
public:
    explicit CBridgeView(platform::Services& services);
    ~CBridgeView() override;
    CBridgeView(const CBridgeView&) = delete;
    CBridgeView& operator=(const CBridgeView&) = delete;

    // Creates the view's window as a child of the frame's window.
    bool Create(platform::WindowHandle parent);

    void SendSkypeCommand(std::wstring text, BYTE mode, BYTE subMode);
    // bytes must have room for length + 1: the NUL is written after the text.
    void SendSkypeRaw(BYTE* bytes, int length, BYTE mode, BYTE subMode);
    void WriteLog(std::wstring line);
    void RequestUserHandle();

    // Control reports written outside the queues.
    void WriteStatusQuery();
    void WriteLinkSetupA();
    void WriteLinkSetup();

    // The transport set-up of each handset model, run by discovery before the
    // handle is published.
    void SetModel6611();
    void SetModel6612();
    void SetModel6621();

    std::intptr_t WindowProc(std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam) override;
    // A notification or reply from Skype, routed by the conversation state.
    // Only the attached Skype window is heard: copy-data from any other
    // sender, or before an attach, is answered 0 and not routed. Returns the
    // answer (1 for Skype's own). Each routing works on its own copy of the
    // text, so a notification handled inside one of the router's sends
    // cannot change what the outer routing still tests.
    std::intptr_t OnCopyData(platform::WindowHandle sender, const platform::CopyData* data);
    void OnTimer(std::uint32_t timerId);
    void KeepAliveTick();
    void OnCommand(std::uint32_t id);
    void OnShowDebugWindow();
    void OnAttach(std::uintptr_t wParam, std::intptr_t lParam);

    std::wstring UserHandle();  // a copy taken under the user-handle lock

    // Fields, in the order of the data model.
    BYTE m_bJapanese = 0;
    BYTE m_nChineseTIndex = 0xFF;
    BYTE m_nChineseSIndex = 0xFF;
    BYTE m_nLanguageTitleCount = 0;
    BOOL m_bCtrlPipe = 1;
    Shared<BYTE> m_nChineseVariant{0xFF};
    BYTE m_nLanguage = 0;
    std::vector<std::wstring> m_arrContacts;
    std::array<WORD, 65536> m_aCallIds{};
    std::vector<std::wstring> m_arrLanguageTitles;
    std::vector<std::wstring> m_arrLanguageFolders;
    BOOL m_bHandshake = 1;
    std::wstring m_strUserHandle;
    Shared<BYTE> m_nStatusQueryTicks{0};
    Shared<BOOL> m_bStatusAnswered{0};
    Shared<BOOL> m_bStatusRefresh{0};
    platform::IconHandle m_hIconOk = 0;
    platform::IconHandle m_hIconSkypeFail = 0;
    platform::IconHandle m_hIconSkypeMissing = 0;
    platform::IconHandle m_hIconUsbFail = 0;
    Shared<BYTE> m_nReportLength{0};
    std::array<std::array<BYTE, 65>, 64> m_aLcdTexts{};
    std::vector<std::wstring> m_arrUserTexts;
    Shared<BYTE> m_bSkypeNewer{0};
    std::wstring m_strScratch;
    std::array<BYTE, 65> m_aDirectReport{};
    Shared<BOOL> m_bDeviceReady{0};
    Shared<BOOL> m_bKeepAlive{0};
    Shared<BYTE> m_nKeepAliveTicks{0};
    Shared<UINT> m_nStatusTimer{0};
    UINT m_nTickTimer = 0;
    std::list<PendingAck> m_listPendingAcks;
    std::list<KeyedAck> m_listKeyedAcks;
    std::list<CallEntry> m_listCalls;
    std::array<WORD, 65536> m_aMissedCallIds{};
    int m_nCallIdCount = 0;
    int m_nMissedCallIdCount = 0;
    int m_nContactCount = 0;
    CDisplayRenderer* m_pRenderer = nullptr;
    CCallHandler* m_pCallHandler = nullptr;
    CSearchHandler* m_pSearchHandler = nullptr;
    Shared<BYTE> m_nReplyMode{0};
    Shared<BYTE> m_nReplySubMode{0};
    CDeviceReader* m_pReader = nullptr;
    CDeviceWriter* m_pWriter = nullptr;
    CDeviceWatcher* m_pWatcher = nullptr;
    CDebugDlg* m_pDebugDlg = nullptr;
    Shared<platform::WindowHandle> m_hSkypeWnd{0};
    UINT m_nMsgDiscover = 0;
    UINT m_nMsgAttach = 0;
    Shared<platform::DeviceHandle> m_hDevice{0};
    WORD m_nVendorId = 0x0E5E;
    WORD m_nPid6611 = kModel6611;
    WORD m_nPid6612 = kModel6612;
    WORD m_nPid6621 = kModel6621;
    Shared<WORD> m_nProductId{0};
    std::wstring m_strNotification;  // the last notification decoded
    BOOL m_bDebug = 0;
    CThread* m_pDeviceThread = nullptr;
    CThread2* m_pWatchThread = nullptr;
    CSystemTray m_tray;

    // Beyond the data model: the services this process runs on, the view's
    // own window, the lock around m_strUserHandle, the lock that keeps a
    // close of m_hDevice from overlapping a read or write of the device loop,
    // and the settings lock: it guards m_arrUserTexts, m_aLcdTexts and
    // m_nLanguage, is held for a whole language switch, and is taken by every
    // reader of those texts while it copies one.
    platform::Services* m_pPlatform;
    platform::WindowHandle m_hWnd = 0;
    // Quick replies ("#QuickReply#" "enable"): a report queued for the handset
    // ends the device loop's read wait at once. Set before the loops start.
    BOOL m_bQuickReply = 0;
    platform::Mutex m_userHandleLock;
    platform::Mutex m_deviceLock;
    platform::Mutex m_settingsLock;
    // Beside the 16-bit stored lists, their full ids (0 where the 16 bits say
    // it all), and the book that leads the handset's two bytes back to a full
    // call id. All three are guarded by the renderer's list lock.
    std::vector<std::uint64_t> m_aCallIdsFull;
    std::vector<std::uint64_t> m_aMissedCallIdsFull;
    CallIdBook m_callIdBook;

private:
    void StartWorkerThreads();
    void SetUserHandle(std::wstring handle);
    void Detach();
    void SendCopyData(const void* bytes, std::uint32_t count, BYTE mode, BYTE subMode);
};

}  // namespace kovado
