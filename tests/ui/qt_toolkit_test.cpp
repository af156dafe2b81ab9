// SPDX-License-Identifier: MIT
#include "ui/qt_toolkit.h"

#include <chrono>
#include <functional>

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QTimer>

namespace kestrelmoor::ui {
namespace {

struct SeenBox {
    bool found = false;
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QList<QMessageBox::StandardButton> buttons;
};

// Waits for the modal box to come up, notes what it shows and presses `press` on it.
void CloseNextBoxWith(QMessageBox::StandardButton press, SeenBox& seen) {
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [&seen, press, poll] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            QTimer::singleShot(5, *poll);
            return;
        }
        seen.found = true;
        seen.caption = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        for (QAbstractButton* button : box->buttons()) {
            seen.buttons.append(box->standardButton(button));
        }
        box->button(press)->click();
        *poll = nullptr;  // breaks the cycle between the function and its copy of `poll`
    };
    QTimer::singleShot(0, *poll);
}

TEST(QtToolkit, TheErrorReportIsAWarningWithOneOkButton) {
    QtToolkit toolkit;
    toolkit.SetApplicationTitle("Kestrelmoor");
    SeenBox seen;
    CloseNextBoxWith(QMessageBox::Ok, seen);
    toolkit.ShowErrorReport("Access denied\r\nin Kestrelwick2017/04/05.Form1.PushButton5_Click at line 100");
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.caption, "Application Error");
    EXPECT_EQ(seen.icon, QMessageBox::Warning);
    EXPECT_EQ(seen.buttons, QList<QMessageBox::StandardButton>{QMessageBox::Ok});
    EXPECT_EQ(seen.text, "Access denied\r\nin Kestrelwick2017/04/05.Form1.PushButton5_Click at line 100");
}

TEST(QtToolkit, AMessageHasNoIconAndTheApplicationTitleAsCaption) {
    QtToolkit toolkit;
    toolkit.SetApplicationTitle("Kestrelmoor");
    SeenBox seen;
    CloseNextBoxWith(QMessageBox::Ok, seen);
    toolkit.ShowMessage("Connection successful.");
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.caption, "Kestrelmoor");
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
    EXPECT_EQ(seen.buttons, QList<QMessageBox::StandardButton>{QMessageBox::Ok});
    EXPECT_EQ(seen.text, "Connection successful.");
}

TEST(QtToolkit, AQuestionOffersYesAndNoAndReturnsTheAnswer) {
    QtToolkit toolkit;
    toolkit.SetApplicationTitle("Kestrelmoor");
    for (const auto press : {QMessageBox::Yes, QMessageBox::No}) {
        SeenBox seen;
        CloseNextBoxWith(press, seen);
        EXPECT_EQ(toolkit.AskYesNo("Overwrite?"), press == QMessageBox::Yes);
        ASSERT_TRUE(seen.found);
        EXPECT_EQ(seen.caption, "Kestrelmoor");
        EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
        EXPECT_EQ(seen.buttons.size(), 2);
        EXPECT_TRUE(seen.buttons.contains(QMessageBox::Yes));
        EXPECT_TRUE(seen.buttons.contains(QMessageBox::No));
    }
}

TEST(QtToolkit, ProcessesPendingEventsOnlyAfterTheInterval) {
    int delivered = 0;
    const auto post = [&delivered] {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [&delivered] { ++delivered; }, Qt::QueuedConnection);
    };

    QtToolkit slow(std::chrono::hours(1));
    post();
    slow.ProcessPendingEvents();  // the first call always processes
    EXPECT_EQ(delivered, 1);
    post();
    slow.ProcessPendingEvents();  // within the interval: nothing runs
    EXPECT_EQ(delivered, 1);
    slow.ProcessPendingEventsNow();
    EXPECT_EQ(delivered, 2);

    QtToolkit eager(std::chrono::milliseconds(0));
    eager.ProcessPendingEvents();
    post();
    eager.ProcessPendingEvents();
    EXPECT_EQ(delivered, 3);
}

TEST(QtToolkit, TheProgramFolderIsTheExecutablesFolderWithoutTrailingSeparator) {
    const QString folder = QtToolkit().ProgramFolder();
    EXPECT_FALSE(folder.endsWith('/'));
    EXPECT_EQ(QFileInfo(folder).canonicalFilePath(),
              QFileInfo(QCoreApplication::applicationFilePath()).canonicalPath());
}

}  // namespace
}  // namespace kestrelmoor::ui
