#include "simulator/harness/DefaultSettings.h"

#include <fstream>
#include <string_view>

#include "simulator/harness/ShippedSettings.h"

namespace kovado::sim {

namespace {

bool Put(const std::filesystem::path& file, std::string_view bytes) {
    std::error_code ignored;
    std::filesystem::create_directories(file.parent_path(), ignored);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

}  // namespace

bool WriteShippedSettings(const std::filesystem::path& dir, bool debug) {
    for (const ShippedFile& file : ShippedSettingsFiles()) {
        std::string_view bytes = file.bytes;
        if (debug && std::string_view(file.path) == "setting/ParameterSetting.cc")
            bytes = ShippedDebugParameters();
        if (!Put(dir / file.path, bytes)) return false;
    }
    return true;
}

}  // namespace kovado::sim
