#pragma once
#include <string>

#include "platform/Types.h"

namespace kovado::platform {

// The sound devices, by index, with their names as the capability records
// give them (at most 31 characters).
class IWaveDevices {
public:
    virtual ~IWaveDevices() = default;
    virtual UINT InputCount() = 0;
    virtual bool InputName(UINT index, std::wstring& name) = 0;
    virtual UINT OutputCount() = 0;
    virtual bool OutputName(UINT index, std::wstring& name) = 0;
};

}  // namespace kovado::platform
