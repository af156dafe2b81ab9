// SPDX-License-Identifier: MIT
#pragma once

#include <vector>

#include <QString>

#include "core/place_recorder.h"

namespace kestrelmoor::ui {

// A result row's tool tip: where its address was found, one line per table and column with its row
// count, the first ten places only and then "and N more". Names are shown as text, never as markup.
QString PlacesToolTip(const std::vector<PlaceRecorder::PlaceCount>& places);

}  // namespace kestrelmoor::ui
