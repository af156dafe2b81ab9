// SPDX-License-Identifier: MIT
// Where the window reads its skin (x/o.cjs) and hand pointer (HAND-M.CUR) from.
#pragma once

#include <QString>

namespace kestrelmoor::ui {

// The program's own folder when either file lies there (a build tree, or files a user put beside the
// program), else the installed data folder found from the program's folder (share/kestrelmoor beside
// bin/). The program's own folder comes first so that a build tree shows the files of its own sources,
// never those of an older installed copy. `program_folder` has no trailing separator; neither has
// the result.
QString DataFolderFor(const QString& program_folder);

}  // namespace kestrelmoor::ui
