#include "tools/audio/AnsiNames.h"

namespace kovado {

namespace {

BYTE FoldLetter(BYTE c) { return (c >= 'A' && c <= 'Z') ? static_cast<BYTE>(c + ('a' - 'A')) : c; }

int Order(BYTE a, BYTE b) { return a < b ? -1 : 1; }

}  // namespace

int CompareNoCase(std::string_view a, std::string_view b, platform::ISystemInfo& system) {
    std::size_t i = 0;
    while (i < a.size() && i < b.size()) {
        BYTE ca = static_cast<BYTE>(a[i]);
        BYTE cb = static_cast<BYTE>(b[i]);
        if (ca == cb && system.IsLeadByte(ca)) {
            // Both strings are at the same two-byte character: its second
            // byte may look like a letter but is compared exactly.
            ++i;
            if (i == a.size() || i == b.size()) {
                break;
            }
            if (a[i] != b[i]) {
                return Order(static_cast<BYTE>(a[i]), static_cast<BYTE>(b[i]));
            }
            ++i;
            continue;
        }
        ca = FoldLetter(ca);
        cb = FoldLetter(cb);
        if (ca != cb) {
            return Order(ca, cb);
        }
        ++i;
    }
    bool aLeft = i < a.size();
    bool bLeft = i < b.size();
    return aLeft == bLeft ? 0 : (aLeft ? 1 : -1);
}

std::string ShortDeviceName(std::string_view name) {
    // "(" and the space never occur as the second byte of a two-byte
    // character, so a plain byte search is safe in every ANSI code page.
    std::size_t open = name.find('(');
    std::string_view rest = open == std::string_view::npos ? name : name.substr(open + 1);
    std::size_t space = rest.find(' ');
    if (space == std::string_view::npos) {
        return {};
    }
    return std::string(rest.substr(0, space));
}

}  // namespace kovado
