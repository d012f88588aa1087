// Names the handset cannot draw itself: drawn here into a 128 x 16 one-bit
// picture, announced, and handed out in eight chunks of two rows.
#include <algorithm>
#include <cstring>

#include "display/CallIcons.h"
#include "display/CommandBuild.h"
#include "display/DisplayRenderer.h"
#include "platform/Rasterizer.h"
#include "transport/Codes.h"

namespace kovado {

using display::Command;

namespace {

template <std::size_t N>
void LoadIcon(const display::IconRows& rows, std::array<BYTE, N>& bitmap) {
    static_assert(N == 2 * std::tuple_size_v<display::IconRows>);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        bitmap[2 * r] = static_cast<BYTE>(rows[r] >> 8);
        bitmap[2 * r + 1] = static_cast<BYTE>(rows[r]);
    }
}

}  // namespace

void CDisplayRenderer::LoadCallIcons() {
    LoadIcon(display::kIncomingCallIcon, m_abIconIncoming);
    LoadIcon(display::kOutgoingCallIcon, m_abIconOutgoing);
    LoadIcon(display::kMissedCallIcon, m_abIconMissed);
    m_abBlank.fill(0);
}

void CDisplayRenderer::DrawText(const std::wstring& text, int width, BYTE* bits) {
    // Without a text renderer the picture stays blank, like a failed drawing.
    platform::IRasterizer* raster = m_pOwner->m_pPlatform->raster;
    if (raster && !text.empty()) raster->DrawText(text, width, bits);
}

// Announces the picture published under m_lock. Queued after the lock is
// released: a full queue logs a line, a message to the user-interface thread,
// which may itself be waiting for the lock.
void CDisplayRenderer::AnnouncePicture(BYTE readyCode) {
    Command command{readyCode, 1, Result::Ok};
    PushTalvery(command.data());
}

void CDisplayRenderer::SendNamePicture(std::wstring text) {
    {
        std::lock_guard<platform::Mutex> lock(m_lock);
        std::memcpy(m_abPictureBitmap.data(), m_abBlank.data(), kPictureBytes);
        DrawText(text, kPictureWidth, m_abPictureBitmap.data());
        m_abPicture = m_abPictureBitmap;
    }
    AnnouncePicture(Cmd::NamePictureReady);
}

void CDisplayRenderer::SendHistoryPicture(BYTE kind) {
    DrawHistoryPicture(kind);
    AnnouncePicture(Cmd::HistoryPictureReady);
}

void CDisplayRenderer::DrawHistoryPicture(BYTE kind) {
    std::lock_guard<platform::Mutex> lock(m_lock);
    std::memcpy(m_abPictureBitmap.data(), m_abBlank.data(), kPictureBytes);
    std::memcpy(m_abTextBitmap.data(), m_abBlank.data(), kTextBytes);
    DrawText(m_strName, kTextWidth, m_abTextBitmap.data());

    const auto& icon = kind == display::kKindMissed     ? m_abIconMissed
                       : kind == display::kKindIncoming ? m_abIconIncoming
                                                        : m_abIconOutgoing;
    constexpr int kRowBytes = kPictureWidth / 8;
    constexpr int kTextRowBytes = kTextWidth / 8;
    // The icon fills columns 0-15 of rows 0-14; row 15 there stays blank.
    for (int row = 0; row < kIconRows; ++row)
        std::memcpy(&m_abPictureBitmap[row * kRowBytes], &icon[row * 2], 2);
    // The name follows from column 16, a whole number of bytes in.
    for (int row = 0; row < kRows; ++row)
        std::memcpy(&m_abPictureBitmap[row * kRowBytes + 2], &m_abTextBitmap[row * kTextRowBytes],
                    kTextRowBytes);
    m_abPicture = m_abPictureBitmap;
}

void CDisplayRenderer::SendPictureChunk(BYTE index) {
    Command command{};
    command[0] = Cmd::PictureChunk;
    // The picture has eight chunks: a request beyond them has no entry.
    if (index >= kChunks) {
        command[1] = 1;
        command[2] = Result::NoEntry;
        PushTalvery(command.data());
        return;
    }
    command[1] = 2 + kChunkBytes;
    command[2] = Result::Ok;
    command[3] = index;
    {
        std::lock_guard<platform::Mutex> lock(m_lock);
        std::memcpy(&command[4], &m_abPicture[index * kChunkBytes], kChunkBytes);
    }
    PushTalvery(command.data());
}

}  // namespace kovado
