// The one window procedure of the backend's windows: it carries the client
// pointer given at creation and turns WM_COPYDATA's COPYDATASTRUCT into the
// core's CopyData.
#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32WindowClass.h"
#include "platform/win32/Win32WindowSystem.h"

namespace kovado::platform {

bool IsClientMessage(std::uint32_t message) {
    switch (message) {
        case WM_DESTROY:
        case WM_CLOSE:  // the client decides whether a close destroys anything
        case WM_COPYDATA:
        case WM_COMMAND:
        case WM_TIMER:
        case LB_INSERTSTRING:
            return true;
        default:
            return message >= WM_USER;  // WM_USER, WM_APP and registered messages
    }
}

namespace {

IWindowClient* ClientOf(HWND hwnd) {
    return reinterpret_cast<IWindowClient*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

LRESULT CALLBACK WindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    if (message == DestroyRequestMessage()) {
        ::DestroyWindow(hwnd);
        return 0;
    }
    IWindowClient* client = ClientOf(hwnd);
    if (message == WM_NCDESTROY) SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    if (!client || !IsClientMessage(message))
        return DefWindowProcW(hwnd, message, wParam, lParam);

    if (message == WM_COPYDATA && lParam != 0) {
        const auto* native = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        CopyData data;
        data.dwData = native->dwData;
        data.cbData = native->cbData;
        data.lpData = native->cbData != 0 ? native->lpData : nullptr;
        return client->WindowProc(message, wParam, reinterpret_cast<std::intptr_t>(&data));
    }
    return client->WindowProc(message, wParam, lParam);
}

}  // namespace

const wchar_t* WindowClassName() {
    static const wchar_t* const name = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = WindowProcedure;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"KovadoDeskLinkWindow";
        RegisterClassExW(&wc);
        return wc.lpszClassName;
    }();
    return name;
}

UINT DestroyRequestMessage() {
    static const UINT message = RegisterWindowMessageW(L"KovadoDeskLinkDestroyWindow");
    return message;
}

}  // namespace kovado::platform
