// The settings folder the product ships (installer/texts/): the parameter
// file, the language list, and the user and handset texts of every shipped
// language, English first.
#pragma once
#include <filesystem>

namespace kovado::sim {

// Writes "setting\..." and "Language\..." under dir; debug switches on the
// debug log in the parameter file. false when a file cannot be written.
bool WriteShippedSettings(const std::filesystem::path& dir, bool debug);

}  // namespace kovado::sim
