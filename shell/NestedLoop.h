// Marks the time the user-interface thread spends in a loop of its own (a
// popup menu, a modal dialog, the file chooser, a message box) or waits in a
// send to another thread or program. Messages keep being handled there: a
// loop dispatches them, and a thread waiting in a send handles what others
// send it meanwhile, a close request among them. The frame then must not
// delete the objects whose code is still running beneath, and waits until
// the loops have returned. Such a loop may also swallow the quit request, so
// whoever waits can leave an action to run when the last loop has returned.
#pragma once
#include <functional>
#include <utility>

namespace kovado {

class NestedLoop {
public:
    using Action = std::function<void()>;

    NestedLoop() { ++Depth(); }
    ~NestedLoop() {
        if (--Depth() == 0 && AfterLast()) {
            Action action = std::move(AfterLast());
            AfterLast() = nullptr;
            action();
        }
    }
    NestedLoop(const NestedLoop&) = delete;
    NestedLoop& operator=(const NestedLoop&) = delete;

    // Loops running on the calling thread now.
    static int& Depth() {
        thread_local int depth = 0;
        return depth;
    }
    // Run once when the last running loop of the calling thread returns.
    static Action& AfterLast() {
        thread_local Action action;
        return action;
    }
};

}  // namespace kovado
