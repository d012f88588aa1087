// The frame's part of start-up, once its window exists: the view's window as
// its child, the tray icon, the view's 50 ms tick.
#pragma once
#include "platform/Types.h"

namespace kovado {

class CBridgeView;

// false when a step failed; the frame's creation then fails as a whole.
bool StartFrame(CBridgeView& view, platform::WindowHandle frame);

}  // namespace kovado
