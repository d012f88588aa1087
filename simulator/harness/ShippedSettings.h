// The settings files the product ships, generated at build time from
// installer/texts/ (installer/make_shipped.py): the same bytes the Windows
// package installs.
#pragma once
#include <string_view>
#include <vector>

namespace kovado::sim {

struct ShippedFile {
    const char* path;  // relative, "/" between folders: "setting/UserSetting.cc"
    std::string_view bytes;
};

const std::vector<ShippedFile>& ShippedSettingsFiles();
// "setting/ParameterSetting.cc" with the debug log switched on.
std::string_view ShippedDebugParameters();

}  // namespace kovado::sim
