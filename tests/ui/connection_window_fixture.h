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
#include "db/mariadb_database.h"
#include "support/report_lines.h"
#include "support/scripted_toolkit.h"
#include "support/test_server.h"
#include "ui/connection_window.h"

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
        store.Write(SettingKey::Port, Q(profile.port));
    }

    // A new window (as after a restart) on `database`; `random` is what every draw gives.
    ui::ConnectionWindow& MakeWindow(db::Database& database, double random = 0.5) {
        window_ = std::make_unique<ui::ConnectionWindow>(toolkit_, database, settings_,
                                                         [random] { return random; });
        window_->SetShowExtractionWindow([this] { ++extraction_window_shown_; });
        return *window_;
    }
    ui::ConnectionWindow& MakeWindow(double random = 0.5) { return MakeWindow(database_, random); }

    QLineEdit& Text(int n) const { return *window_->findChild<QLineEdit*>(QStringLiteral("Text%1").arg(n)); }
    QPushButton& Button(int n) const {
        return *window_->findChild<QPushButton*>(QStringLiteral("PushButton%1").arg(n));
    }
    void Fill(const db::Login& profile) const {
        Text(1).setText(Q(profile.server));
        Text(2).setText(Q(profile.user));
        Text(3).setText(Q(profile.password));
        Text(4).setText(Q(profile.database));
        Text(5).setText(Q(profile.port));
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
