// The settings folder the product ships: the parameter file, the user and
// handset texts in English, and a second language (German) to switch to.
#pragma once
#include <filesystem>

namespace kovado::sim {

// Writes "setting\..." and "Language\..." under dir; debug switches on the
// debug log in the parameter file. false when a file cannot be written.
bool WriteShippedSettings(const std::filesystem::path& dir, bool debug);

}  // namespace kovado::sim
