// Tambrelo's registry values and sound device names, of any bytes and sizes,
// through the whole job on every Windows version's path. The seams are the
// test stand-ins: a registry that keeps to the Windows contract (a value
// larger than the buffer is not copied), wave names of at most 31 bytes.
#include <string>
#include <vector>

#include "tests/tools/ToolFakes.h"
#include "tools/audio/TambreloDlg.h"

namespace {

using namespace kovado;

struct Cursor {
    const BYTE* data;
    std::size_t size;
    std::size_t pos = 0;
    BYTE Byte() { return pos < size ? data[pos++] : 0; }
    std::vector<BYTE> Bytes(std::size_t n) {
        n = std::min(n, size - pos);
        std::vector<BYTE> bytes(data + pos, data + pos + n);
        pos += n;
        return bytes;
    }
};

struct Version {
    DWORD major, minor;
};
constexpr Version kVersions[] = {{5, 0}, {5, 1}, {5, 2}, {6, 0}, {6, 1}, {10, 0}, {4, 0}, {5, 7}};

// A value: flag (bit 0 absent, the rest its type), count, bytes.
void PutValue(Cursor& in, std::map<std::string, fakes::RegValue>& key, const char* name) {
    BYTE flag = in.Byte();
    BYTE count = in.Byte();
    fakes::RegValue value{static_cast<DWORD>(flag >> 1), in.Bytes(count)};
    if (!(flag & 1)) key[name] = std::move(value);
}

// Names: a count, then each as a byte (bit 7 unreadable, bits 0-4 length) and
// its bytes.
std::vector<std::string> Names(Cursor& in) {
    std::vector<std::string> names(in.Byte() % 9);
    for (std::string& name : names) {
        BYTE head = in.Byte();
        std::vector<BYTE> bytes = in.Bytes(head & 31);
        name = (head & 128) ? fakes::FakeWave::kUnreadable : std::string(bytes.begin(), bytes.end());
    }
    return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Cursor in{data, size};
    const BYTE options = in.Byte();
    const BYTE focusLostAfter = in.Byte();

    fakes::EventLog log;
    fakes::FakeSystem system;
    fakes::FakeRegistry registry;
    fakes::FakeWave wave;
    fakes::FakeClock clock(log);
    fakes::FakeKeys keys(log);
    fakes::FakeProcess process(log, &keys);

    const Version version = kVersions[options & 7];
    system.m_major = version.major;
    system.m_minor = version.minor;
    system.m_bVersionOk = !(options & 8);
    system.m_bShiftJis = options & 16;
    if (options & 32) process.m_result = 2;
    if (focusLostAfter) keys.m_focusLostAfter = focusLostAfter;

    auto& product = registry.Key(platform::RegRoot::LocalMachine, "SOFTWARE\\KOVADO");
    PutValue(in, product, "DefaultInDevice");
    PutValue(in, product, "DefaultOutDevice");
    auto& panel = registry.Key(platform::RegRoot::CurrentUser,
                               "Software\\Microsoft\\Multimedia\\Audio\\DeviceCpl");
    PutValue(in, panel, "ShowDisconnectedDevices");
    PutValue(in, panel, "ShowHiddenDevices");
    if (options & 64) registry.m_keys.erase({platform::RegRoot::LocalMachine, "software\\kovado"});
    if (options & 128)
        registry.m_keys.erase({platform::RegRoot::CurrentUser,
                               "software\\microsoft\\multimedia\\audio\\devicecpl"});
    wave.m_inputs = Names(in);
    wave.m_outputs = Names(in);

    TambreloServices services;
    services.system = &system;
    services.registry = &registry;
    services.wave = &wave;
    services.keys = &keys;
    services.process = &process;
    services.clock = &clock;
    CTambreloDlg dialog(services);
    dialog.DoJob();
    return 0;
}
