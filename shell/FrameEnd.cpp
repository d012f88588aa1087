#include "shell/FrameEnd.h"

#include <utility>

#include "shell/NestedLoop.h"

namespace kovado {

namespace {
std::function<void()>& Kept() {
    thread_local std::function<void()> kept;
    return kept;
}
}  // namespace

void EndFrame(std::function<void()> deleteFrame, std::function<void()> postQuit) {
    if (NestedLoop::Depth() == 0) {
        deleteFrame();
        return;
    }
    Kept() = std::move(deleteFrame);
    NestedLoop::AfterLast() = std::move(postQuit);
}

void DeleteEndedFrame() {
    std::function<void()> kept = std::move(Kept());
    Kept() = nullptr;
    if (kept) kept();
}

}  // namespace kovado
