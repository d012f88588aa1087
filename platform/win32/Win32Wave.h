// The wave devices on Windows, with names from the wide capability records
// (the main program) or the 8-bit ones (the audio device tool).
#pragma once
#include "platform/AnsiWaveDevices.h"
#include "platform/WaveDevices.h"

namespace kovado::platform {

class Win32WaveDevices : public IWaveDevices, public IAnsiWaveDevices {
public:
    UINT InputCount() override;
    UINT OutputCount() override;
    bool InputName(UINT index, std::wstring& name) override;
    bool OutputName(UINT index, std::wstring& name) override;
    bool InputName(UINT index, std::string& name) override;
    bool OutputName(UINT index, std::string& name) override;
};

}  // namespace kovado::platform
