// SPDX-License-Identifier: MIT
// The connection window's own texts, word for word as its users know them.
#pragma once

#include <QString>

namespace kestrelmoor::ui {

inline const QString kConnectedMessage = QStringLiteral("Connection successful.");
inline const QString kNotConnectedMessage = QStringLiteral(
    "Could not connect. Please check with your administrator. Make sure you are allowed to connect to your "
    "database remotely and not just through web-based control panels.");
// The database vendor's download page of its GUI tools.
inline const QString kGuiToolsPage = QStringLiteral("https://dev.mysql.com/downloads/gui-tools/");

// The help text; its line breaks are single carriage returns.
inline QString HelpText() {
    const QString paragraph = QStringLiteral("\r\r");
    return QStringLiteral(
               "If you cannot establish connection to your database with this program, please go to: ") +
           paragraph + kGuiToolsPage + paragraph +
           QStringLiteral(
               "Download and install the MySQL GUI Tools. Use the MySQL Query Browser. Try to connect to ") +
           QStringLiteral(
               "the same database (with the same login information you are using here). This will determine "
               "if ") +
           QStringLiteral("the login you are using is correct.") + paragraph +
           QStringLiteral(
               " Finally, make sure your host allows a direct connection to your MySQL database -- not a "
               "web based connection, for example.");
}

}  // namespace kestrelmoor::ui
