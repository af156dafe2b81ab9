// SPDX-License-Identifier: MIT
#include "ui/windows/select_all_on_focus.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QTimer>

namespace kestrelmoor::ui {

bool SelectAllOnFocus::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::FocusIn) return false;
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (box == nullptr || reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) {
        return false;
    }
    box->selectAll();
    QTimer::singleShot(0, box, [box] {
        if (box->hasFocus()) box->selectAll();
    });
    return false;
}

}  // namespace kestrelmoor::ui
