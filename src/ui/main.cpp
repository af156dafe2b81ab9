// SPDX-License-Identifier: MIT
// kestrelmoor: the desktop program.
#include <QApplication>
#include <QRandomGenerator>

#include "common/settings_store.h"
#include "common/standard_streams.h"
#include "db/mariadb_database.h"
#include "ui/app_shell.h"
#include "ui/qt_toolkit.h"
#include "ui/shell.h"
#include "ui/visual_style.h"

int main(int argc, char** argv) {
    kestrelmoor::HoldStandardStreams();  // first: nothing may be opened onto a closed 0, 1 or 2
    // Made with new: closing a window may end it early to hand the clipboard over (HandOverClipboard).
    auto* app = new QApplication(argc, argv);
    // The desktop ties the windows to the desktop entry (launch feedback, the dock's icon).
    QGuiApplication::setDesktopFileName(QStringLiteral("org.kestrelmoor.Kestrelmoor"));
    // One look on every desktop, light or dark: the layouts place controls at fixed pixel positions,
    // and the colours are the program's own.
    QApplication::setStyle(kestrelmoor::ui::ProgramStyle());
    QApplication::setPalette(kestrelmoor::ui::ProgramPalette());
    QApplication::setWindowIcon(kestrelmoor::ui::ProgramIcon());

    int status = 0;
    {
        kestrelmoor::ui::QtToolkit toolkit;
        kestrelmoor::db::MariaDbDatabase database;
        kestrelmoor::SettingsStore settings;
        kestrelmoor::ui::Shell shell(toolkit, database, settings,
                                     [] { return QRandomGenerator::global()->generateDouble(); });
        shell.Start();
        status = QApplication::exec();
    }
    delete app;
    return status;
}
