// SPDX-License-Identifier: MIT
// The text boxes' habit of selecting their whole text when visited.
#pragma once

#include <QObject>

namespace kestrelmoor::ui {

// Selects a text box's whole text whenever it gains the focus, by keyboard or mouse. A click places
// the cursor after the focus arrives, so the selection is made again once the click is handled. The
// focus that comes back with the window's activation or after a context menu is not a new visit, and
// leaves the selection as the user had it.
class SelectAllOnFocus : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace kestrelmoor::ui
