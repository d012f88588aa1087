#include "transport/DeviceWriter.h"

namespace kovado {

namespace {
std::vector<BYTE> Recorded(const BYTE* command) {
    return std::vector<BYTE>(command, command + 2 + command[1]);
}
}  // namespace

void CDeviceWriter::PushMain(const BYTE* command, BOOL blank) {
    if (blank) {
        ++m_nBlankPushes;
        return;
    }
    if (command) m_mainPushed.push_back(Recorded(command));
}
void CDeviceWriter::PushTalvery(BYTE* command) {
    if (command[1] > 45) command[1] = 45;
    m_talveryPushed.push_back(Recorded(command));
}
void CDeviceWriter::FlushQueues() {}
void CDeviceWriter::ResetQueues() { ++m_nResets; }
void CDeviceWriter::SendText(std::wstring text) { m_sentTexts.push_back(std::move(text)); }

}  // namespace kovado
