// SPDX-License-Identifier: MIT
#include "ui/program_end.h"

#include <algorithm>
#include <vector>

#include <QApplication>
#include <QClipboard>
#include <QWidget>

namespace kestrelmoor::ui {
namespace {

std::vector<UndoAtProgramEnd*>& Registered() {
    static std::vector<UndoAtProgramEnd*> registered;
    return registered;
}

}  // namespace

UndoAtProgramEnd::UndoAtProgramEnd(std::function<void()> undo) : undo_(std::move(undo)) {
    Registered().push_back(this);
}

UndoAtProgramEnd::~UndoAtProgramEnd() {
    std::vector<UndoAtProgramEnd*>& registered = Registered();
    registered.erase(std::remove(registered.begin(), registered.end(), this), registered.end());
}

void UndoAtProgramEnd::RunAll() {
    std::vector<UndoAtProgramEnd*>& registered = Registered();
    while (!registered.empty()) {
        UndoAtProgramEnd* last = registered.back();
        registered.pop_back();
        if (last->undo_) last->undo_();
    }
}

void HandOverClipboard() {
    if (QApplication::instance() == nullptr || !QGuiApplication::clipboard()->ownsClipboard()) return;
    for (QWidget* window : QApplication::topLevelWidgets()) window->hide();
    // The platform's clipboard offers its contents to a clipboard manager as it is destroyed, which
    // happens only with the application object; the process ends right after, so nothing returns into
    // the handlers that were running.
    delete QApplication::instance();
}

}  // namespace kestrelmoor::ui
