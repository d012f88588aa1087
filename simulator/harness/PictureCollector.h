// Puts a picture back together from the chunks written to the handset, as
// the handset's display does: a "picture ready" command starts a new one,
// and once all eight chunks have arrived it is whole.
#pragma once
#include <algorithm>
#include <array>
#include <vector>

#include "display/DisplayRenderer.h"
#include "transport/Codes.h"

namespace kovado::sim {

class PictureCollector {
public:
    // A report written to the handset, from its report type on; true when it
    // completed a picture (then in m_picture).
    bool Feed(const std::vector<BYTE>& r) {
        constexpr std::size_t kChunk = CDisplayRenderer::kChunkBytes;
        if (r.size() < 4 || r[0] != ReportType::kCommand) return false;
        if ((r[1] == Cmd::NamePictureReady || r[1] == Cmd::HistoryPictureReady) && r[3] == 0x00) {
            m_bHistory = r[1] == Cmd::HistoryPictureReady;
            m_nChunks = 0;
            return false;
        }
        if (r[1] != Cmd::PictureChunk || r.size() < 5 + kChunk || r[4] >= CDisplayRenderer::kChunks)
            return false;
        std::copy_n(r.begin() + 5, kChunk, m_picture.begin() + static_cast<long>(r[4] * kChunk));
        m_nChunks |= 1u << r[4];
        if (m_nChunks != 0xFFu) return false;
        m_nChunks = 0;
        return true;
    }

    std::array<BYTE, CDisplayRenderer::kPictureBytes> m_picture{};
    bool m_bHistory = false;  // announced by HistoryPictureReady

private:
    unsigned m_nChunks = 0;  // one bit per chunk received
};

}  // namespace kovado::sim
