// SPDX-License-Identifier: MIT
// A connection window with the scripted toolkit, its own settings file and, where needed, a login on a
// scratch database of the test server.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "common/settings_store.h"
#include "control_by_name.h"
#include "db/mariadb_database.h"
#include "support/report_lines.h"
#include "support/scripted_toolkit.h"
#include "support/test_server.h"
#include "ui/windows/connection_window.h"

namespace kestrelmoor::test {

inline QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

class ConnectionWindowHarness {
  public:
    ConnectionWindowHarness() { ClearSettings(); }

    static void ClearSettings() { QFile::remove(SettingsStore().FilePath()); }
    static QString Stored(SettingKey key) { return SettingsStore().Read(key); }
    static void Store(const db::Login& profile) {
        SettingsStore store;
        store.Write(SettingKey::Server, Q(profile.server));
        store.Write(SettingKey::User, Q(profile.user));
        store.Write(SettingKey::Password, Q(profile.password));
        store.Write(SettingKey::Database, Q(profile.database));
        store.Write(SettingKey::Port, Q(profile.port.Text()));
    }

    // A new window (as after a restart) on `database`; `random` is what every draw gives.
    ui::ConnectionWindow& MakeWindow(db::Database& database, double random = 0.5) {
        window_ = std::make_unique<ui::ConnectionWindow>(
            toolkit_, database, settings_, [random] { return random; }, secrets_);
        window_->SetShowExtractionWindow([this] { ++extraction_window_shown_; });
        return *window_;
    }
    ui::ConnectionWindow& MakeWindow(double random = 0.5) { return MakeWindow(database_, random); }

    // The boxes' names in the order of their labels' numbers in the layout.
    static constexpr const char* kBoxNames[] = {"Server", "Username", "Password", "Database", "Port"};
    QLineEdit& Box(const char* name) const {
        return ControlByName<QLineEdit>(*window_, QString::fromLatin1(name));
    }
    QPushButton& Button(const char* caption) const {
        return ControlByName<QPushButton>(*window_, QString::fromLatin1(caption));
    }
    void Fill(const db::Login& profile) const {
        Box("Server").setText(Q(profile.server));
        Box("Username").setText(Q(profile.user));
        Box("Password").setText(Q(profile.password));
        Box("Database").setText(Q(profile.database));
        Box("Port").setText(Q(profile.port.Text()));
    }
    QStringList Boxes() const {
        QStringList texts;
        for (const ScriptedToolkit::Box& box : toolkit_.Boxes()) texts.append(box.text);
        return texts;
    }
    std::vector<int> ReportLines(std::string_view location) const {
        return test::ReportLines(toolkit_.ErrorReports(), location);
    }

    ScriptedToolkit toolkit_;
    db::MariaDbDatabase database_;
    SettingsStore settings_;
    const SecretService* secrets_ = nullptr;  // the password in the settings file unless set
    std::unique_ptr<ui::ConnectionWindow> window_;
    int extraction_window_shown_ = 0;
};

class ConnectionWindowTest : public ::testing::Test, public ConnectionWindowHarness {};

// With a login that connects (to a scratch database) and one that does not.
class ConnectionWindowServerTest : public ScratchServerTest, public ConnectionWindowHarness {
  protected:
    ConnectionWindowServerTest() : ScratchServerTest("form1") {}
    void SetUp() override {
        ScratchServerTest::SetUp();
        if (HasFatalFailure() || IsSkipped()) return;
        good_ = ScratchLogin();
        bad_ = good_;
        bad_.password += "-wrong";
    }

    db::Login good_;
    db::Login bad_;
};

}  // namespace kestrelmoor::test
