// SPDX-License-Identifier: MIT
// What must not outlive the program when a signal ends it (a temporary file, a terminal without echo)
// is undone in the signal handler, and the signal then ends the program as it would have: the shell
// sees the signal's own status (130 for Ctrl-C).
#pragma once

#include <signal.h>

namespace kestrelmoor {

class SignalUndo {
  public:
    // Must be async-signal-safe, and so must whatever `data` points to be readable at any moment.
    using UndoFn = void (*)(void* data);

    // While this object lives, `undo(data)` runs when SIGHUP, SIGINT, SIGQUIT or SIGTERM arrives.
    // The handler is put only where the signal has its default action: a signal ignored from the
    // start (nohup) stays ignored. Up to four undos at once; the last made runs first.
    SignalUndo(UndoFn undo, void* data);
    ~SignalUndo();
    SignalUndo(const SignalUndo&) = delete;
    SignalUndo& operator=(const SignalUndo&) = delete;

  private:
    int slot_ = -1;
};

// Holds off those signals while it lives, e.g. so that a file is never made without its undo knowing.
class EndingSignalsHeld {
  public:
    EndingSignalsHeld();
    ~EndingSignalsHeld();
    EndingSignalsHeld(const EndingSignalsHeld&) = delete;
    EndingSignalsHeld& operator=(const EndingSignalsHeld&) = delete;

  private:
    sigset_t old_{};
};

}  // namespace kestrelmoor
