// The end of the hidden frame, on the user-interface thread, once its window
// has gone (the tray menu's Exit, a close request from another program, the
// window's destruction). The frame holds the view, which owns everything
// else; code running beneath a loop of this thread (a send, a menu, a dialog,
// a message box) may still be using them, so they go only when nothing of
// theirs is running any more.
#pragma once
#include <functional>

namespace kovado {

// Deletes the frame at once through deleteFrame, unless a nested loop of this
// thread is running: then the quit request, which such a loop may swallow, is
// posted again through postQuit when the last loop has returned, and the
// deletion is kept for DeleteEndedFrame.
void EndFrame(std::function<void()> deleteFrame, std::function<void()> postQuit);

// Runs the deletion EndFrame kept, if any. Called once the message loop has
// ended, when no code of the frame or the view can be running.
void DeleteEndedFrame();

}  // namespace kovado
