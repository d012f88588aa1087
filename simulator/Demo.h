// `kovado-sim demo`: the built-in scenario printed for people, every report
// decoded and every picture the handset fetches drawn as text art.
#pragma once
#include <string>

namespace kovado::sim {

// picturesDir: where each picture is also saved as PNG; empty for none.
int RunDemo(const std::string& picturesDir);

}  // namespace kovado::sim
