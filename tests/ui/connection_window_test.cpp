// SPDX-License-Identifier: MIT
// The connection window on real widgets: its layout, the boxes stored as they are typed, and its three
// buttons against the test server.
#include <QApplication>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QScreen>

#include "common/error_locations.h"
#include "connection_window_fixture.h"
#include "support/failing_database.h"

namespace kestrelmoor::test {
namespace {

using ui::ConnectionWindow;

const QString kConnected = QStringLiteral("Connection successful.");
const QString kNotConnected = QStringLiteral(
    "Could not connect. Please check with your administrator. Make sure you are allowed to connect to your "
    "database remotely and not just through web-based control panels.");

void ShowActive(QWidget& window) {
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

TEST_F(ConnectionWindowTest, LayoutFollowsTheTwipsTableAtNinetySixDpi) {
    ConnectionWindow& window = MakeWindow();
    EXPECT_EQ(window.size(), QSize(536, 243));
    EXPECT_EQ(window.minimumSize(), window.maximumSize()) << "the user cannot resize it";
    const Qt::WindowFlags flags = window.windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    const QPoint off_centre =
        window.geometry().center() - QGuiApplication::primaryScreen()->availableGeometry().center();
    EXPECT_LE(off_centre.manhattanLength(), 1) << "centred on the screen";

    auto* frame = window.findChild<QGroupBox*>(QStringLiteral("Frame1"));
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->geometry(), QRect(8, 8, 520, 191));
    EXPECT_EQ(frame->title(), "MySQL Login");
    EXPECT_EQ(Box("Server").geometry(), QRect(88, 24, 305, 23));
    EXPECT_EQ(Box("Port").geometry(), QRect(432, 24, 73, 23));
    EXPECT_EQ(Box("Database").geometry(), QRect(88, 120, 417, 23));
    EXPECT_EQ(Button("Test Connection").geometry(), QRect(16, 152, 240, 27));
    EXPECT_EQ(Button("Next >").parentWidget(), &window);
    EXPECT_EQ(Button("Next >").geometry(), QRect(8, 208, 520, 27));
    for (int n = 1; n <= 5; ++n) EXPECT_EQ(Box(kBoxNames[n - 1]).parentWidget(), frame);

    // Each label stands 3 pixels below its box.
    const struct {
        const char* name;
        const char* caption;
        QRect geometry;
    } labels[] = {{"Label2", "Server:", {16, 27, 73, 17}},
                  {"Label1", "Username:", {16, 59, 73, 17}},
                  {"Label4", "Password:", {16, 91, 73, 17}},
                  {"Label3", "Database:", {16, 123, 65, 17}},
                  {"Label9", "Port:", {400, 27, 33, 17}}};
    for (const auto& label : labels) {
        auto* widget = window.findChild<QLabel*>(QString::fromLatin1(label.name));
        ASSERT_NE(widget, nullptr) << label.name;
        EXPECT_EQ(widget->text(), label.caption);
        EXPECT_EQ(widget->geometry(), label.geometry) << label.name;
    }
    EXPECT_EQ(Button("Test Connection").text(), "Test Connection");
    EXPECT_EQ(Button("Help").text(), "Help");
    EXPECT_EQ(Button("Next >").text(), "Next >");
}

TEST_F(ConnectionWindowTest, ArialResolvesToAMetricTwinInBold) {
    MakeWindow();
    const QFontInfo box(Box("Server").font());
    const QFontInfo button(Button("Next >").font());
    for (const QFontInfo* info : {&box, &button}) {
        EXPECT_TRUE(info->family() == "Arial" || info->family() == "Liberation Sans")
            << info->family().toStdString();
        EXPECT_TRUE(info->bold());
        EXPECT_FALSE(info->italic());
    }
    EXPECT_DOUBLE_EQ(Box("Server").font().pointSizeF(), 9.0);
    EXPECT_DOUBLE_EQ(Button("Next >").font().pointSizeF(), 11.25);
    EXPECT_DOUBLE_EQ(window_->findChild<QLabel*>("Label2")->font().pointSizeF(), 9.0);
}

TEST_F(ConnectionWindowTest, TabVisitsServerPortUserPasswordDatabaseAndTheButtonsInACycle) {
    ConnectionWindow& window = MakeWindow();
    ShowActive(window);
    EXPECT_EQ(QApplication::focusWidget(), &Box("Server")) << "the server box holds the focus at first";
    const char* expected[] = {"Text5",       "Text2",       "Text3",       "Text4",
                              "PushButton5", "PushButton4", "PushButton3", "Text1"};
    for (const char* name : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        EXPECT_EQ(QApplication::focusWidget()->objectName(), name);
    }
}

TEST_F(ConnectionWindowTest, EachKeystrokeIsStoredAtOnceAndARestartShowsIt) {
    MakeWindow();
    QTest::keyClick(&Box("Server"), Qt::Key_A);
    EXPECT_EQ(Stored(SettingKey::Server), "a");
    QTest::keyClick(&Box("Server"), Qt::Key_B);
    EXPECT_EQ(Stored(SettingKey::Server), "ab");
    QTest::keyClick(&Box("Server"), Qt::Key_C);
    EXPECT_EQ(Stored(SettingKey::Server), "abc");
    EXPECT_EQ(Stored(SettingKey::User), "") << "only the typed box's key changes";

    QTest::keyClicks(&Box("Password"), "s3cr t");
    EXPECT_EQ(Box("Password").displayText(), "******") << "one * per character";
    EXPECT_FALSE(Box("Password").testAttribute(Qt::WA_InputMethodEnabled));
    EXPECT_EQ(Stored(SettingKey::Password), "s3cr t") << "stored exactly as typed";

    MakeWindow().Load();
    EXPECT_EQ(Box("Server").text(), "abc");
    EXPECT_EQ(Box("Password").text(), "s3cr t");
}

TEST_F(ConnectionWindowTest, AClearedBoxStaysEmptyAfterARestartAndLongValuesAreKeptWhole) {
    MakeWindow().Load();
    EXPECT_EQ(Stored(SettingKey::Server), "localhost") << "restoring writes the value back";
    Box("Server").selectAll();
    QTest::keyClick(&Box("Server"), Qt::Key_Delete);
    EXPECT_EQ(Stored(SettingKey::Server), "");
    const QString long_name(40000, QLatin1Char('d'));
    Box("Database").setText(long_name);

    MakeWindow().Load();
    EXPECT_EQ(Box("Server").text(), "") << "an empty stored value is not the default";
    EXPECT_EQ(Box("Database").text(), long_name);
}

TEST_F(ConnectionWindowTest, FocusByTabOrByClickSelectsTheWholeText) {
    ConnectionWindow& window = MakeWindow();
    Fill({"db.example", "maria", "pw", "shop", db::Port(3307)});
    ShowActive(window);
    QTest::keyClick(&Box("Server"), Qt::Key_Tab);
    EXPECT_EQ(Box("Port").selectedText(), "3307");

    QTest::mouseClick(&Box("Database"), Qt::LeftButton, {}, QPoint(40, 10));
    QTest::qWait(20);
    EXPECT_TRUE(Box("Database").hasFocus());
    EXPECT_EQ(Box("Database").selectedText(), "shop");

    // Coming back to the window is no new visit: the user's selection stays.
    Box("Database").setSelection(1, 2);
    QFocusEvent back(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(&Box("Database"), &back);
    QTest::qWait(20);
    EXPECT_EQ(Box("Database").selectedText(), "ho");
}

TEST_F(ConnectionWindowTest, HelpShowsItsTextWordForWord) {
    MakeWindow();
    QTest::mouseClick(&Button("Help"), Qt::LeftButton);
    const QString expected = QStringLiteral(
        "If you cannot establish connection to your database with this program, please go to: \r\r"
        "https://dev.mysql.com/downloads/gui-tools/\r\r"
        "Download and install the MySQL GUI Tools. Use the MySQL Query Browser. Try to connect to the same "
        "database (with the same login information you are using here). This will determine if the login you "
        "are using is correct.\r\r"
        " Finally, make sure your host allows a direct connection to your MySQL database -- not a web based "
        "connection, for example.");
    ASSERT_EQ(toolkit_.Boxes().size(), 1u);
    EXPECT_EQ(toolkit_.Boxes()[0].kind, ScriptedToolkit::BoxKind::Message);
    EXPECT_EQ(toolkit_.Boxes()[0].text, expected);
}

TEST_F(ConnectionWindowTest, ClosingEndsTheProgram) {
    ConnectionWindow& window = MakeWindow();
    window.show();
    window.close();
    EXPECT_EQ(toolkit_.EndProgramCalls(), 1);
}

TEST_F(ConnectionWindowServerTest, TestConnectionWithAGoodLoginShowsSuccessUnderTheHourglass) {
    ConnectionWindow& window = MakeWindow();
    Fill(good_);
    std::vector<ui::PointerState> pointer_while_message;
    int sessions_while_message = -1;
    toolkit_.OnShowMessage([&] {
        pointer_while_message.push_back(window.Pointer().State());
        sessions_while_message = ScratchSessions();
    });
    QTest::mouseClick(&Button("Test Connection"), Qt::LeftButton);
    EXPECT_EQ(Boxes(), QStringList{kConnected});
    EXPECT_EQ(toolkit_.ProcessEventsNowCalls(), 1);
    EXPECT_EQ(pointer_while_message, std::vector<ui::PointerState>{ui::PointerState::kHourglass});
    EXPECT_EQ(sessions_while_message, 1) << "the connection is open while the message shows";
    EXPECT_EQ(window.Pointer().State(), ui::PointerState::kDefault);
    EXPECT_EQ(ScratchSessionsSettled(), 0) << "and released after it";
}

TEST_F(ConnectionWindowServerTest, TestConnectionWithAWrongLoginShowsOnlyTheFailureMessage) {
    ConnectionWindow& window = MakeWindow();
    Fill(bad_);
    std::vector<ui::PointerState> pointer_while_message;
    toolkit_.OnShowMessage([&] { pointer_while_message.push_back(window.Pointer().State()); });
    QTest::mouseClick(&Button("Test Connection"), Qt::LeftButton);
    EXPECT_EQ(Boxes(), QStringList{kNotConnected}) << "no driver text, no error report";
    EXPECT_EQ(pointer_while_message, std::vector<ui::PointerState>{ui::PointerState::kHourglass});
    EXPECT_EQ(window.Pointer().State(), ui::PointerState::kDefault);
}

TEST_F(ConnectionWindowServerTest, TestConnectionWithoutADatabaseComponentReportsLine100ThenFails) {
    FailingDatabase failing;
    MakeWindow(failing);
    Fill(good_);
    QTest::mouseClick(&Button("Test Connection"), Qt::LeftButton);
    ASSERT_EQ(toolkit_.Boxes().size(), 2u);
    EXPECT_EQ(ReportLines(kTestConnectionLocation), std::vector<int>{100});
    EXPECT_EQ(toolkit_.Boxes()[1].text, kNotConnected);
    EXPECT_EQ(window_->Pointer().State(), ui::PointerState::kDefault);
}

TEST_F(ConnectionWindowServerTest, NextWithAGoodLoginShowsTheExtractionWindowAndHides) {
    ConnectionWindow& window = MakeWindow();
    Fill(good_);
    window.show();
    QTest::mouseClick(&Button("Next >"), Qt::LeftButton);
    EXPECT_EQ(extraction_window_shown_, 1);
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(toolkit_.Boxes().empty());
}

TEST_F(ConnectionWindowServerTest, NextWithAFailingLoginDoesNothingVisible) {
    ConnectionWindow& window = MakeWindow();
    Fill(bad_);
    window.show();
    QTest::mouseClick(&Button("Next >"), Qt::LeftButton);
    EXPECT_EQ(extraction_window_shown_, 0);
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(toolkit_.Boxes().empty());
    EXPECT_EQ(window.Pointer().State(), ui::PointerState::kDefault);
}

TEST_F(ConnectionWindowTest, NextWithoutADatabaseComponentReportsLine100AndStillMovesOn) {
    FailingDatabase failing;
    ConnectionWindow& window = MakeWindow(failing);
    window.show();
    window.OnNext();
    EXPECT_EQ(ReportLines(kNextLocation), std::vector<int>{100});
    EXPECT_EQ(extraction_window_shown_, 1);
    EXPECT_FALSE(window.isVisible());
}

}  // namespace
}  // namespace kestrelmoor::test
