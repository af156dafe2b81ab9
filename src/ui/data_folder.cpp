// SPDX-License-Identifier: MIT
#include "ui/data_folder.h"

#include <QDir>
#include <QFileInfo>

#include "ui/desktop/visual_style.h"

namespace kestrelmoor::ui {

QString DataFolderFor(const QString& program_folder) {
    for (const char* file : {kSkinFileName, kPointerFileName}) {
        if (QFileInfo::exists(program_folder + QString::fromLatin1(file))) {
            return program_folder;
        }
    }
    return QDir::cleanPath(program_folder + QStringLiteral("/" KESTRELMOOR_DATA_FROM_PROGRAM));
}

}  // namespace kestrelmoor::ui
