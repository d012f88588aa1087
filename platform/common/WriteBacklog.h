// The interrupt writes still going on one device, oldest first, and the rule
// for one more. A device keeps at most kMaxWritesInFlight going; with that
// many, the oldest is given up to kBacklogWaitMs to finish before the new
// report is dropped. A slow handset fed a burst (picture chunks, the parts of
// a text) so takes every report, only later; one that takes nothing costs
// each further report the wait, and its reports are dropped, never silently:
// the caller hears of it.
#pragma once
#include <cstddef>
#include <cstdint>

namespace kovado::platform {

constexpr std::size_t kMaxWritesInFlight = 8;
constexpr std::uint32_t kBacklogWaitMs = 100;

// inFlight: a list of the writes, oldest first; finished(write): true once
// the write is over (the place to collect its result); waitFor(write, ms):
// returns when the write is over or ms have passed. True when there is room
// for one more write.
template <class List, class Finished, class WaitFor>
bool MakeRoomForWrite(List& inFlight, Finished finished, WaitFor waitFor) {
    inFlight.remove_if(finished);
    if (inFlight.size() < kMaxWritesInFlight) return true;
    waitFor(inFlight.front(), kBacklogWaitMs);
    inFlight.remove_if(finished);
    return inFlight.size() < kMaxWritesInFlight;
}

}  // namespace kovado::platform
