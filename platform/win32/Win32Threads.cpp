#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Threads.h"

#include <memory>

namespace kovado::platform {
namespace {

::DWORD WINAPI ThreadMain(void* parameter) {
    std::unique_ptr<std::function<void()>> body(static_cast<std::function<void()>*>(parameter));
    (*body)();
    return 0;
}

}  // namespace

Win32Threads::~Win32Threads() {
    // Threads nobody joined keep running on their own; only the handles go.
    for (auto& [id, handle] : m_handles) CloseHandle(handle);
}

ThreadId Win32Threads::Start(std::function<void()> body) {
    auto* parameter = new std::function<void()>(std::move(body));
    std::lock_guard<std::mutex> lock(m_lock);
    ::DWORD id = 0;
    HANDLE handle = CreateThread(nullptr, 0, ThreadMain, parameter, 0, &id);
    if (!handle) {
        delete parameter;
        return 0;
    }
    m_handles[static_cast<ThreadId>(id)] = handle;
    return static_cast<ThreadId>(id);
}

void Win32Threads::Join(ThreadId thread) {
    HANDLE handle = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        auto it = m_handles.find(thread);
        if (it == m_handles.end()) return;
        handle = it->second;
        m_handles.erase(it);
    }
    for (;;) {
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        ::DWORD woke = MsgWaitForMultipleObjectsEx(1, &handle, INFINITE, QS_SENDMESSAGE, 0);
        if (woke != WAIT_OBJECT_0 + 1) break;  // ended (or the wait failed)
    }
    CloseHandle(handle);
}

}  // namespace kovado::platform
