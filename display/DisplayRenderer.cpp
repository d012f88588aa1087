#include "display/DisplayRenderer.h"

#include "transport/DeviceWriter.h"

namespace kovado {

CDisplayRenderer::CDisplayRenderer(CBridgeView* owner) : m_pOwner(owner) {
    m_strName.clear();
    LoadCallIcons();
}

CDisplayRenderer::~CDisplayRenderer() = default;

void CDisplayRenderer::PushTalvery(BYTE* command) { m_pOwner->m_pWriter->PushTalvery(command); }

void CDisplayRenderer::PushMain(const BYTE* command) { m_pOwner->m_pWriter->PushMain(command, 0); }

}  // namespace kovado
