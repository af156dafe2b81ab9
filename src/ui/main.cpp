// SPDX-License-Identifier: MIT
// kestrelmoor: the desktop program.
#include <QApplication>
#include <QRandomGenerator>
#include <QStyleFactory>

#include "common/settings_store.h"
#include "common/standard_streams.h"
#include "db/mariadb_database.h"
#include "ui/app_shell.h"
#include "ui/qt_toolkit.h"
#include "ui/shell.h"

int main(int argc, char** argv) {
    kestrelmoor::HoldStandardStreams();  // first: nothing may be opened onto a closed 0, 1 or 2
    QApplication app(argc, argv);
    // One look on every desktop: the layouts place controls at fixed pixel positions.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setWindowIcon(kestrelmoor::ui::ProgramIcon());

    kestrelmoor::ui::QtToolkit toolkit;
    kestrelmoor::db::MariaDbDatabase database;
    kestrelmoor::SettingsStore settings;
    kestrelmoor::ui::Shell shell(toolkit, database, settings,
                                 [] { return QRandomGenerator::global()->generateDouble(); });
    shell.Start();
    return QApplication::exec();
}
