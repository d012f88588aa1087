// Copy-data messages from Skype (any bytes, with or without a NUL, any length)
// through the router into the attach, call and search handlers, from any
// conversation state.
#include "fuzz/support/FuzzBridge.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    kovado::fuzz::FuzzBridge::Get();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kovado::fuzz::FuzzBridge::Get().Run(data, size, kovado::fuzz::kSkypeKinds);
    return 0;
}
