// SPDX-License-Identifier: MIT
#include "ui/qt_toolkit.h"
#include "ui/desktop/visual_style.h"

#include <chrono>
#include <functional>

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "ui/data_folder.h"
#include "ui/desktop/visual_style.h"

namespace kestrelmoor::ui {
namespace {

struct SeenBox {
    bool found = false;
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    Qt::TextFormat format = Qt::AutoText;
    QList<QMessageBox::StandardButton> buttons;
};

// Waits for the modal box to come up and hands it to `act`.
void OnNextBox(std::function<void(QMessageBox&)> act) {
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [act, poll] {
        QMessageBox* box = nullptr;
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->isVisible() && qobject_cast<QMessageBox*>(window))
                box = qobject_cast<QMessageBox*>(window);
        }
        if (box == nullptr) {
            QTimer::singleShot(5, *poll);
            return;
        }
        act(*box);
        *poll = nullptr;  // breaks the cycle between the function and its copy of `poll`
    };
    QTimer::singleShot(0, *poll);
}

// Waits for the modal box to come up, notes what it shows and presses `press` on it.
void CloseNextBoxWith(QMessageBox::StandardButton press, SeenBox& seen) {
    OnNextBox([&seen, press](QMessageBox& box) {
        seen.found = true;
        seen.caption = box.windowTitle();
        seen.text = box.text();
        seen.icon = box.icon();
        seen.format = box.textFormat();
        for (QAbstractButton* button : box.buttons()) {
            seen.buttons.append(box.standardButton(button));
        }
        box.button(press)->click();
    });
}

TEST(QtToolkit, TheErrorReportIsAWarningWithOneOkButton) {
    QtToolkit toolkit;
    toolkit.SetApplicationTitle("Kestrelmoor");
    SeenBox seen;
    CloseNextBoxWith(QMessageBox::Ok, seen);
    toolkit.ShowErrorReport("Access denied\r\nin Kestrelwick2017/04/05.Form1.PushButton5_Click at line 100");
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.format, Qt::PlainText) << "a table name such as <b>x is shown as typed";
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

// Records the end of the program instead of ending it, and takes the box that was up away.
class EndRecordingToolkit : public QtToolkit {
  public:
    void EndProgram() override {
        ++ends;
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* box = qobject_cast<QMessageBox*>(window); box && box->isVisible()) box->reject();
        }
    }
    int ends = 0;
};

class ClosingWindow : public QPushButton {
  public:
    explicit ClosingWindow(Toolkit& toolkit) : toolkit_(toolkit) {}

  protected:
    void closeEvent(QCloseEvent* /*event*/) override { toolkit_.EndProgram(); }

  private:
    Toolkit& toolkit_;
};

TEST(QtToolkit, WhileABoxIsUpTheWindowsTakeNoClicksButTheirCloseButtonEndsTheProgram) {
    EndRecordingToolkit toolkit;
    ClosingWindow window(toolkit);
    int clicks = 0;
    QObject::connect(&window, &QPushButton::clicked, [&clicks] { ++clicks; });
    window.show();
    QTimer::singleShot(50, [&] {
        EXPECT_EQ(QGuiApplication::modalWindow(), nullptr)
            << "a blocked window would never see the window system's close";
        QTest::mouseClick(&window, Qt::LeftButton);
        window.close();
    });
    toolkit.ShowErrorReport("Table 'shop.gone' doesn't exist");
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(toolkit.ends, 1);
}

// Return as the keyboard sends it: `repeat` for the presses of a held key after the first, each at a
// time of its own unless `same_time` (the release and press of a repeat share the window system's time).
void SendReturn(QWidget& target, QEvent::Type type, bool repeat = false, bool same_time = false) {
    static quint64 time = 1000;
    QKeyEvent key(type, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"), repeat);
    key.setTimestamp(same_time ? time : ++time);
    QApplication::sendEvent(&target, &key);
}

TEST(QtToolkit, AHeldEnterPressesAButtonOnceAlsoWhenItClosedABox) {
    QWidget window;
    QPushButton* start = MakePushButton(window, "PushButton4", "Start Extracting", QRect(0, 0, 200, 30));
    int clicks = 0;
    QObject::connect(start, &QPushButton::clicked, [&clicks] { ++clicks; });
    window.show();
    SendReturn(*start, QEvent::KeyPress);
    for (int i = 0; i < 3; ++i) SendReturn(*start, QEvent::KeyPress, true);
    SendReturn(*start, QEvent::KeyRelease);
    EXPECT_EQ(clicks, 1) << "the repeats of a held Enter";

    // Enter closes a box and is still down when the box has gone: its further presses, marked as
    // repeats or not, reach the button behind the box until the key comes up.
    QtToolkit toolkit;
    OnNextBox([](QMessageBox& box) { SendReturn(*box.defaultButton(), QEvent::KeyPress); });
    toolkit.ShowMessage("Could not connect.");
    SendReturn(*start, QEvent::KeyPress);
    SendReturn(*start, QEvent::KeyPress, true);
    EXPECT_EQ(clicks, 1);
    SendReturn(*start, QEvent::KeyRelease);
    SendReturn(*start, QEvent::KeyPress);
    EXPECT_EQ(clicks, 2) << "a press after the release";
    SendReturn(*start, QEvent::KeyRelease);

    // Repeats that the window system does not mark: presses alone, or a release and a press at one
    // time, across a box closed by the held key and without one.
    for (const bool across_box : {false, true}) {
        if (across_box) {
            OnNextBox([](QMessageBox& box) { SendReturn(*box.defaultButton(), QEvent::KeyPress); });
            toolkit.ShowMessage("Table 'shop.gone' doesn't exist");
        } else {
            SendReturn(*start, QEvent::KeyPress);
        }
        const int before = clicks;
        for (int i = 0; i < 3; ++i) {
            SendReturn(*start, QEvent::KeyPress);
            SendReturn(*start, QEvent::KeyRelease);
            SendReturn(*start, QEvent::KeyPress, false, true);
        }
        EXPECT_EQ(clicks, before) << (across_box ? "across a box" : "without a box");
        SendReturn(*start, QEvent::KeyRelease);
        SendReturn(*start, QEvent::KeyPress);
        SendReturn(*start, QEvent::KeyRelease);
        EXPECT_EQ(clicks, before + 1) << "a new press once released";
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

TEST(QtToolkit, TheDataFolderIsFoundFromTheExecutablesFolder) {
    const QString folder = QtToolkit().DataFolder();
    EXPECT_FALSE(folder.endsWith('/'));
    EXPECT_EQ(folder, DataFolderFor(QCoreApplication::applicationDirPath()));
}

TEST(DataFolder, IsBesideTheProgramWhenEitherFileIsThereElseTheInstalledShareFolder) {
    const QTemporaryDir bin;
    EXPECT_EQ(DataFolderFor(QStringLiteral("/usr/bin")), QStringLiteral("/usr/share/kestrelmoor"));
    EXPECT_EQ(DataFolderFor(bin.path()),
              QDir::cleanPath(bin.path() + QStringLiteral("/../share/kestrelmoor")));
    ASSERT_TRUE(QDir(bin.path()).mkpath(QStringLiteral("x")));
    EXPECT_NE(DataFolderFor(bin.path()), bin.path()) << "a folder x/ alone holds no skin";
    for (const char* file : {kPointerFileName, kSkinFileName}) {
        QFile put(bin.path() + QString::fromLatin1(file));
        ASSERT_TRUE(put.open(QIODevice::WriteOnly));
        put.close();
        EXPECT_EQ(DataFolderFor(bin.path()), bin.path()) << file;
        ASSERT_TRUE(put.remove());
    }
}

}  // namespace
}  // namespace kestrelmoor::ui
