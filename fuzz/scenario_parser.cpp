// The scenario file parser of kovado-sim, with any text.
#include <string>

#include "simulator/harness/Scenario.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kovado::sim::Scenario scenario;
    std::string error;
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (kovado::sim::ParseScenario(text, "fuzz.scn", scenario, error)) (void)scenario.EndMs();
    return 0;
}
