// Input reports of any length and content through the reader and the event
// dispatcher, for each model and from any conversation state.
#include "fuzz/support/FuzzBridge.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    kovado::fuzz::FuzzBridge::Get();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kovado::fuzz::FuzzBridge::Get().Run(data, size, kovado::fuzz::kHandsetKinds);
    return 0;
}
