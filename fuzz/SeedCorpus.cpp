// Writes the seed corpora of the fuzz targets under OUT_DIR/<target>/:
//   handset, skype  each scenario's canonical trace replayed as records: the
//                   reports and Skype messages in trace order, a tick for
//                   every 50 ms between them, the attach messages
//   settings        each shipped settings file behind its selector byte
//   scenario        each scenario file and the demo's
//   tambrelo        a few names and values of the shapes the installer writes
// Usage: kovado-fuzz-seeds SOURCE_DIR OUT_DIR
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz/support/Records.h"
#include "simulator/harness/DefaultSettings.h"
#include "simulator/harness/DemoScript.h"
#include "simulator/harness/Scenario.h"

namespace fs = std::filesystem;
using kovado::BYTE;
using namespace kovado::fuzz;

namespace {

using Bytes = std::vector<BYTE>;

void Save(const fs::path& file, const Bytes& bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes ReadFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The records of a trace under one target's control bytes.
Bytes TraceRecords(const std::string& trace, BYTE model, const KindMap& map) {
    // Not attached, no user handle: the trace shows how both come.
    Bytes out{static_cast<BYTE>(model | 64), 0};
    auto add = [&](Kind kind, const Bytes& payload, bool counted) {
        out.push_back(ControlOf(map, kind));
        if (counted) out.push_back(static_cast<BYTE>(payload.size()));
        out.insert(out.end(), payload.begin(), payload.end());
    };
    std::istringstream lines(trace);
    std::string line;
    unsigned long long ticked = 0;
    while (std::getline(lines, line)) {
        std::istringstream in(line);
        unsigned long long at = 0;
        std::string tag;
        if (!(in >> at >> tag)) continue;
        for (int ticks = 0; at >= ticked + 50 && ticks < 4; ++ticks) {
            ticked = at;
            add(Kind::Tick, {0}, false);
        }
        std::string rest;
        std::getline(in, rest);
        if (!rest.empty() && rest[0] == ' ') rest.erase(0, 1);
        if (tag == "hid>") {
            Bytes report;
            std::istringstream hex(rest);
            std::string byte;
            while (hex >> byte) report.push_back(static_cast<BYTE>(std::stoul(byte, nullptr, 16)));
            if (report.size() > 255) report.resize(255);
            add(Kind::Report, report, true);
        } else if (tag == "skype>") {
            Bytes text(rest.begin(), rest.end());
            if (text.size() > 255) text.resize(255);
            add(Kind::CopyDataNul, text, true);
        } else if (tag == "attach") {
            int status = std::stoi(rest);
            add(Kind::Attach, {static_cast<BYTE>(status == 0x8001 ? 4 : status)}, false);
        }
    }
    return out;
}

BYTE ModelBits(kovado::WORD model) {
    switch (model) {
        case 0x6611: return 0;
        case 0x6621: return 2;
        default: return 1;
    }
}

void BridgeSeeds(const fs::path& source, const fs::path& out) {
    const fs::path scenarios = source / "simulator" / "scenarios";
    for (const auto& entry : fs::directory_iterator(scenarios)) {
        if (entry.path().extension() != ".trace") continue;
        const std::string name = entry.path().stem().string();
        const Bytes traceBytes = ReadFile(entry.path());
        const std::string trace(traceBytes.begin(), traceBytes.end());
        kovado::sim::Scenario scenario;
        std::string error;
        fs::path scn = scenarios / (name + ".scn");
        if (fs::exists(scn)) kovado::sim::LoadScenario(scn.string(), scenario, error);
        else kovado::sim::ParseScenario(kovado::sim::DemoScript(), "demo", scenario, error);
        const BYTE model = ModelBits(scenario.model);
        Save(out / "handset" / name, TraceRecords(trace, model, kHandsetKinds));
        Save(out / "skype" / name, TraceRecords(trace, model, kSkypeKinds));
    }
}

void SettingsSeeds(const fs::path& out) {
    const fs::path dir = fs::temp_directory_path() / "kovado-fuzz-seeds";
    fs::remove_all(dir);
    kovado::sim::WriteShippedSettings(dir, true);
    const std::pair<BYTE, const char*> files[] = {
        {0, "setting/ParameterSetting.cc"},   {1, "setting/UserSetting.cc"},
        {2, "setting/MenuSetting.cc"},        {3, "setting/Language.ini"},
        {5, "Language/German/UserSetting.cc"}, {6, "Language/German/MenuSetting.cc"},
    };
    for (const auto& [selector, file] : files) {
        Bytes bytes{selector};
        Bytes content = ReadFile(dir / file);
        bytes.insert(bytes.end(), content.begin(), content.end());
        Save(out / "settings" / fs::path(file).filename().concat("-" + std::to_string(selector)), bytes);
    }
    // The handset's own block: a count byte and what follows.
    Save(out / "settings" / "Talvery.cc-4", {4, 6, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66});
    fs::remove_all(dir);
}

void ScenarioSeeds(const fs::path& source, const fs::path& out) {
    for (const auto& entry : fs::directory_iterator(source / "simulator" / "scenarios"))
        if (entry.path().extension() == ".scn")
            Save(out / "scenario" / entry.path().filename(), ReadFile(entry.path()));
    const std::string demo = kovado::sim::DemoScript();
    Save(out / "scenario" / "demo.scn", Bytes(demo.begin(), demo.end()));
}

// options, focus lost after, four values (flag, count, bytes), then the
// input and output names (count, then head and bytes each).
Bytes TambreloSeed(BYTE options, const std::string& in, const std::string& outName,
                   const std::vector<std::string>& inputs, const std::vector<std::string>& outputs) {
    Bytes seed{options, 0};
    auto value = [&](BYTE flag, const Bytes& bytes) {
        seed.push_back(flag);
        seed.push_back(static_cast<BYTE>(bytes.size()));
        seed.insert(seed.end(), bytes.begin(), bytes.end());
    };
    auto text = [](const std::string& s) {
        Bytes bytes(s.begin(), s.end());
        bytes.push_back(0);
        return bytes;
    };
    value(1 << 1, text(in));
    value(1 << 1, text(outName));
    value(4 << 1, {1, 0, 0, 0});
    value(4 << 1, {1, 0, 0, 0});
    for (const auto* names : {&inputs, &outputs}) {
        seed.push_back(static_cast<BYTE>(names->size()));
        for (const std::string& name : *names) {
            seed.push_back(static_cast<BYTE>(name.size() & 31));
            seed.insert(seed.end(), name.begin(), name.begin() + static_cast<long>(name.size() & 31));
        }
    }
    return seed;
}

void TambreloSeeds(const fs::path& out) {
    const std::vector<std::string> inputs{"Microphone (USB Audio Device)", "Line In (Realtek)"};
    const std::vector<std::string> outputs{"Speakers (Realtek High Defini", "Speakers (USB Audio Device)"};
    Save(out / "tambrelo" / "vista-lists", TambreloSeed(4, "USB Audio Device", "USB Audio Device", inputs, outputs));
    Save(out / "tambrelo" / "xp-classic", TambreloSeed(1, "USB Audio Device", "USB Audio Device",
                                                       {"Realtek HD Audio Input", "USB Audio Device"},
                                                       {"Realtek HD Audio output", "USB Audio Device"}));
    Save(out / "tambrelo" / "2000-classic", TambreloSeed(0, "usb audio device", "", {"USB Audio Device"}, {}));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: kovado-fuzz-seeds SOURCE_DIR OUT_DIR\n");
        return 2;
    }
    const fs::path source = argv[1], out = argv[2];
    BridgeSeeds(source, out);
    SettingsSeeds(out);
    ScenarioSeeds(source, out);
    TambreloSeeds(out);
    return 0;
}
