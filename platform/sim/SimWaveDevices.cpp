#include "platform/sim/SimWaveDevices.h"

namespace kovado::platform {

namespace {
constexpr std::size_t kNameChars = 31;
}

void SimWaveDevices::SetInputs(std::vector<Device> devices) {
    std::lock_guard<std::mutex> lock(m_sched.StateLock());
    m_inputs = std::move(devices);
}

void SimWaveDevices::SetOutputs(std::vector<Device> devices) {
    std::lock_guard<std::mutex> lock(m_sched.StateLock());
    m_outputs = std::move(devices);
}

bool SimWaveDevices::NameOf(const std::vector<Device>& devices, UINT index, std::wstring& name) {
    if (index >= devices.size() || !devices[index].readable) return false;
    name = devices[index].name.substr(0, kNameChars);
    return true;
}

UINT SimWaveDevices::InputCount() {
    std::lock_guard<std::mutex> lock(m_sched.StateLock());
    return static_cast<UINT>(m_inputs.size());
}

bool SimWaveDevices::InputName(UINT index, std::wstring& name) {
    std::lock_guard<std::mutex> lock(m_sched.StateLock());
    return NameOf(m_inputs, index, name);
}

UINT SimWaveDevices::OutputCount() {
    std::lock_guard<std::mutex> lock(m_sched.StateLock());
    return static_cast<UINT>(m_outputs.size());
}

bool SimWaveDevices::OutputName(UINT index, std::wstring& name) {
    std::lock_guard<std::mutex> lock(m_sched.StateLock());
    return NameOf(m_outputs, index, name);
}

}  // namespace kovado::platform
