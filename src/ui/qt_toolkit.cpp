// SPDX-License-Identifier: MIT
#include "ui/qt_toolkit.h"

#include <unistd.h>

#include <cstdio>

#include <QClipboard>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QUrl>

#include "ui/data_folder.h"
#include "ui/desktop/held_enter_guard.h"
#include "ui/desktop/modal_box.h"
#include "ui/program_end.h"

namespace kestrelmoor::ui {
namespace {

// Shows a modal box and returns the button pressed; Escape or closing the box counts as No in a
// question, as OK otherwise.
int ShowBox(QMessageBox::Icon icon, const QString& caption, const QString& text,
            QMessageBox::StandardButtons buttons, QMessageBox::StandardButton default_button) {
    QMessageBox box(icon, caption, text, buttons);
    box.setTextFormat(Qt::PlainText);  // a table name such as "<b>x" is shown as it is
    box.setDefaultButton(default_button);
    return RunMessageBox(box);
}

}  // namespace

QtToolkit::QtToolkit(std::chrono::milliseconds event_interval) : event_interval_(event_interval) {}

void QtToolkit::ShowMessage(const QString& text) {
    ShowBox(QMessageBox::NoIcon, title_, text, QMessageBox::Ok, QMessageBox::Ok);
}

bool QtToolkit::AskYesNo(const QString& text) {
    return ShowBox(QMessageBox::NoIcon, title_, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) ==
           QMessageBox::Yes;
}

void QtToolkit::ShowErrorReport(const std::string& text) {
    ShowBox(QMessageBox::Warning, QString::fromLatin1(kErrorReportCaption),
            QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())), QMessageBox::Ok,
            QMessageBox::Ok);
}

void QtToolkit::ProcessPendingEvents() {
    if (since_events_.isValid() && since_events_.elapsed() < event_interval_.count()) {
        return;
    }
    ProcessPendingEventsNow();
}

void QtToolkit::ProcessPendingEventsNow() {
    QCoreApplication::processEvents();
    since_events_.start();
}

QString QtToolkit::DataFolder() const {
    return DataFolderFor(QCoreApplication::applicationDirPath());
}

QString QtToolkit::AskSaveFileName(const QString& title, const QStringList& filters) {
    // The name comes back exactly as chosen: no extension is added for the chosen filter.
    const EnterHeldAcrossBox enter_watch;
    return QFileDialog::getSaveFileName(nullptr, title, QString(), filters.join(QStringLiteral(";;")),
                                        nullptr, QFileDialog::DontConfirmOverwrite);
}

void QtToolkit::ClearClipboard() {
    QGuiApplication::clipboard()->clear();
}

void QtToolkit::SetClipboardText(const QString& text) {
    QGuiApplication::clipboard()->setText(text);
}

bool QtToolkit::OpenUrl(const QString& url) {
    return QDesktopServices::openUrl(QUrl(url));
}

void QtToolkit::EndProgram() {
    // Leaving through the event loop would return into whatever handler is waiting in a yield, and
    // that handler would go on with windows that are being torn down; ending the process here cannot.
    // Every setting was written when it was typed; what work in progress leaves behind (an interrupted
    // save's temporary file) is undone, and the clipboard goes to the desktop's clipboard manager.
    UndoAtProgramEnd::RunAll();
    HandOverClipboard();
    std::fflush(nullptr);
    ::_exit(0);
}

}  // namespace kestrelmoor::ui
