// SPDX-License-Identifier: MIT
// The three exports of the result list: a text file with one address per line, a comma-delimited
// text file, and the clipboard.
#pragma once

#include <QString>

#include "common/error_trap.h"
#include "export/list_source.h"
#include "ui/check_list/check_list_model.h"
#include "ui/desktop/pointer_feedback.h"
#include "ui/toolkit.h"

namespace kestrelmoor::ui {

// Puts the checked rows of a list on the clipboard as padded, tab-separated text; an empty list leaves
// the clipboard alone. Yields once per cell. Has no error handling of its own.
void CopyListToClipboard(Toolkit& toolkit, const ListSource& list);

class ResultsExport {
  public:
    ResultsExport(Toolkit& toolkit, const CheckListModel& results, WindowPointer& pointer)
        : toolkit_(toolkit), results_(results), pointer_(pointer) {}

    void SaveAsTextFile();        // "Save Results As Text File"
    void SaveAsCommaDelimited();  // "Save As Comma Delimited Text File"
    void CopyToClipboard();       // "Copy Results To Clipboard"

  private:
    enum class Format { kLines, kCommaDelimited };
    void Save(Format format);
    // The save's first steps (AskFileName to AskOverwrite): the name chosen in the save dialog and, for
    // an existing file, confirmed; empty when nothing is to be saved.
    QString ChooseTarget(Trap& trap);

    Toolkit& toolkit_;
    const CheckListModel& results_;
    WindowPointer& pointer_;
};

}  // namespace kestrelmoor::ui
