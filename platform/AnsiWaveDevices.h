// The sound devices with their names in 8-bit characters, as the ANSI
// capability records (WAVEINCAPSA, WAVEOUTCAPSA) give them: at most 31 bytes.
#pragma once
#include <string>

#include "platform/Types.h"

namespace kovado::platform {

class IAnsiWaveDevices {
public:
    virtual ~IAnsiWaveDevices() = default;
    virtual UINT InputCount() = 0;
    // False when the device's capabilities cannot be read.
    virtual bool InputName(UINT index, std::string& name) = 0;
    virtual UINT OutputCount() = 0;
    virtual bool OutputName(UINT index, std::string& name) = 0;
};

}  // namespace kovado::platform
