#include "bridge/SkypeStatus.h"

#include <array>
#include <string_view>

#include "bridge/BridgeView.h"
#include "display/DisplayRenderer.h"
#include "platform/Text.h"

namespace kovado {

BYTE StatusNumber(const std::wstring& text) {
    static constexpr std::array<std::wstring_view, 10> kWords{
        L"ONLINE", L"OFFLINE", L"AWAY",    L"NA",       L"DND",
        L"INVISIBLE", L"LOGGEDOUT", L"UNKNOWN", L"SKYPEOUT", L"SKYPEME"};
    for (std::size_t i = 0; i < kWords.size(); ++i)
        if (Contains(text, kWords[i])) return static_cast<BYTE>(i);
    return kStatusOther;
}

void ReportUserStatus(CBridgeView& view, const std::wstring& text) {
    BYTE status = StatusNumber(text);
    if (view.m_nProductId == kModel6621) {
        // Do not disturb must reach the handset even while it is not ready:
        // the refresh flag lets the status through and the query wakes it.
        if (status == kStatusDnd) {
            if (!view.m_bStatusRefresh) {
                view.m_bStatusRefresh = 1;
                view.WriteStatusQuery();
            }
        } else if (view.m_bStatusRefresh) {
            view.WriteStatusQuery();
        }
    }
    view.m_pRenderer->SendUserStatus(status);
    view.SendSkypeCommand(L"get skypeversion", kModeNoReply, 1);
}

namespace {

// Leading blanks skipped, then decimal digits; saturates instead of overflowing.
int ReadNumber(std::wstring_view text, std::size_t& at) {
    while (at < text.size() && (text[at] == L' ' || text[at] == L'\t')) ++at;
    int value = 0;
    for (; at < text.size() && text[at] >= L'0' && text[at] <= L'9'; ++at)
        value = value > 100000 ? value : value * 10 + (text[at] - L'0');
    return value;
}

}  // namespace

BYTE IsNewerSkype(const std::wstring& version) {
    // Major and minor compared as numbers, so that 10.0 counts as newer than 1.4.
    std::size_t at = 0;
    int major = ReadNumber(version, at);
    int minor = 0;
    if (at < version.size() && version[at] == L'.') {
        ++at;
        minor = ReadNumber(version, at);
    }
    return major > 1 || (major == 1 && minor >= 4) ? 1 : 0;
}

}  // namespace kovado
