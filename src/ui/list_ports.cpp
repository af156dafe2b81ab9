#include "ui/list_ports.h"

#include <cmath>

namespace kestrelmoor::ui {

void ProgressBarPort::SetValue(double percent) {
    // The bar counts in whole percent; setting the same value again costs a repaint for nothing.
    const int value = static_cast<int>(std::lround(percent));
    if (bar_.value() != value) bar_.setValue(value);
}

}  // namespace kestrelmoor::ui
