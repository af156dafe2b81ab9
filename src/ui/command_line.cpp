// SPDX-License-Identifier: MIT
#include "ui/command_line.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <QString>
#include <QtGlobal>

namespace kestrelmoor::ui {
namespace {

constexpr const char* kHelp =
    "Usage: kestrelmoor [--help | --version]\n"
    "Opens the window that lists the tables of a MySQL or MariaDB database and pulls\n"
    "every distinct e-mail address out of the ones you tick.\n"
    "\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n"
    "\n"
    "kestrelmoor-extract does the same on the command line. See kestrelmoor(1).\n";

// The first warning from Qt's platform code while the window system starts: it names the cause.
std::string first_platform_warning;

bool IsSet(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr && *value != '\0';
}

void OneLineOnFailure(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    const bool platform = context.category != nullptr && std::strncmp(context.category, "qt.qpa", 6) == 0;
    if (type != QtFatalMsg) {
        if (platform && first_platform_warning.empty()) {
            first_platform_warning = message.section(QLatin1Char('\n'), 0, 0).toStdString();
        }
        return;
    }
    std::string why;
    if (!IsSet("DISPLAY") && !IsSet("WAYLAND_DISPLAY") && !IsSet("QT_QPA_PLATFORM")) {
        why = "no display (DISPLAY is not set)";
    } else {
        why = first_platform_warning.empty() ? message.section(QLatin1Char('\n'), 0, 0).toStdString()
                                             : first_platform_warning;
    }
    std::fprintf(stderr, "kestrelmoor: cannot open the window: %s\n", why.c_str());
    std::fflush(stderr);
    ::_exit(1);  // Qt would abort next; nothing of the program has started yet
}

}  // namespace

int HandleCommandLine(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--help" || argument == "--version") {
            // As GNU programs do: text that could not be written (a full disk, a closed pipe) is an error.
            std::fputs(argument == "--help" ? kHelp : "kestrelmoor (Kestrelmoor) " KESTRELMOOR_VERSION "\n",
                       stdout);
            if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return 0;
            std::fprintf(stderr, "kestrelmoor: write error: %s\n", std::strerror(errno));
            return 1;
        }
        const char* what =
            argument.size() > 1 && argument[0] == '-' ? "unrecognized option" : "unexpected argument";
        std::fprintf(stderr, "kestrelmoor: %s '%s'\nTry 'kestrelmoor --help' for more information.\n", what,
                     argv[i]);
        return 2;
    }
    return kGoOnToTheWindow;
}

void ReportAFailedWindowSystemInOneLine() {
    qInstallMessageHandler(OneLineOnFailure);
}

void RestoreQtMessages() {
    qInstallMessageHandler(nullptr);
}

}  // namespace kestrelmoor::ui
