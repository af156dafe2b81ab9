// SPDX-License-Identifier: MIT
#include "common/signal_undo.h"

#include <signal.h>

#include <atomic>
#include <mutex>

namespace kestrelmoor {
namespace {

constexpr int kEndingSignals[] = {SIGHUP, SIGINT, SIGQUIT, SIGTERM};
constexpr int kSlots = 4;

struct Slot {
    std::atomic<SignalUndo::UndoFn> undo{nullptr};
    std::atomic<void*> data{nullptr};
};
Slot g_slots[kSlots];
static_assert(std::atomic<SignalUndo::UndoFn>::is_always_lock_free &&
              std::atomic<void*>::is_always_lock_free);

void OnEndingSignal(int signal) {
    for (int i = kSlots - 1; i >= 0; --i) {
        if (const SignalUndo::UndoFn undo = g_slots[i].undo.load()) undo(g_slots[i].data.load());
    }
    // SA_RESETHAND has put the default action back; the signal, blocked while this runs, is
    // delivered as soon as it is unblocked.
    ::raise(signal);
    sigset_t just_this;
    ::sigemptyset(&just_this);
    ::sigaddset(&just_this, signal);
    ::pthread_sigmask(SIG_UNBLOCK, &just_this, nullptr);
}

void InstallHandlers() {
    struct sigaction action {};
    action.sa_handler = OnEndingSignal;
    action.sa_flags = SA_RESETHAND;
    // One undo at a time: a second signal waits until the first has undone everything.
    ::sigemptyset(&action.sa_mask);
    for (const int signal : kEndingSignals) ::sigaddset(&action.sa_mask, signal);
    for (const int signal : kEndingSignals) {
        struct sigaction old {};
        if (::sigaction(signal, nullptr, &old) == 0 && (old.sa_flags & SA_SIGINFO) == 0 &&
            old.sa_handler == SIG_DFL) {
            ::sigaction(signal, &action, nullptr);
        }
    }
}

std::mutex g_slots_mutex;

}  // namespace

SignalUndo::SignalUndo(UndoFn undo, void* data) {
    static std::once_flag installed;
    std::call_once(installed, InstallHandlers);
    const std::lock_guard<std::mutex> lock(g_slots_mutex);
    for (int i = 0; i < kSlots; ++i) {
        if (g_slots[i].undo.load() == nullptr) {
            g_slots[i].data.store(data);
            g_slots[i].undo.store(undo);
            slot_ = i;
            return;
        }
    }
    // More at once than slots: this one is not undone on a signal (nothing in the program needs more).
}

SignalUndo::~SignalUndo() {
    if (slot_ < 0) return;
    const std::lock_guard<std::mutex> lock(g_slots_mutex);
    g_slots[slot_].undo.store(nullptr);
    g_slots[slot_].data.store(nullptr);
}

EndingSignalsHeld::EndingSignalsHeld() {
    sigset_t ending;
    ::sigemptyset(&ending);
    for (const int signal : kEndingSignals) ::sigaddset(&ending, signal);
    ::pthread_sigmask(SIG_BLOCK, &ending, &old_);
}

EndingSignalsHeld::~EndingSignalsHeld() {
    ::pthread_sigmask(SIG_SETMASK, &old_, nullptr);
}

}  // namespace kestrelmoor
