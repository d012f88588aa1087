#include "simulator/harness/DefaultSettings.h"

#include <fstream>
#include <string>
#include <vector>

#include "platform/Text.h"

namespace kovado::sim {

namespace {

// The Unicode settings files: UTF-16 little-endian with byte order mark,
// CR LF after every line.
std::string Utf16File(const std::vector<std::string>& lines) {
    std::string bytes = "\xFF\xFE";
    auto unit = [&bytes](unsigned u) {
        bytes.push_back(static_cast<char>(u & 0xFF));
        bytes.push_back(static_cast<char>(u >> 8));
    };
    for (const std::string& line : lines) {
        for (wchar_t c : FromUtf8(line + "\r\n")) {
            auto code = static_cast<unsigned>(c);
            if (code >= 0x10000) {
                unit(0xD800 + ((code - 0x10000) >> 10));
                unit(0xDC00 + ((code - 0x10000) & 0x3FF));
            } else {
                unit(code);
            }
        }
    }
    return bytes;
}

// Handset texts in cell pairs: "2" before each Latin character.
std::string Cells(const std::string& text) {
    std::string cells;
    for (char c : text) {
        cells.push_back('2');
        cells.push_back(c);
    }
    return cells;
}

std::string MenuFile(const std::vector<std::pair<std::string, std::string>>& entries) {
    std::string bytes;
    for (const auto& [key, text] : entries) bytes += key + Cells(text) + "\r\n";
    return bytes;
}

std::vector<std::string> UserTexts(const std::string& connected, const std::string& noSkype,
                                   const std::string& noHandset, const std::string& notInstalled,
                                   const std::string& about, const std::string& exit,
                                   const std::string& selectLanguage,
                                   const std::string& languageLine) {
    return {"#Kovado(s)#" + connected,
            "#Can't Find Skype#" + noSkype,
            "#Can't Find USB Phone#" + noHandset,
            "#Skype isn't installed#" + notInstalled,
            "#About#" + about,
            "#Exit#" + exit,
            "#Select Language#" + selectLanguage,
            "#Kovado(a)#Kovado",
            languageLine};
}

const std::vector<std::pair<std::string, std::string>> kEnglishMenu = {
    {"#CONTACTS#", "CONTACTS"}, {"#MISSLIST#", "MISSLIST"}, {"#CALLLIST#", "CALLLIST"},
    {"#RINGING#", "RINGING"},   {"#TALKING#", "TALKING"},   {"#CALLING#", "CALLING"},
    {"#CALLFAIL#", "CALLFAIL"}, {"#MISSED#", "MISSED"},     {"#OK#", "OK"}};

const std::vector<std::pair<std::string, std::string>> kGermanMenu = {
    {"#CONTACTS#", "KONTAKTE"}, {"#MISSLIST#", "VERPASST"}, {"#CALLLIST#", "ANRUFE"},
    {"#RINGING#", "KLINGELT"},  {"#TALKING#", "GESPRAECH"}, {"#CALLING#", "WAEHLT"},
    {"#CALLFAIL#", "FEHLER"},   {"#MISSED#", "VERPASST"},   {"#OK#", "OK"}};

bool Put(const std::filesystem::path& file, const std::string& bytes) {
    std::error_code ignored;
    std::filesystem::create_directories(file.parent_path(), ignored);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
    return static_cast<bool>(out);
}

}  // namespace

bool WriteShippedSettings(const std::filesystem::path& dir, bool debug) {
    const std::string english = Utf16File(
        UserTexts("Kovado", "Can't Find Skype", "Can't Find USB Phone", "Skype isn't installed",
                  "About", "Exit", "Select Language", "0:English"));
    const std::string german = Utf16File(
        UserTexts("Kovado (verbunden)", "Skype nicht gefunden", "USB-Telefon nicht gefunden",
                  "Skype ist nicht installiert", "Info", "Beenden", "Sprache wählen", "1:German"));
    const std::string parameters =
        Utf16File({std::string("#Debug#") + (debug ? "enable" : "disable"), "#Handshake#enable",
                   "#CTRLpipe#enable", "#VID:0X0E5E#0x0E5E", "#PID:0X6611#0x6611",
                   "#PID:0X6612#0x6612", "#PID:0X6621#0x6621"});
    const std::string languages =
        Utf16File({"[Titles]", "0:English", "1:Deutsch", "[File]", "0:English", "1:German"});
    return Put(dir / "setting" / "ParameterSetting.cc", parameters) &&
           Put(dir / "setting" / "Language.ini", languages) &&
           Put(dir / "setting" / "UserSetting.cc", english) &&
           Put(dir / "setting" / "MenuSetting.cc", MenuFile(kEnglishMenu)) &&
           Put(dir / "Language" / "English" / "UserSetting.cc", english) &&
           Put(dir / "Language" / "English" / "MenuSetting.cc", MenuFile(kEnglishMenu)) &&
           Put(dir / "Language" / "German" / "UserSetting.cc", german) &&
           Put(dir / "Language" / "German" / "MenuSetting.cc", MenuFile(kGermanMenu));
}

}  // namespace kovado::sim
