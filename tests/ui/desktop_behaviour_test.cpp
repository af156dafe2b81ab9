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
#include <QLabel>
#include <QPushButton>

#include "connection_window_fixture.h"
#include "db/server_test_helpers.h"
#include "support/failing_database.h"
#include "ui/desktop/visual_style.h"
#include "ui/windows/extraction_window.h"

namespace kestrelmoor::test {
namespace {

// The contrast ratio of two colours as the accessibility guidelines define it.
double Contrast(const QColor& a, const QColor& b) {
    const auto luminance = [](const QColor& c) {
        const auto channel = [](int value) {
            const double v = value / 255.0;
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
    };
    const double la = luminance(a);
    const double lb = luminance(b);
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

TEST_F(ConnectionWindowTest, EveryCaptionOfBothWindowsReadsUnderADarkDesktop) {
    const QPalette saved = QApplication::palette();
    const QColor grey(0x30, 0x30, 0x30);
    const QPalette dark(grey, grey);  // faces dark grey, the text white: as Adwaita-dark
    QApplication::setPalette(dark);
    FailingDatabase failing;
    MakeWindow(failing).Load();
    ExpectEveryCaptionReadable(*window_);
    ui::ExtractionWindow extraction(
        toolkit_, failing, [] { return db::Login{}; }, [] {});
    extraction.Load();  // the table list cannot be read: reported
    ExpectEveryCaptionReadable(extraction);
    QApplication::setPalette(saved);
}

TEST_F(ConnectionWindowTest, EnterInABoxOrOnAButtonAndScreenReaderNames) {
    FailingDatabase failing;  // "Next >" reports that it cannot try, and moves on
    MakeWindow(failing).show();
    QTest::keyClick(&Box("Database"), Qt::Key_Return);
    EXPECT_EQ(extraction_window_shown_, 1) << "Enter in a box does what Next > does";
    Button("Help").setFocus();
    QTest::keyClick(&Button("Help"), Qt::Key_Return);
    EXPECT_TRUE(toolkit_.Boxes().back().text.startsWith("If you cannot")) << "Enter presses Help";
    const char* names[] = {"Server", "Username", "Password", "Database", "Port"};
    for (int n = 1; n <= 5; ++n) {
        auto* box = window_->findChild<QLineEdit*>(QStringLiteral("Text%1").arg(n));  // skins select by these
        EXPECT_EQ(QAccessible::queryAccessibleInterface(box)->text(QAccessible::Name), names[n - 1]);
    }
}

TEST(CheckListView, ShowsItsFocusAlsoWithoutACurrentRowAndAButtonFocusedByAClick) {
    QWidget window;
    ui::CheckListView list(&window);
    QPushButton button(QStringLiteral("Help"), &window);
    button.move(0, 110);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    button.setFocus();
    const QImage list_unfocused = list.grab().toImage();
    list.setFocus(Qt::MouseFocusReason);
    const QImage button_unfocused = button.grab().toImage();
    EXPECT_NE(list.grab().toImage(), list_unfocused) << "an empty list shows that it has the focus";
    button.setFocus(Qt::MouseFocusReason);
    EXPECT_NE(button.grab().toImage(), button_unfocused);
}

// A loopback port that accepts connections and never says a word, until the test lets it go after
// 300 ms of waiting (each attempt then fails at once). Meanwhile every event pass is timed, and the
// third does what the test asks, as a user would while the window waits.
class SilentServerTest : public ConnectionWindowTest {
  protected:
    db::Login Silent() {
        silent_.emplace();
        return {"127.0.0.1", "u", "pw", "shop", db::Port::FromText(silent_->Port())};
    }
    void WhileWaiting(std::function<void()> meanwhile) {
        QElapsedTimer clock;
        clock.start();
        toolkit_.OnProcessEvents([this, clock, meanwhile, last = qint64{-1}, passes = 0]() mutable {
            if (last >= 0) longest_pause_ = std::max(longest_pause_, clock.elapsed() - last);
            last = clock.elapsed();
            if (++passes == 3) meanwhile();
            if (last > 300) silent_.reset();
        });
    }

    std::optional<SilentListener> silent_;
    qint64 longest_pause_ = 0;
};

TEST_F(SilentServerTest, EveryAttemptKeepsEventsFlowingIgnoresASecondClickAndKeepsWhatIsTyped) {
    Store(Silent());
    MakeWindow();
    WhileWaiting([this] { QTest::keyClick(&Box("Database"), Qt::Key_Return); });
    window_->LoadAndShow();  // the remembered login is tried first
    EXPECT_TRUE(window_->isVisible());

    Fill(Silent());
    WhileWaiting([this] {
        QTest::mouseClick(&Button("Test Connection"), Qt::LeftButton);
        QTest::keyClicks(&Box("Database"), "2");
    });
    QTest::mouseClick(&Button("Test Connection"), Qt::LeftButton);
    EXPECT_EQ(Boxes().size(), 1) << "one attempt, one message: " << Boxes().join("|").toStdString();
    EXPECT_EQ(Stored(SettingKey::Database), "shop2") << "typed during the attempt, and stored";

    Fill(Silent());
    WhileWaiting([this] { QTest::mouseClick(&Button("Next >"), Qt::LeftButton); });
    QTest::mouseClick(&Button("Next >"), Qt::LeftButton);
    EXPECT_EQ(extraction_window_shown_, 0);
    EXPECT_LE(longest_pause_, 100) << "events every 100 ms at least";
}

}  // namespace
}  // namespace kestrelmoor::test
