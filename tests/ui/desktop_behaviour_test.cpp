// SPDX-License-Identifier: MIT
// The windows on a desktop of today: readable under a dark desktop palette, responsive while a server
// keeps silent, driven from the keyboard and named for screen readers.
#include <cmath>
#include <optional>

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>

#include "connection_window_fixture.h"
#include "db/server_test_helpers.h"
#include "support/failing_database.h"
#include "ui/extraction_window.h"
#include "ui/visual_style.h"

namespace kestrelmoor::test {
namespace {

const QString kNotConnected = QStringLiteral(
    "Could not connect. Please check with your administrator. Make sure you are allowed to connect to your "
    "database remotely and not just through web-based control panels.");

double Luminance(const QColor& color) {
    const auto channel = [](int value) {
        const double v = value / 255.0;
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(color.red()) + 0.7152 * channel(color.green()) + 0.0722 * channel(color.blue());
}

double Contrast(const QColor& a, const QColor& b) {
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Every control of the window that shows text: its text against its background.
void ExpectEveryCaptionReadable(QWidget& window) {
    for (QWidget* control : window.findChildren<QWidget*>()) {
        if (!qobject_cast<QLabel*>(control) && !qobject_cast<QAbstractButton*>(control) &&
            !qobject_cast<QGroupBox*>(control) && !qobject_cast<QLineEdit*>(control) &&
            !qobject_cast<QAbstractItemView*>(control)) {
            continue;
        }
        control->ensurePolished();
        const QPalette& palette = control->palette();
        EXPECT_GE(
            Contrast(palette.color(control->foregroundRole()), palette.color(control->backgroundRole())), 4.5)
            << window.objectName().toStdString() << "." << control->objectName().toStdString();
    }
}

// The application palette of a dark desktop theme for as long as it lives.
class DarkDesktop {
  public:
    DarkDesktop() {
        QPalette dark;
        for (const QPalette::ColorRole role : {QPalette::Window, QPalette::Button, QPalette::Base}) {
            dark.setColor(role, QColor(0x30, 0x30, 0x30));
        }
        for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text}) {
            dark.setColor(role, Qt::white);
        }
        QApplication::setPalette(dark);
    }
    ~DarkDesktop() { QApplication::setPalette(saved_); }

  private:
    QPalette saved_ = QApplication::palette();
};

TEST_F(ConnectionWindowTest, EveryCaptionOfBothWindowsReadsUnderADarkDesktop) {
    const DarkDesktop dark;
    FailingDatabase failing;
    MakeWindow(failing).Load();
    ExpectEveryCaptionReadable(*window_);
    ui::ExtractionWindow extraction(
        toolkit_, failing, [] { return db::Login{}; }, [] {});
    extraction.Load();  // the table list cannot be read: reported
    ExpectEveryCaptionReadable(extraction);
    EXPECT_EQ(ui::ColorOf(ui::kButtonText), QColor(Qt::black)) << "system colours are the program's";
}

TEST_F(ConnectionWindowTest, EnterInABoxOrOnAButtonAndScreenReaderNames) {
    FailingDatabase failing;  // "Next >" reports that it cannot try, and moves on
    ui::ConnectionWindow& window = MakeWindow(failing);
    window.show();
    QTest::keyClick(&Text(4), Qt::Key_Return);
    EXPECT_EQ(extraction_window_shown_, 1) << "Enter in a box does what Next > does";
    Button(4).setFocus();
    QTest::keyClick(&Button(4), Qt::Key_Return);
    EXPECT_EQ(toolkit_.Boxes().back().text.left(20), "If you cannot establ") << "Enter presses Help";

    const char* names[] = {"Server", "Username", "Password", "Database", "Port"};
    for (int n = 1; n <= 5; ++n) {
        QAccessibleInterface* box = QAccessible::queryAccessibleInterface(&Text(n));
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text(QAccessible::Name), names[n - 1]);
    }
}

TEST(CheckListView, ShowsItsFocusAlsoWithoutACurrentRowAndAfterAClick) {
    QWidget window;
    ui::UseProgramLook(window);
    ui::CheckListView list(&window);
    list.resize(200, 100);
    QPushButton button(QStringLiteral("Help"), &window);
    button.move(0, 110);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    button.setFocus();
    const QImage unfocused = list.grab().toImage();
    list.setFocus(Qt::MouseFocusReason);
    EXPECT_NE(list.grab().toImage(), unfocused) << "an empty list shows that it has the focus";
    const QImage button_unfocused = button.grab().toImage();
    button.setFocus(Qt::MouseFocusReason);
    EXPECT_NE(button.grab().toImage(), button_unfocused) << "a button focused by a click shows it";
}

// A login on a loopback port that accepts the connection and never says a word, until `silent` is
// reset (then the attempt fails at once).
class SilentServerTest : public ConnectionWindowTest {
  protected:
    db::Login Silent() const { return {"127.0.0.1", "u", "pw", "shop", silent_->Port()}; }

    // Runs at every event pass while the window waits: records the longest pause between two passes,
    // does `meanwhile` at the third, and lets the server go after 300 ms.
    void WhileWaiting(std::function<void()> meanwhile) {
        clock_.start();
        toolkit_.OnProcessEvents([this, meanwhile, last = qint64{-1}, passes = 0]() mutable {
            if (last >= 0) longest_pause_ = std::max(longest_pause_, clock_.elapsed() - last);
            last = clock_.elapsed();
            if (++passes == 3 && meanwhile) meanwhile();
            if (last > 300) silent_.reset();
        });
    }

    std::optional<SilentListener> silent_{std::in_place};
    QElapsedTimer clock_;
    qint64 longest_pause_ = 0;
};

TEST_F(SilentServerTest, TestConnectionKeepsEventsFlowingIgnoresASecondClickAndKeepsWhatIsTyped) {
    MakeWindow();
    Fill(Silent());
    WhileWaiting([this] {
        QTest::mouseClick(&Button(5), Qt::LeftButton);
        QTest::keyClicks(&Text(4), "2");
    });
    QTest::mouseClick(&Button(5), Qt::LeftButton);
    EXPECT_EQ(Boxes(), QStringList{kNotConnected}) << "one attempt, one message";
    EXPECT_LE(longest_pause_, 100);
    EXPECT_EQ(Text(4).text(), "shop2");
    EXPECT_EQ(Stored(SettingKey::Database), "shop2");
}

TEST_F(SilentServerTest, TheStartUpAttemptAndNextKeepEventsFlowing) {
    Store(Silent());
    MakeWindow();
    WhileWaiting([this] { QTest::keyClick(&Text(4), Qt::Key_Return); });  // ignored meanwhile
    window_->LoadAndShow();
    EXPECT_TRUE(window_->isVisible());
    EXPECT_LE(longest_pause_, 100);

    silent_.emplace();
    Fill(Silent());
    WhileWaiting([this] { QTest::mouseClick(&Button(3), Qt::LeftButton); });
    QTest::mouseClick(&Button(3), Qt::LeftButton);
    EXPECT_LE(longest_pause_, 100);
    EXPECT_EQ(extraction_window_shown_, 0);
    EXPECT_TRUE(toolkit_.Boxes().empty());
}

}  // namespace
}  // namespace kestrelmoor::test
