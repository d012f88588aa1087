// A configurable list of sound devices. Names are cut to the 31 characters the
// capability record holds.
#pragma once
#include <string>
#include <vector>

#include "platform/WaveDevices.h"
#include "platform/sim/SimScheduler.h"

namespace kovado::platform {

class SimWaveDevices : public IWaveDevices {
public:
    struct Device {
        std::wstring name;
        bool readable = true;  // false: its capabilities cannot be read
    };

    explicit SimWaveDevices(SimScheduler& scheduler) : m_sched(scheduler) {}

    // Test side: replaces the device lists.
    void SetInputs(std::vector<Device> devices);
    void SetOutputs(std::vector<Device> devices);

    UINT InputCount() override;
    bool InputName(UINT index, std::wstring& name) override;
    UINT OutputCount() override;
    bool OutputName(UINT index, std::wstring& name) override;

private:
    bool NameOf(const std::vector<Device>& devices, UINT index, std::wstring& name);

    SimScheduler& m_sched;
    std::vector<Device> m_inputs;
    std::vector<Device> m_outputs;
};

}  // namespace kovado::platform
