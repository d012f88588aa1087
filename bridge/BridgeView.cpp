#include "bridge/BridgeView.h"

#include <cstdio>

#include "bridge/CallHandler.h"
#include "bridge/SearchHandler.h"
#include "discovery/DeviceWatcher.h"
#include "display/DisplayRenderer.h"
#include "platform/Hid.h"
#include "platform/Text.h"
#include "platform/Tray.h"
#include "settings/Settings.h"
#include "shell/AboutBox.h"
#include "shell/DebugDlg.h"
#include "shell/NestedLoop.h"
#include "shell/StatusIcons.h"
#include "transport/DeviceReader.h"
#include "transport/DeviceWriter.h"
#include "transport/Thread.h"

namespace kovado {

CBridgeView::CBridgeView(platform::Services& services) : m_pPlatform(&services) {
    m_arrContacts.resize(1024);
    m_arrUserTexts.resize(10);
    m_arrLanguageTitles.resize(20);
    m_arrLanguageFolders.resize(20);
    m_strUserHandle.clear();
    m_nLanguage = 0;
    m_aDirectReport.fill(0);

    ApplyDefaults(*this);
    LoadParameterSettings(*this);
    if (m_bDebug) {
        m_pDebugDlg = new CDebugDlg(services);
        m_pDebugDlg->m_pOwner = this;
        m_pDebugDlg->Create();
    }
    LoadLanguageList(*this);
    LoadStatusIcons(*this);
    LoadMenuTexts(*this);
    LoadUserTexts(*this);

    m_nMsgAttach = services.windows->RegisterMessage(L"SkypeControlAPIAttach");
    m_nMsgDiscover = services.windows->RegisterMessage(L"SkypeControlAPIDiscover");
    m_tray.m_pOwner = this;

    m_pWatcher = new CDeviceWatcher(this);
    m_pWriter = new CDeviceWriter(this);
    m_pReader = new CDeviceReader(this);
    m_pRenderer = new CDisplayRenderer(this);
    m_pCallHandler = new CCallHandler(this);
    m_pSearchHandler = new CSearchHandler(this);
    m_nReplyMode = kModeIdle;

    StartWorkerThreads();

    if (m_bDebug) {
        wchar_t line[32];
        std::swprintf(line, 32, L"Code Page : %d", services.clock->AnsiCodePage());
        m_strScratch = line;
        WriteLog(m_strScratch);
    }
}

void CBridgeView::StartWorkerThreads() {
    m_pDeviceThread = new CThread();
    m_pDeviceThread->m_pOwner = this;
    m_pWatchThread = new CThread2();
    m_pWatchThread->m_pOwner = this;
    m_pDeviceThread->Start();
    m_pWatchThread->Start();
}

CBridgeView::~CBridgeView() {
    // The loops stop before anything they use goes away.
    if (m_pDeviceThread) m_pDeviceThread->Stop();
    if (m_pWatchThread) m_pWatchThread->Stop();
    delete m_pDeviceThread;
    delete m_pWatchThread;

    platform::DeviceHandle device = m_hDevice.exchange(0);
    if (device && m_pPlatform->hid) m_pPlatform->hid->Close(device);

    delete m_pWatcher;
    delete m_pWriter;
    delete m_pReader;
    delete m_pRenderer;
    delete m_pSearchHandler;
    delete m_pCallHandler;
    delete m_pDebugDlg;  // exists only with debug logging on
    if (m_pPlatform->tray) {
        for (platform::IconHandle icon : {m_hIconOk, m_hIconSkypeFail, m_hIconSkypeMissing,
                                          m_hIconUsbFail})
            if (icon) m_pPlatform->tray->DestroyIcon(icon);
    }
    if (m_hWnd && m_pPlatform->windows->IsWindow(m_hWnd)) m_pPlatform->windows->DestroyWindow(m_hWnd);
}

bool CBridgeView::Create(platform::WindowHandle parent) {
    m_hWnd = m_pPlatform->windows->CreateWindow(this, L"", parent);
    return m_hWnd != 0;
}

std::wstring CBridgeView::UserHandle() {
    std::lock_guard<platform::Mutex> lock(m_userHandleLock);
    return m_strUserHandle;
}

void CBridgeView::SetUserHandle(std::wstring handle) {
    std::lock_guard<platform::Mutex> lock(m_userHandleLock);
    m_strUserHandle = std::move(handle);
}

void CBridgeView::Detach() {
    m_hSkypeWnd = 0;
    SetUserHandle(std::wstring());
}

void CBridgeView::SendCopyData(const void* bytes, std::uint32_t count, BYTE mode, BYTE subMode) {
    m_nReplyMode = mode;
    m_nReplySubMode = subMode;
    platform::CopyData data;
    data.dwData = 0;
    data.cbData = count;
    data.lpData = bytes;
    std::intptr_t result = 0;
    {
        // While it waits for the client, this thread handles what other
        // programs send it, a close request among them: the frame and this
        // view must stay until the send, and its caller, have returned.
        NestedLoop waiting;
        result = m_pPlatform->windows->Send(m_hSkypeWnd.load(), platform::kWmCopyData, m_hWnd,
                                            reinterpret_cast<std::intptr_t>(&data));
    }
    if (result == 0) Detach();
}

void CBridgeView::SendSkypeCommand(std::wstring text, BYTE mode, BYTE subMode) {
    std::string utf8 = ToUtf8(text);
    SendCopyData(utf8.c_str(), static_cast<std::uint32_t>(utf8.size() + 1), mode, subMode);
}

void CBridgeView::SendSkypeRaw(BYTE* bytes, int length, BYTE mode, BYTE subMode) {
    if (length < 0) length = 0;
    bytes[length] = 0;
    SendCopyData(bytes, static_cast<std::uint32_t>(length) + 1, mode, subMode);
}

void CBridgeView::RequestUserHandle() {
    if (UserHandle().empty()) SendSkypeCommand(L"GET CURRENTUSERHANDLE", kModeNoReply, 1);
}

void CBridgeView::WriteLog(std::wstring line) {
    if (!m_bDebug || !m_pDebugDlg) return;
    m_pPlatform->windows->Send(m_pDebugDlg->m_hList, platform::kLbInsertString, 0,
                               reinterpret_cast<std::intptr_t>(line.c_str()));
}

void CBridgeView::OnTimer(std::uint32_t timerId) {
    if (m_hDevice == 0) return;
    if (m_bHandshake) m_pRenderer->ResendTick();
    if (m_bKeepAlive) KeepAliveTick();
    if (timerId == kStatusTimerId) {
        SendSkypeCommand(L"get userstatus", kModeNoReply, 1);
        if (m_nProductId != kModel6621) return;
        m_bStatusRefresh = 1;
    }
    if (m_nProductId == kModel6621 && !m_bStatusAnswered) {
        if (++m_nStatusQueryTicks >= 6) {
            WriteStatusQuery();
            m_nStatusQueryTicks = 0;
        }
    }
}

void CBridgeView::KeepAliveTick() {
    if (++m_nKeepAliveTicks >= 9) {
        m_nKeepAliveTicks = 0;
        m_pWriter->PushMain(nullptr, 1);
    }
}

void CBridgeView::OnShowDebugWindow() {
    if (m_bDebug && m_pDebugDlg) m_pDebugDlg->Show();
}

void CBridgeView::OnCommand(std::uint32_t id) {
    if (id == kCmdShowDebugWindow) {
        OnShowDebugWindow();
    } else if (id == kCmdAbout) {
        RunAboutBox(*this);
    } else if (id >= kCmdLanguageFirst && id <= kCmdLanguageLast) {
        OnLanguageCommand(*this, id);
    }
}

std::intptr_t CBridgeView::WindowProc(std::uint32_t message, std::uintptr_t wParam,
                                      std::intptr_t lParam) {
    if (message == m_nMsgAttach && m_nMsgAttach != 0) {
        OnAttach(wParam, lParam);
        return 1;
    }
    switch (message) {
        case platform::kWmCopyData:
            OnCopyData(static_cast<platform::WindowHandle>(wParam),
                       reinterpret_cast<const platform::CopyData*>(lParam));
            return 1;
        case platform::kWmTimer:
            OnTimer(static_cast<std::uint32_t>(wParam));
            return 0;
        case platform::kWmCommand:
            OnCommand(static_cast<std::uint32_t>(wParam & 0xFFFF));
            return 0;
        case platform::kWmDestroy:
            m_pPlatform->windows->KillTimer(m_hWnd, m_nTickTimer);
            m_pPlatform->windows->PostQuit(0);
            return 0;
        default:
            return 0;
    }
}

}  // namespace kovado
