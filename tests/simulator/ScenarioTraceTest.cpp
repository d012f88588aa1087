// Every scenario under simulator/scenarios runs from start to shutdown, and
// its canonical trace must equal the expected trace beside it (NAME.trace);
// the built-in demo is checked the same way as "demo". With
// KOVADO_UPDATE_TRACES=1 the expected traces are written instead of compared.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "simulator/harness/DemoScript.h"
#include "simulator/harness/ScenarioRun.h"
#include "tests/support/LineDiff.h"

namespace kovado::sim {
namespace {

namespace fs = std::filesystem;

fs::path ScenarioDir() {
    return fs::path(__FILE__).parent_path().parent_path().parent_path() / "simulator" / "scenarios";
}

// Every NAME.scn of the folder; a folder that cannot be listed shows up as a
// failing scenario rather than as no tests at all.
std::vector<std::string> ScenarioNames() {
    std::vector<std::string> names{"demo"};
    std::error_code error;
    fs::directory_iterator entries(ScenarioDir(), error);
    if (error) names.push_back("scenario-folder-not-found");
    for (; !error && entries != fs::directory_iterator(); entries.increment(error))
        if (entries->path().extension() == ".scn") names.push_back(entries->path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

Scenario Load(const std::string& name) {
    Scenario scenario;
    std::string error;
    bool read = name == "demo"
                    ? ParseScenario(DemoScript(), "demo", scenario, error)
                    : LoadScenario((ScenarioDir() / (name + ".scn")).string(), scenario, error);
    EXPECT_TRUE(read) << error;
    return scenario;
}

std::string Trace(const Scenario& scenario) {
    std::string trace, error;
    EXPECT_TRUE(CanonicalTrace(scenario, RunOptions{}, trace, error)) << error;
    return trace;
}

class ScenarioTrace : public ::testing::TestWithParam<std::string> {};

TEST_P(ScenarioTrace, MatchesTheExpectedTrace) {
    const std::string name = GetParam();
    const std::string trace = Trace(Load(name));
    const fs::path expectedFile = ScenarioDir() / (name + ".trace");
    const char* update = std::getenv("KOVADO_UPDATE_TRACES");
    if (update && std::string(update) == "1") {
        std::ofstream(expectedFile, std::ios::binary | std::ios::trunc) << trace;
        return;
    }
    std::ifstream in(expectedFile, std::ios::binary);
    ASSERT_TRUE(in) << expectedFile << " is missing; KOVADO_UPDATE_TRACES=1 writes it";
    const std::string expected(std::istreambuf_iterator<char>(in), {});
    EXPECT_TRUE(trace == expected)
        << "the trace of " << name << ".scn changed (- expected, + now); if the change is "
        << "meant, KOVADO_UPDATE_TRACES=1 rewrites " << expectedFile << ":\n"
        << test::LineDiff(expected, trace);
}

INSTANTIATE_TEST_SUITE_P(Scenarios, ScenarioTrace, ::testing::ValuesIn(ScenarioNames()),
                         [](const auto& info) {
                             std::string id = info.param;
                             std::replace(id.begin(), id.end(), '-', '_');
                             return id;
                         });

// The whole simulation depends on its inputs only: no thread timing, no
// addresses, no leftovers from an earlier run in the same process.
TEST(ScenarioRun, TheSameScenarioGivesTheSameTraceTwice) {
    const Scenario demo = Load("demo");
    const std::string first = Trace(demo);
    const std::string second = Trace(demo);
    EXPECT_FALSE(first.empty());
    EXPECT_TRUE(first == second) << test::LineDiff(first, second);
}

}  // namespace
}  // namespace kovado::sim
