// SPDX-License-Identifier: MIT
#include "ui/windows/connection_window.h"

#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>

#include <QCloseEvent>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

#include "common/error_locations.h"
#include "common/error_trap.h"
#include "common/scoped_flag.h"
#include "common/settings_file_check.h"
#include "db/connection_check.h"
#include "ui/app_shell.h"
#include "ui/desktop/visual_style.h"
#include "ui/desktop/window_placement.h"
#include "ui/windows/accessible_frame.h"
#include "ui/windows/connection_window_layout.h"
#include "ui/windows/connection_window_texts.h"

namespace kestrelmoor::ui {
namespace {

// Client area 8040 x 3645 twips.
constexpr int kClientWidth = 536;
constexpr int kClientHeight = 243;

std::string Utf8(const QLineEdit& box) {
    return box.text().toStdString();
}

}  // namespace

ConnectionWindow::ConnectionWindow(Toolkit& toolkit, db::Database& database, SettingsStore& settings,
                                   std::function<double()> random, const SecretService* secrets)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      toolkit_(toolkit),
      database_(database),
      settings_(settings),
      passwords_(settings, secrets),
      random_(std::move(random)),
      pointer_(*this) {
    setObjectName(QStringLiteral("Form1"));
    setFixedSize(kClientWidth, kClientHeight);
    PresentAsFrame(*this, QString::fromLatin1(kDisplayName) + QStringLiteral(" \u2013 MySQL Login"));
    UseProgramLook(*this);
    SetBackColor(*this, kWhite);

    auto* frame = new QGroupBox(QStringLiteral("MySQL Login"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setGeometry(TwipsRect(120, 120, 7800, 2865));
    frame->setFont(ControlFont());
    SetBackColor(*frame, kWhite);

    MakeTextBoxes(*frame);

    auto* test_connection = MakePushButton(*frame, "PushButton5", QStringLiteral("Test Connection"),
                                           TwipsRect(240, 2280, 3600, 405));
    auto* help =
        MakePushButton(*frame, "PushButton4", QStringLiteral("Help"), TwipsRect(3960, 2280, 3600, 405));
    MakeLabels(*frame);
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

db::Login ConnectionWindow::CurrentLogin() const {
    return {Utf8(*server_box_), Utf8(*user_box_), Utf8(*password_box_), Utf8(*database_box_),
            db::Port::FromText(Utf8(*port_box_))};
}

void ConnectionWindow::Load() {
    using Step = ConnectionWindowLoadStep;
    Trap trap(toolkit_, kConnectionWindowLoadLocation);
    trap.Step(Step::Skin, [&] { ApplySkin(*this, toolkit_.DataFolder()); });
    trap.Step(Step::Title, [&] {
        setWindowTitle(QString::fromLatin1(kDisplayName));
        setWindowIcon(ProgramIcon());
    });
    // The application's title is part of the title step, tried even when the window's title failed.
    trap.Step(Step::Title,
              [&] { toolkit_.SetApplicationTitle(AppTitleFor(QString::fromLatin1(kDisplayName))); });
    trap.Step(Step::HomePage, [&] { MaybeOpenHomePage(toolkit_, random_); });
    const QString pointer_file = toolkit_.DataFolder() + QString::fromLatin1(kPointerFileName);
    if (trap.Test(Step::PointerFileExists, [&] { return FileExists(pointer_file); })) {
        trap.Step(Step::Pointer, [&] {
            if (!pointer_.LoadPicture(pointer_file)) {
                throw std::runtime_error("Invalid picture");
            }
        });
    }
    // Each box is restored as its own step, in the order of kTextBoxes.
    constexpr Step kBoxSteps[] = {Step::ServerBox, Step::UserBox, Step::PasswordBox, Step::DatabaseBox,
                                  Step::PortBox};
    static_assert(std::size(kBoxSteps) == std::size(kTextBoxes));
    const bool usable = SettingsFileUsable();
    // What was read is not written back: a read-only settings folder would refuse it, once per box.
    const ScopedFlag restoring(restoring_);
    for (std::size_t i = 0; i < std::size(kBoxSteps); ++i) {
        trap.Step(kBoxSteps[i], [&] {
            const SettingField& field = FieldOf(kTextBoxes[i].key);
            const QString fallback =
                QString::fromUtf8(field.fallback.data(), static_cast<qsizetype>(field.fallback.size()));
            // The password may be the secret service's (and is moved there from the file).
            const QString stored = !usable                             ? fallback
                                   : field.key == SettingKey::Password ? passwords_.Read()
                                                                       : settings_.Read(field.key);
            (*Boxes()[i])->setText(stored);
        });
    }
    // The server box has the focus when the window first shows; its restored text is selected so that
    // typing replaces it. (Focus that comes with the window's activation selects nothing by itself.)
    server_box_->selectAll();
    if (trap.Test(Step::LoginFilledIn, [&] {
            return !server_box_->text().isEmpty() && !user_box_->text().isEmpty() &&
                   !password_box_->text().isEmpty() && !database_box_->text().isEmpty();
        })) {
        const ScopedFlag attempt(attempting_);
        if (trap.Test(Step::CanConnect,
                      [&] { return db::CanConnect(database_, CurrentLogin(), WaitHook()); })) {
            trap.Step(Step::Next, [&] { Next(); });
        }
    }
}

bool ConnectionWindow::SettingsFileUsable() {
    const QString path = settings_.FilePath();
    const std::string problem = SettingsFileProblem(QFile::encodeName(path).toStdString());
    if (problem.empty()) return true;
    // Read as it is, the file would give values the user never set; written, it would keep them.
    settings_passed_over_ = true;
    toolkit_.ShowMessage(QStringLiteral("The settings file ") + path + QStringLiteral(" is not used: ") +
                         QString::fromStdString(problem) +
                         QStringLiteral(". The boxes start with the defaults, and what you type is not "
                                        "stored until the file is mended or removed."));
    return false;
}

SecretKey ConnectionWindow::BoxesKey() const {
    return {Utf8(*server_box_), Utf8(*port_box_), Utf8(*user_box_)};
}

void ConnectionWindow::Store(SettingKey key, const QString& text) {
    if (restoring_ || settings_passed_over_) return;
    bool stored = key == SettingKey::Password || settings_.Write(key, text);
    // The password's item belongs to the server, port and user: it follows them as they are typed.
    if (key != SettingKey::Database) {
        PasswordKeeper::Kept kept = PasswordKeeper::Kept::NotStored;
        try {
            kept = key == SettingKey::Password ? passwords_.Keep(BoxesKey(), text)
                                               : passwords_.Follow(BoxesKey(), password_box_->text());
        } catch (const SettingsError&) {
            // A settings file that can no longer be read (a change handler has no trap): not stored.
        }
        if (kept == PasswordKeeper::Kept::NotStored) stored = false;
        if (kept == PasswordKeeper::Kept::InFileForNoService && !no_secret_service_told_) {
            no_secret_service_told_ = true;
            const QString text_of_box = QStringLiteral("No secret service answered (") +
                                        QString::fromStdString(passwords_.MissingService()) +
                                        QStringLiteral("). The password is kept in the settings file ") +
                                        settings_.FilePath() +
                                        QStringLiteral(", which only you can read, as before.");
            after_run_("secret service", [this, text_of_box] { toolkit_.ShowMessage(text_of_box); });
        }
    }
    if (stored || store_failure_told_) return;
    store_failure_told_ = true;
    const QString text_of_box =
        QStringLiteral("The login cannot be stored: the settings file ") + settings_.FilePath() +
        QStringLiteral(" cannot be written. What you type is used, but not remembered.");
    after_run_("settings", [this, text_of_box] { toolkit_.ShowMessage(text_of_box); });
}

void ConnectionWindow::LoadAndShow() {
    moved_on_ = false;
    Load();
    if (!moved_on_) {
        show();
    }
}

std::function<void()> ConnectionWindow::WaitHook() {
    return [this] { toolkit_.ProcessPendingEvents(); };
}

void ConnectionWindow::OnNext() {
    if (attempting_) return;
    const ScopedFlag attempt(attempting_);
    Next();
}

void ConnectionWindow::Next() {
    using Step = NextStep;
    Trap trap(toolkit_, kNextLocation);
    const db::Login login = CurrentLogin();  // as at the click: typing goes on during the attempt
    // A database component that cannot be made is reported, and "Next >" goes on as if it had connected.
    if (trap.Test(Step::CanConnect, [&] { return db::CanConnect(database_, login, WaitHook()); })) {
        accepted_login_ = login;
        trap.Step(Step::ShowExtractionWindow, [&] {
            if (show_extraction_window_) {
                show_extraction_window_();
            }
        });
        trap.Step(Step::Hide, [&] {
            hide();
            moved_on_ = true;
        });
    }
}

void ConnectionWindow::OnHelp() {
    after_run_("help", [this] { Help(); });
}

void ConnectionWindow::Help() {
    Trap trap(toolkit_, kHelpLocation);
    const QString text = HelpText();
    trap.Step(HelpStep::Show, [&] { toolkit_.ShowMessage(text); });
}

void ConnectionWindow::OnTestConnection() {
    after_run_("test connection", [this] { TestConnection(); });
}

void ConnectionWindow::TestConnection() {
    if (attempting_) return;
    const ScopedFlag attempt(attempting_);
    const db::Login login = CurrentLogin();
    Trap trap(toolkit_, kTestConnectionLocation);
    std::unique_ptr<db::Connection> connection;
    trap.Step(TestConnectionStep::CreateConnection, [&] { connection = database_.CreateConnection(); });
    // From here the test handles its own failures, and never shows the driver's text.
    try {
        pointer_.SetState(PointerState::kHourglass);
        toolkit_.ProcessPendingEventsNow();  // paints the hourglass before the blocking open
        if (!connection) {
            throw db::DatabaseError("No connection object");
        }
        connection->SetWaitHook(WaitHook());
        connection->Open(login);
        toolkit_.ShowMessage(kConnectedMessage);
        pointer_.SetState(PointerState::kDefault);
    } catch (...) {
        toolkit_.ShowMessage(kNotConnectedMessage);
        pointer_.SetState(PointerState::kDefault);
    }
    // Leaving releases the connection, which closes it.
}

void ConnectionWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    toolkit_.EndProgram();
}

}  // namespace kestrelmoor::ui
