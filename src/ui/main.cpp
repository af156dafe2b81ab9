// SPDX-License-Identifier: MIT
// kestrelmoor: the desktop program.
#include <QApplication>
#include <QRandomGenerator>

#include <iostream>

#include "cli/login/local_socket.h"

#include "common/secret_service.h"
#include "common/settings_store.h"
#include "common/standard_streams.h"
#include "db/mariadb_database.h"
#include "ui/app_shell.h"
#include "ui/command_line.h"
#include "ui/desktop/visual_style.h"
#include "ui/qt_toolkit.h"
#include "ui/shell.h"

int main(int argc, char** argv) {
    kestrelmoor::HoldStandardStreams();  // first: nothing may be opened onto a closed 0, 1 or 2
    if (const int status = kestrelmoor::ui::HandleCommandLine(argc, argv);
        status != kestrelmoor::ui::kGoOnToTheWindow) {
        return status;
    }
    // Qt sees the program's name only: the program has no options, and Qt's own (-reverse, -style, ...)
    // are not taken. Qt keeps both for the application's lifetime.
    static int qt_argc = 1;
    static char* qt_argv[] = {argv[0], nullptr};
    kestrelmoor::ui::ReportAFailedWindowSystemInOneLine();
    // Made with new: closing a window may end it early to hand the clipboard over (HandOverClipboard).
    auto* app = new QApplication(qt_argc, qt_argv);
    kestrelmoor::ui::RestoreQtMessages();
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
        // "localhost" is reached through the socket that kestrelmoor-extract and the client would use.
        kestrelmoor::db::ConnectionOptions options;
        options.socket = kestrelmoor::cli::LocalSocket(
            [](const std::string& note) { std::cerr << "kestrelmoor: " << note << '\n'; });
        kestrelmoor::db::MariaDbDatabase database(options);
        kestrelmoor::SettingsStore settings;
        kestrelmoor::SecretService secrets;  // the password, where the desktop keeps secrets
        kestrelmoor::ui::Shell shell(
            toolkit, database, settings, [] { return QRandomGenerator::global()->generateDouble(); },
            &secrets);
        shell.Start();
        status = QApplication::exec();
    }
    delete app;
    return status;
}
