// SPDX-License-Identifier: MIT
#include "ui/app_shell.h"

#include <QDateTime>
#include <QFileInfo>

#include "ui/toolkit.h"

namespace kestrelmoor::ui {

QString AppTitleFor(const QString& display_name) {
    constexpr qsizetype kLongestTitle = 40;
    QString title = display_name;
    // Cut at the last space at least once, then while too long. Once no space is left the rest is
    // kept as it is, however long.
    do {
        const qsizetype last_space = title.lastIndexOf(QLatin1Char(' '));
        if (last_space < 0) {
            break;
        }
        title.truncate(last_space);
    } while (title.size() > kLongestTitle);
    return title;
}

void MaybeOpenHomePage(Toolkit& toolkit, const std::function<double()>& random) {
    if (!kHomePageVisit) {
        return;
    }
    constexpr int kLuckyNumber = 7;
    const int drawn = 1 + static_cast<int>(random() * 100);
    if (drawn == kLuckyNumber) {
        toolkit.OpenUrl(QString::fromLatin1(kHomePage));  // no browser: nothing to tell
    }
}

bool FileExists(const QString& path) {
    if (path.isEmpty()) {
        return false;
    }
    const QFileInfo info(path);
    return info.exists() && info.lastModified().isValid();
}

QIcon ProgramIcon() {
    QIcon icon;
    for (const int side : {32, 48, 128, 256}) {
        icon.addFile(QStringLiteral(":/icons/kestrelmoor-%1.png").arg(side), QSize(side, side));
    }
    return icon;
}

}  // namespace kestrelmoor::ui
