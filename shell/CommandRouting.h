// The frame offers every command, and every request for a menu entry's check
// mark and enabled state, to the view first; what the view has no handler for
// goes on to the frame and the application.
#pragma once
#include "platform/Types.h"

namespace kovado {

class CBridgeView;
struct ICommandUi;

// True when the view took the command.
bool OfferCommandToView(CBridgeView& view, UINT id);
// True when the view set the entry's state.
bool OfferCommandUiToView(CBridgeView& view, UINT id, ICommandUi& ui);

}  // namespace kovado
