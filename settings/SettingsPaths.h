// The settings files, relative to the process's current directory.
#pragma once

namespace kovado {

inline constexpr wchar_t kParameterSettingsFile[] = L"setting\\ParameterSetting.cc";
inline constexpr wchar_t kUserTextsFile[] = L"setting\\UserSetting.cc";
inline constexpr wchar_t kMenuTextsFile[] = L"setting\\MenuSetting.cc";
inline constexpr wchar_t kLanguageListFile[] = L"setting\\Language.ini";
inline constexpr wchar_t kChipSettingsFile[] = L"setting\\Talvery.cc";
// A language's two files: kLanguageFolder + folder + one of the file names.
inline constexpr wchar_t kLanguageFolder[] = L"Language\\";
inline constexpr wchar_t kLanguageUserTexts[] = L"\\UserSetting.cc";
inline constexpr wchar_t kLanguageMenuTexts[] = L"\\MenuSetting.cc";

}  // namespace kovado
