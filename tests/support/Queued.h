// Reads back what waits in the writer's queues, as the commands that were
// pushed (code, length, data), and empties the queue it read.
#pragma once
#include <mutex>
#include <vector>

#include "transport/Codes.h"
#include "transport/DeviceWriter.h"

namespace kovado::test {

inline std::vector<std::vector<BYTE>> TakeQueued(CDeviceWriter& writer, bool mainQueue) {
    std::lock_guard<platform::Mutex> lock(writer.m_lock);
    BYTE& head = mainQueue ? writer.m_nMainHead : writer.m_nTalveryHead;
    BYTE& tail = mainQueue ? writer.m_nMainTail : writer.m_nTalveryTail;
    const auto& slots = mainQueue ? writer.m_aMainSlots : writer.m_aTalverySlots;
    std::vector<std::vector<BYTE>> commands;
    for (BYTE i = head; i != tail;) {
        i = NextQueueIndex(i);
        const auto& slot = slots[i];
        if (slot[1] != ReportType::kCommand) continue;  // a blank report
        std::size_t end = std::min<std::size_t>(4u + slot[3], slot.size());
        commands.emplace_back(slot.begin() + 2, slot.begin() + static_cast<std::ptrdiff_t>(end));
    }
    head = tail = CDeviceWriter::kIndexReset;
    return commands;
}

}  // namespace kovado::test
