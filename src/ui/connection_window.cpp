// SPDX-License-Identifier: MIT
#include "ui/connection_window.h"

#include <limits>
#include <memory>
#include <stdexcept>
#include <string>

#include <QCloseEvent>
#include <QEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include "common/error_locations.h"
#include "common/error_trap.h"
#include "db/connection_check.h"
#include "ui/app_shell.h"
#include "ui/visual_style.h"

namespace kestrelmoor::ui {
namespace {

// Client area 8040 x 3645 twips.
constexpr int kClientWidth = 536;
constexpr int kClientHeight = 243;

const QString kConnectedMessage = QStringLiteral("Connection successful.");
const QString kNotConnectedMessage = QStringLiteral(
    "Could not connect. Please check with your administrator. Make sure you are allowed to connect to your "
    "database remotely and not just through web-based control panels.");
// The database vendor's download page of its GUI tools.
const QString kGuiToolsPage = QStringLiteral("https://dev.mysql.com/downloads/gui-tools/");

// The help text; its line breaks are single carriage returns.
QString HelpText() {
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

// Selects a text box's whole text whenever it gains the focus, by keyboard or mouse. A click places
// the cursor after the focus arrives, so the selection is made again once the click is handled. The
// focus that comes back with the window's activation or after a context menu is not a new visit, and
// leaves the selection as the user had it.
class SelectAllOnFocus : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::FocusIn) return false;
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        auto* box = qobject_cast<QLineEdit*>(watched);
        if (box == nullptr || reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) {
            return false;
        }
        box->selectAll();
        QTimer::singleShot(0, box, [box] {
            if (box->hasFocus()) box->selectAll();
        });
        return false;
    }
};

struct TextBoxLayout {
    const char* name;
    SettingKey key;
    QRect geometry;
};

// The boxes in the order of the login's fields, as ConnectionWindow::Boxes() lists them.
const TextBoxLayout kTextBoxes[] = {
    {"Text1", SettingKey::Server, TwipsRect(1320, 360, 4575, 345)},
    {"Text2", SettingKey::User, TwipsRect(1320, 840, 6255, 345)},
    {"Text3", SettingKey::Password, TwipsRect(1320, 1320, 6255, 345)},
    {"Text4", SettingKey::Database, TwipsRect(1320, 1800, 6255, 345)},
    {"Text5", SettingKey::Port, TwipsRect(6480, 360, 1095, 345)},
};

struct LabelLayout {
    const char* name;
    const char* caption;
    QRect geometry;
};

const LabelLayout kLabels[] = {
    {"Label9", "Port:", TwipsRect(6000, 405, 495, 255)},
    {"Label4", "Password:", TwipsRect(240, 1365, 1095, 255)},
    {"Label3", "Database:", TwipsRect(240, 1845, 975, 255)},
    {"Label2", "Server:", TwipsRect(240, 405, 1095, 255)},
    {"Label1", "Username:", TwipsRect(240, 885, 1095, 255)},
};

QPushButton* MakePushButton(QWidget& parent, const char* name, const QString& caption,
                            const QRect& geometry) {
    auto* button = new QPushButton(caption, &parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    button->setAutoDefault(false);
    StylePushButton(*button);
    return button;
}

std::string Utf8(const QLineEdit& box) {
    return box.text().toStdString();
}

}  // namespace

ConnectionWindow::ConnectionWindow(Toolkit& toolkit, db::Database& database, SettingsStore& settings,
                                   std::function<double()> random)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      toolkit_(toolkit),
      database_(database),
      settings_(settings),
      random_(std::move(random)),
      pointer_(*this) {
    setObjectName(QStringLiteral("Form1"));
    setFixedSize(kClientWidth, kClientHeight);
    SetBackColor(*this, kWhite);

    auto* frame = new QGroupBox(QStringLiteral("MySQL Login"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setGeometry(TwipsRect(120, 120, 7800, 2865));
    frame->setFont(ControlFont());
    SetBackColor(*frame, kWhite);

    // Created in the layout's order: port, database, password, user name, server.
    auto* select_all = new SelectAllOnFocus(this);
    for (int i = 4; i >= 0; --i) {
        const TextBoxLayout& layout = kTextBoxes[i];
        auto* box = new QLineEdit(frame);
        box->setObjectName(QString::fromLatin1(layout.name));
        box->setGeometry(layout.geometry);
        box->setFont(ControlFont());
        box->setMaxLength(std::numeric_limits<int>::max());
        SetBackColor(*box, kWindowBackground);
        SetForeColor(*box, kWindowText);
        box->installEventFilter(select_all);
        const SettingKey key = layout.key;
        // Every change is stored at once, the program's own assignments included; a store that cannot
        // be written leaves the box as typed.
        connect(box, &QLineEdit::textChanged, this,
                [this, key](const QString& text) { settings_.Write(key, text); });
        *Boxes()[static_cast<std::size_t>(i)] = box;
    }
    QLineEdit* password = password_box_;
    password->setEchoMode(QLineEdit::Password);
    password->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));  // '*'
    password->setAttribute(Qt::WA_InputMethodEnabled, false);
    password->setInputMethodHints(Qt::ImhHiddenText | Qt::ImhSensitiveData | Qt::ImhNoPredictiveText |
                                  Qt::ImhNoAutoUppercase);

    auto* test_connection = MakePushButton(*frame, "PushButton5", QStringLiteral("Test Connection"),
                                           TwipsRect(240, 2280, 3600, 405));
    auto* help =
        MakePushButton(*frame, "PushButton4", QStringLiteral("Help"), TwipsRect(3960, 2280, 3600, 405));
    for (const LabelLayout& layout : kLabels) {
        auto* label = new QLabel(QString::fromLatin1(layout.caption), frame);
        label->setObjectName(QString::fromLatin1(layout.name));
        label->setGeometry(layout.geometry);
        label->setFont(ControlFont());
        SetBackColor(*label, kWhite);
    }
    auto* next =
        MakePushButton(*this, "PushButton3", QStringLiteral("Next >"), TwipsRect(120, 3120, 7800, 405));

    connect(test_connection, &QPushButton::clicked, this, [this] { OnTestConnection(); });
    connect(help, &QPushButton::clicked, this, [this] { OnHelp(); });
    connect(next, &QPushButton::clicked, this, [this] { OnNext(); });

    // Server, port, user name, password, database, then the buttons left to right and "Next >".
    QWidget* const tab_order[] = {server_box_,   port_box_,       user_box_, password_box_,
                                  database_box_, test_connection, help,      next};
    for (std::size_t i = 1; i < std::size(tab_order); ++i) {
        setTabOrder(tab_order[i - 1], tab_order[i]);
    }
    server_box_->setFocus();

    for (QPushButton* button : {test_connection, help, next}) {
        pointer_.AddHoverTarget(*button, PointerState::kCustom);
    }
    pointer_.AddHoverTarget(*this, PointerState::kDefault);
    pointer_.AddHoverTarget(*frame, PointerState::kDefault);
    for (QLineEdit** box : Boxes()) {
        pointer_.AddHoverTarget(**box, PointerState::kDefault);
    }

    CentreOnScreen(*this);
}

std::array<QLineEdit**, 5> ConnectionWindow::Boxes() {
    return {&server_box_, &user_box_, &password_box_, &database_box_, &port_box_};
}

db::Login ConnectionWindow::CurrentLogin() const {
    return {Utf8(*server_box_), Utf8(*user_box_), Utf8(*password_box_), Utf8(*database_box_),
            Utf8(*port_box_)};
}

void ConnectionWindow::Load() {
    Trap trap(toolkit_, kConnectionWindowLoadLocation);
    trap.step(100, [&] { ApplySkin(*this, toolkit_.ProgramFolder()); });
    trap.step(104, [&] {
        setWindowTitle(QString::fromLatin1(kDisplayName));
        setWindowIcon(ProgramIcon());
    });
    trap.step([&] { toolkit_.SetApplicationTitle(AppTitleFor(QString::fromLatin1(kDisplayName))); });
    trap.step(106, [&] { MaybeOpenHomePage(toolkit_, random_); });
    const QString pointer_file = toolkit_.ProgramFolder() + QString::fromLatin1(kPointerFileName);
    if (trap.test(124, [&] { return FileExists(pointer_file); })) {
        trap.step(126, [&] {
            if (!pointer_.LoadPicture(pointer_file)) {
                throw std::runtime_error("Invalid picture");
            }
        });
    }
    constexpr int kFirstFieldLine = 128;
    for (int i = 0; i < 5; ++i) {
        trap.step(kFirstFieldLine + 2 * i, [&] {
            const QString stored = settings_.Read(kTextBoxes[i].key);
            (*Boxes()[static_cast<std::size_t>(i)])->setText(stored);
        });
    }
    // The server box has the focus when the window first shows; its restored text is selected so that
    // typing replaces it. (Focus that comes with the window's activation selects nothing by itself.)
    server_box_->selectAll();
    if (trap.test(138, [&] {
            return !server_box_->text().isEmpty() && !user_box_->text().isEmpty() &&
                   !password_box_->text().isEmpty() && !database_box_->text().isEmpty();
        })) {
        if (trap.test(140, [&] { return db::CanConnect(database_, CurrentLogin()); })) {
            trap.step(142, [&] { OnNext(); });
        }
    }
}

void ConnectionWindow::LoadAndShow() {
    moved_on_ = false;
    Load();
    if (!moved_on_) {
        show();
    }
}

void ConnectionWindow::OnNext() {
    Trap trap(toolkit_, kNextLocation);
    // A database component that cannot be made is reported, and "Next >" goes on as if it had connected.
    if (trap.test(100, [&] { return db::CanConnect(database_, CurrentLogin()); })) {
        trap.step(102, [&] {
            if (show_extraction_window_) {
                show_extraction_window_();
            }
        });
        trap.step(104, [&] {
            hide();
            moved_on_ = true;
        });
    }
}

void ConnectionWindow::OnHelp() {
    Trap trap(toolkit_, kHelpLocation);
    trap.line(100);
    const QString text = HelpText();
    trap.step(114, [&] { toolkit_.ShowMessage(text); });
}

void ConnectionWindow::OnTestConnection() {
    Trap trap(toolkit_, kTestConnectionLocation);
    std::unique_ptr<db::Connection> connection;
    trap.step(100, [&] { connection = database_.CreateConnection(); });
    // From here the test handles its own failures, and never shows the driver's text.
    try {
        trap.line(102);
        pointer_.SetState(PointerState::kHourglass);
        trap.line(104);
        toolkit_.ProcessPendingEventsNow();  // paints the hourglass before the blocking open
        trap.line(106);
        if (!connection) {
            throw db::DatabaseError("No connection object");
        }
        connection->Open(CurrentLogin());
        trap.line(108);
        toolkit_.ShowMessage(kConnectedMessage);
        trap.line(110);
        pointer_.SetState(PointerState::kDefault);
    } catch (...) {
        trap.line(114);
        toolkit_.ShowMessage(kNotConnectedMessage);
        trap.line(116);
        pointer_.SetState(PointerState::kDefault);
    }
    // Leaving releases the connection, which closes it.
}

void ConnectionWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    toolkit_.EndProgram();
}

}  // namespace kestrelmoor::ui
