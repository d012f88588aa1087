#include "transport/DeviceWriter.h"

namespace kovado {

void CDeviceWriter::PushMain(const BYTE*, BOOL blank) {
    if (blank) ++m_nBlankPushes;
}
void CDeviceWriter::PushTalvery(BYTE* command) {
    m_talveryPushed.emplace_back(command, command + 2 + command[1]);
}
void CDeviceWriter::FlushQueues() {}
void CDeviceWriter::ResetQueues() { ++m_nResets; }
void CDeviceWriter::SendText(std::wstring text) { m_sentTexts.push_back(std::move(text)); }

}  // namespace kovado
