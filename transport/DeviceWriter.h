// The writer of reports to the handset. Stand-in until the queues exist: it
// records what it was asked to do.
#pragma once
#include <string>
#include <vector>

#include "platform/Types.h"

namespace kovado {

class CBridgeView;

class CDeviceWriter {
public:
    explicit CDeviceWriter(CBridgeView* owner) : m_pOwner(owner) {}
    virtual ~CDeviceWriter() = default;

    void PushMain(const BYTE* command, BOOL blank);
    // May lower the length byte (command[1]) in the caller's buffer.
    void PushTalvery(BYTE* command);
    void FlushQueues();
    void ResetQueues();
    void SendText(std::wstring text);

    CBridgeView* m_pOwner;
    int m_nBlankPushes = 0;
    int m_nResets = 0;
    std::vector<std::wstring> m_sentTexts;
    // Every command pushed (code, length, data), in order; a blank push is
    // not recorded here.
    std::vector<std::vector<BYTE>> m_mainPushed;
    std::vector<std::vector<BYTE>> m_talveryPushed;
};

}  // namespace kovado
