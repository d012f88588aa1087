// Every code of the handset protocol in one place: report types, command codes
// (to the handset), reply forms, event codes (from the handset), status codes
// and control codes.
#pragma once
#include "platform/Types.h"

namespace kovado {

// Report types (byte 1 of every report).
namespace ReportType {
constexpr BYTE kBlank = 0x00;
constexpr BYTE kEvent = 0x01;      // from the handset
constexpr BYTE kCommand = 0x02;    // to the handset
constexpr BYTE kTextIn = 0x03;     // from the handset
constexpr BYTE kTextOut = 0x04;    // to the handset
constexpr BYTE kDebug = 0x05;      // from the handset
constexpr BYTE kControl = 0x08;    // to the handset
constexpr BYTE kStatus = 0x09;     // from the handset
constexpr BYTE kControlA = 0x0C;   // to the handset
constexpr BYTE kSkypeKey = 0x0F;   // from the handset
}  // namespace ReportType

// Part flags of text reports.
constexpr BYTE kTextWhole = 0;
constexpr BYTE kTextPart = 1;
constexpr BYTE kTextLast = 2;

// Command codes, to the handset.
namespace Cmd {
constexpr BYTE FlushDone = 0x00;
constexpr BYTE ContactCount = 0x01;
constexpr BYTE CallCount = 0x03;
constexpr BYTE MissedCount = 0x04;
constexpr BYTE ContactHandle = 0x05;
constexpr BYTE CallIds = 0x07;
constexpr BYTE MissedCallIds = 0x08;
constexpr BYTE ContactStatus = 0x09;
constexpr BYTE MobileNumber = 0x0A;
constexpr BYTE OfficeNumber = 0x0B;
constexpr BYTE HomeNumber = 0x0C;
constexpr BYTE DisplayNameText = 0x0D;
constexpr BYTE PartnerHandle = 0x0E;
constexpr BYTE CallState = 0x11;
constexpr BYTE DtmfDone = 0x12;
constexpr BYTE CallEnded = 0x14;
constexpr BYTE CallerName = 0x15;
constexpr BYTE UserStatus = 0x16;
constexpr BYTE Clock = 0x17;
constexpr BYTE CallTime = 0x18;
constexpr BYTE RequestAck = 0x1A;
constexpr BYTE ChipSettingsData = 0x1B;
constexpr BYTE ChipSettingsSaved = 0x1C;
constexpr BYTE OpenDone = 0x23;
constexpr BYTE FocusedContact = 0x24;
constexpr BYTE ModelInfo = 0x25;
constexpr BYTE NamePictureReady = 0x26;
constexpr BYTE PictureChunk = 0x27;
constexpr BYTE MenuText = 0x28;
constexpr BYTE UserHandle = 0x29;
constexpr BYTE HistoryPictureReady = 0x2A;
}  // namespace Cmd

// Result bytes: the first data byte of a reply.
namespace Result {
constexpr BYTE Ok = 0x00;
constexpr BYTE Refused = 0x01;
constexpr BYTE Busy = 0xB1;
constexpr BYTE NoEntry = 0xB2;
constexpr BYTE NoSkype = 0xB3;
}  // namespace Result

// Event codes, from the handset.
namespace Evt {
constexpr BYTE Flush = 0x00;
constexpr BYTE SearchContacts = 0x01;
constexpr BYTE SearchCalls = 0x03;
constexpr BYTE SearchMissedCalls = 0x04;
constexpr BYTE GetContacts = 0x05;
constexpr BYTE GetCalls = 0x07;
constexpr BYTE GetMissedCalls = 0x08;
constexpr BYTE GetContactStatus = 0x09;
constexpr BYTE GetMobileNumber = 0x0A;
constexpr BYTE GetOfficeNumber = 0x0B;
constexpr BYTE GetHomeNumber = 0x0C;
constexpr BYTE GetDisplayName = 0x0D;
constexpr BYTE GetPartnerHandle = 0x0E;
constexpr BYTE Dial = 0x0F;
constexpr BYTE Answer = 0x10;
constexpr BYTE SendDtmf = 0x12;
constexpr BYTE HangUp = 0x13;
constexpr BYTE GetUserStatus = 0x16;
constexpr BYTE SelectVariant = 0x17;
constexpr BYTE GetCallTime = 0x18;
constexpr BYTE CommandAck = 0x19;
constexpr BYTE ReadChipSettings = 0x1B;
constexpr BYTE WriteChipSettings = 0x1C;
constexpr BYTE OpenAction = 0x23;
constexpr BYTE Scroll = 0x24;
constexpr BYTE GetModel = 0x25;
constexpr BYTE GetNamePicture = 0x26;
constexpr BYTE GetPictureChunk = 0x27;
constexpr BYTE GetMenuText = 0x28;
constexpr BYTE GetUserHandle = 0x29;
constexpr BYTE GetPartnerDisplayName = 0x2A;
}  // namespace Evt

// Status codes of status reports, from the handset.
namespace Status {
constexpr BYTE k01 = 0x01;
constexpr BYTE k02 = 0x02;
constexpr BYTE k04 = 0x04;
constexpr BYTE k05 = 0x05;
constexpr BYTE kAA = 0xAA;
}  // namespace Status

// Control reports, written outside the queues: report type and control code.
namespace Control {
constexpr BYTE LinkSetupAType = ReportType::kControlA;
constexpr BYTE LinkSetupA = 0x00;
constexpr BYTE LinkSetupBType = ReportType::kControl;
constexpr BYTE LinkSetupB = 0x41;
constexpr BYTE StatusQueryType = ReportType::kControl;
constexpr BYTE StatusQuery = 0x0F;
}  // namespace Control

}  // namespace kovado
