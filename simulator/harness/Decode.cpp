#include "simulator/harness/Decode.h"

#include <cstdio>
#include <map>

#include "platform/Text.h"
#include "transport/Codes.h"

namespace kovado::sim {

namespace {

// clang-format off
const std::map<BYTE, const char*> kCommands = {
    {0x00, "FlushDone"}, {0x01, "ContactCount"}, {0x03, "CallCount"}, {0x04, "MissedCount"},
    {0x05, "ContactHandle"}, {0x07, "CallIds"}, {0x08, "MissedCallIds"}, {0x09, "ContactStatus"},
    {0x0A, "MobileNumber"}, {0x0B, "OfficeNumber"}, {0x0C, "HomeNumber"},
    {0x0D, "DisplayNameText"}, {0x0E, "PartnerHandle"}, {0x11, "CallState"}, {0x12, "DtmfDone"},
    {0x14, "CallEnded"}, {0x15, "CallerName"}, {0x16, "UserStatus"}, {0x17, "Clock"},
    {0x18, "CallTime"}, {0x1A, "RequestAck"}, {0x1B, "ChipSettingsData"},
    {0x1C, "ChipSettingsSaved"}, {0x23, "OpenDone"}, {0x24, "FocusedContact"}, {0x25, "ModelInfo"},
    {0x26, "NamePictureReady"}, {0x27, "PictureChunk"}, {0x28, "MenuText"}, {0x29, "UserHandle"},
    {0x2A, "HistoryPictureReady"}};
// clang-format on

// clang-format off
const std::map<BYTE, const char*> kEvents = {
    {0x00, "Flush"}, {0x01, "SearchContacts"}, {0x03, "SearchCalls"}, {0x04, "SearchMissedCalls"},
    {0x05, "GetContacts"}, {0x07, "GetCalls"}, {0x08, "GetMissedCalls"},
    {0x09, "GetContactStatus"}, {0x0A, "GetMobileNumber"}, {0x0B, "GetOfficeNumber"},
    {0x0C, "GetHomeNumber"}, {0x0D, "GetDisplayName"}, {0x0E, "GetPartnerHandle"}, {0x0F, "Dial"},
    {0x10, "Answer"}, {0x12, "SendDtmf"}, {0x13, "HangUp"}, {0x16, "GetUserStatus"},
    {0x17, "SelectVariant"}, {0x18, "GetCallTime"}, {0x19, "CommandAck"},
    {0x1B, "ReadChipSettings"}, {0x1C, "WriteChipSettings"}, {0x23, "OpenAction"},
    {0x24, "Scroll"}, {0x25, "GetModel"}, {0x26, "GetNamePicture"}, {0x27, "GetPictureChunk"},
    {0x28, "GetMenuText"}, {0x29, "GetUserHandle"}, {0x2A, "GetPartnerDisplayName"}};
// clang-format on

const char* const kStatusWords[] = {"ONLINE",    "OFFLINE",   "AWAY",    "NA",       "DND",
                                    "INVISIBLE", "LOGGEDOUT", "UNKNOWN", "SKYPEOUT", "SKYPEME"};

std::string Format(const char* format, unsigned a, unsigned b = 0, unsigned c = 0) {
    char text[64];
    std::snprintf(text, sizeof text, format, a, b, c);
    return text;
}

std::string NameOf(const std::map<BYTE, const char*>& names, BYTE code) {
    auto it = names.find(code);
    return it != names.end() ? it->second : Format("code 0x%02X", code);
}

std::string StatusWord(BYTE status) {
    return status < 10 ? kStatusWords[status] : Format("other status (%u)", status);
}

std::string ResultName(BYTE result) {
    switch (result) {
        case Result::Refused:
            return "Refused";
        case Result::Busy:
            return "Busy";
        case Result::NoEntry:
            return "NoEntry";
        case Result::NoSkype:
            return "NoSkype";
        default:
            return Format("Skype error %u", result);
    }
}

// The command, event or status body of a report (from its type on): code,
// length and the data the length announces, cut to what the report holds.
struct Body {
    BYTE code = 0;
    std::vector<BYTE> data;
};
Body BodyOf(const std::vector<BYTE>& report) {
    Body body;
    if (report.size() < 3) return body;
    body.code = report[1];
    std::size_t end = std::min<std::size_t>(report.size(), 3u + report[2]);
    body.data.assign(report.begin() + 3, report.begin() + static_cast<long>(end));
    return body;
}

unsigned CallId(const std::vector<BYTE>& d, std::size_t at) {
    return d.size() >= at + 2 ? (unsigned{d[at]} << 8) | d[at + 1] : 0;
}

std::string Quoted(const std::vector<BYTE>& d, std::size_t from) {
    if (from > d.size()) from = d.size();
    return "\"" + ToUtf8(FromUtf8(d.data() + from, d.size() - from)) + "\"";
}

// One byte per character, as text reports to the handset carry them.
std::string Latin1(const std::vector<BYTE>& d, std::size_t from) {
    std::wstring text;
    for (std::size_t i = from; i < d.size(); ++i) text.push_back(static_cast<wchar_t>(d[i]));
    return "\"" + ToUtf8(text) + "\"";
}

// Menu texts travel as cell pairs, "2" and a Latin character for each one.
std::string Cells(const std::vector<BYTE>& d, std::size_t from) {
    std::string text;
    for (std::size_t i = from; i + 1 < d.size(); i += 2)
        text.push_back(
            d[i] == '2' && d[i + 1] >= 0x20 && d[i + 1] < 0x7F ? static_cast<char>(d[i + 1]) : '?');
    return "\"" + text + "\"";
}

std::string CallResult(BYTE result) {
    // A failure reason r travels as r + 0xA0; smaller values are Skype errors.
    return result >= 0xA0 ? Format("failure reason %u", result - 0xA0u)
                          : Format("Skype error %u", result);
}

std::string CallCommand(const Body& b, const char* name) {
    const auto& d = b.data;
    if (d.size() == 4 && d[0] == 0x00) {
        static const std::map<BYTE, const char*> kStates = {
            {4, "ringing"}, {5, "in progress"}, {7, "finished"}, {8, "missed"}, {9, "refused"}};
        auto state = kStates.find(d[3]);
        return std::string(name) + Format(" call %u: ", CallId(d, 1)) +
               (state != kStates.end() ? state->second : Format("state %u", d[3]));
    }
    if (d.size() == 1) return std::string(name) + " result: " + CallResult(d[0]);
    if (d.size() == 3)
        return std::string(name) + Format(" call %u result: ", CallId(d, 1)) + CallResult(d[0]);
    return name;
}

std::string Command(const Body& b) {
    const auto& d = b.data;
    std::string name = NameOf(kCommands, b.code);
    switch (b.code) {
        case Cmd::CallState:
        case Cmd::CallEnded:
            return CallCommand(b, name.c_str());
        case Cmd::UserStatus:
            if (d.size() == 1 && d[0] == Result::NoSkype) return "UserStatus: Skype not available";
            return d.size() >= 2 ? "UserStatus " + StatusWord(d[1]) : name;
        default:
            break;
    }
    // A reply of one result byte to the request of the same code.
    if (d.size() == 1 && d[0] != 0x00 && b.code != Cmd::ChipSettingsData &&
        b.code != Cmd::UserHandle && b.code != Cmd::RequestAck)
        return NameOf(kEvents, b.code) + " answered " + ResultName(d[0]);
    switch (b.code) {
        case Cmd::FlushDone:
            return "FlushDone: both queues emptied";
        case Cmd::ContactCount:
        case Cmd::CallCount:
        case Cmd::MissedCount:
            return name + Format(" %u", CallId(d, 1));
        case Cmd::CallIds:
        case Cmd::MissedCallIds: {
            if (d.size() < 3) return name + ": none stored";
            std::string ids;
            for (std::size_t i = 1; i + 1 < d.size(); i += 2)
                ids += (ids.empty() ? " " : ", ") + std::to_string(CallId(d, i));
            return name + ids;
        }
        case Cmd::ContactStatus:
            return d.size() >= 2 ? name + " " + StatusWord(d[1]) : name;
        case Cmd::ContactHandle:
        case Cmd::MobileNumber:
        case Cmd::OfficeNumber:
        case Cmd::HomeNumber:
        case Cmd::DisplayNameText:
        case Cmd::PartnerHandle:
        case Cmd::FocusedContact:
            return name + " " + Quoted(d, 1);
        case Cmd::CallerName:
            return name + Format(" call %u ", CallId(d, 1)) + Quoted(d, 3);
        case Cmd::Clock:
            return d.size() >= 4 ? name + Format(" %02u:%02u:%02u", d[1], d[2], d[3]) : name;
        case Cmd::CallTime:
            return d.size() >= 6 ? name + Format(" %02u-%02u", d[1], d[2]) +
                                       Format(" %02u:%02u:%02u", d[3], d[4], d[5])
                                 : name;
        case Cmd::RequestAck:
            if (d.empty()) return name;
            return name + " for " + NameOf(kEvents, d[0]) +
                   (d.size() >= 3 ? Format(" call %u", CallId(d, 1)) : "");
        case Cmd::ChipSettingsData:
            return d.size() == 1 ? name + Format(": nothing stored (%u)", d[0])
                                 : name + Format(": %u bytes", static_cast<unsigned>(d.size() - 1));
        case Cmd::ModelInfo:
            return d.size() >= 2 ? name + (d[1] ? ": second model" : ": first model") : name;
        case Cmd::PictureChunk:
            return d.size() >= 2
                       ? name + Format(" %u (rows %u and %u)", d[1], 2u * d[1], 2u * d[1] + 1)
                       : name;
        case Cmd::MenuText:
            return d.size() >= 2 ? name + Format(" slot %u ", d[1]) + Cells(d, 2) : name;
        case Cmd::UserHandle:
            return d.size() == 1 && d[0] == 0x01 ? name + ": not known yet"
                                                 : name + " " + Quoted(d, 1);
        default:
            return name;
    }
}

// A text report from its type on: part flag, count, characters.
std::string TextReport(const std::vector<BYTE>& report, bool toHandset) {
    static const char* const kParts[] = {"whole", "part", "last part"};
    if (report.size() < 3) return "text report";
    std::vector<BYTE> chars(
        report.begin() + 3,
        report.begin() + static_cast<long>(std::min<std::size_t>(report.size(), 3u + report[2])));
    std::string part = report[1] <= 2 ? kParts[report[1]] : "unknown part";
    return std::string(toHandset ? "text to the handset (" : "text from the handset (") + part +
           "): " + (toHandset ? Latin1(chars, 0) : Quoted(chars, 0));
}

std::string Event(const Body& b) {
    const auto& d = b.data;
    std::string name = NameOf(kEvents, b.code);
    switch (b.code) {
        case Evt::GetContacts:
        case Evt::GetCalls:
        case Evt::GetMissedCalls:
            return d.size() == 3 ? name + Format(" from %u, count %u", CallId(d, 0), d[2]) : name;
        case Evt::GetContactStatus:
        case Evt::GetMobileNumber:
        case Evt::GetOfficeNumber:
        case Evt::GetHomeNumber:
        case Evt::GetDisplayName:
        case Evt::GetNamePicture:
        case Evt::Dial:
            return name + " " + Quoted(d, 0);
        case Evt::GetPartnerHandle:
        case Evt::Answer:
        case Evt::GetCallTime:
        case Evt::GetPartnerDisplayName:
            return name + Format(" call %u", CallId(d, 0));
        case Evt::HangUp:
            return d.size() >= 2 ? name + Format(" call %u", CallId(d, 0)) : name;
        case Evt::SendDtmf:
            return d.size() >= 3 ? name + Format(" call %u key %c", CallId(d, 0), d[2]) : name;
        case Evt::SelectVariant:
            return d.empty() ? name
                             : name + (d[0] == 0   ? ": traditional script"
                                       : d[0] == 1 ? ": simplified script"
                                                   : ": unknown script");
        case Evt::CommandAck: {
            if (d.empty()) return name;
            std::string what = name + " of " + NameOf(kCommands, d[0]);
            if (d.size() == 2) return what + Format(" (%02X)", d[1]);
            return d.size() >= 4 ? what + Format(" call %u", CallId(d, 2)) : what;
        }
        case Evt::WriteChipSettings:
            return name + Format(": %u bytes", static_cast<unsigned>(d.size()));
        case Evt::OpenAction: {
            static const char* const kActions[] = {"open contacts",     "open dial pad",
                                                   "open call history", "minimize",
                                                   "mute on",           "mute off"};
            return !d.empty() && d[0] < 6 ? name + ": " + kActions[d[0]] : name;
        }
        case Evt::Scroll:
            return d.empty() ? name : name + (d[0] == 0 ? " up" : d[0] == 1 ? " down" : " ?");
        case Evt::GetPictureChunk:
            return d.empty() ? name : name + Format(" %u", d[0]);
        case Evt::GetMenuText:
            return d.empty() ? name : name + Format(" slot %u", d[0]);
        default:
            return name;
    }
}

std::string StatusReport(const Body& b) {
    const auto& d = b.data;
    switch (b.code) {
        case Status::k01:
            return "status 01: the handset starts up";
        case Status::k02:
            return d.empty() ? "status 02" : Format("status 02: state %02X", d[0]);
        case Status::k04:
            return "status 04: ready";
        case Status::k05:
            return "status 05: not ready";
        case Status::kAA:
            if (d.size() >= 2 && d[0] == 0x0F) {
                switch (d[1]) {
                    case 0x00:
                        return "answer to StatusQuery: link set-up needed";
                    case 0x0F:
                        return "answer to StatusQuery: not ready";
                    case 0x2F:
                        return "answer to StatusQuery: ready";
                    case 0x40:
                        return "answer to StatusQuery: link set-up needed, ready";
                    default:
                        return Format("answer to StatusQuery: %02X", d[1]);
                }
            }
            return "status AA";
        default:
            return Format("status %02X", b.code);
    }
}

}  // namespace

std::string CommandName(BYTE code) {
    return NameOf(kCommands, code);
}
std::string EventName(BYTE code) {
    return NameOf(kEvents, code);
}

std::string DescribeToHandset(const std::vector<BYTE>& report) {
    if (report.empty()) return std::string();
    switch (report[0]) {
        case ReportType::kBlank:
            return "blank report (keep-alive)";
        case ReportType::kCommand:
            return Command(BodyOf(report));
        case ReportType::kTextOut:
            return TextReport(report, true);
        case ReportType::kControl:
            if (report.size() >= 2 && report[1] == Control::StatusQuery)
                return "StatusQuery: ready?";
            if (report.size() >= 2 && report[1] == Control::LinkSetupB) return "LinkSetupB";
            return "control report";
        case ReportType::kControlA:
            return "LinkSetupA";
        default:
            return Format("report type %02X", report[0]);
    }
}

std::string DescribeFromHandset(const std::vector<BYTE>& report) {
    if (report.empty()) return std::string();
    switch (report[0]) {
        case ReportType::kEvent:
            return Event(BodyOf(report));
        case ReportType::kTextIn:
            return TextReport(report, false);
        case ReportType::kDebug:
            return "debug bytes";
        case ReportType::kStatus:
            return StatusReport(BodyOf(report));
        case ReportType::kSkypeKey:
            return "the Skype key";
        default:
            return Format("report type %02X", report[0]);
    }
}

}  // namespace kovado::sim
