// SPDX-License-Identifier: MIT
// What a screen reader makes of a check list: a list whose rows are check boxes, each named by its text
// and saying whether it is ticked, with the action that toggles it. Qt's own presentation of the rows
// as table cells loses on the desktop's accessibility bus that a row can be ticked (only "checked" is
// passed on), so an unticked row would sound like plain text.
#pragma once

namespace kestrelmoor::ui {

class CheckListView;

// Every CheckListView is presented as above; call from its constructor.
void PresentRowsAsCheckBoxes(CheckListView& view);

// Tells a screen reader that the ticks of rows `first` to `last` (0-based) changed, for the rows it
// has already asked about: the others it learns of when it asks.
void AnnounceTicks(CheckListView& view, int first, int last);
// Tells a screen reader that the view's current row has the focus.
void AnnounceCurrentRow(CheckListView& view);

}  // namespace kestrelmoor::ui
