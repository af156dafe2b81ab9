// An extraction window on a scratch database of the test server, driven through its real buttons.
#pragma once

#include <QPushButton>
#include <QTest>

#include "db/mariadb_database.h"
#include "support/scripted_toolkit.h"
#include "support/test_server.h"
#include "ui/extraction_window.h"

namespace kestrelmoor::test {

class ExtractionWindowTest : public ServerTest {
  protected:
    void SetUp() override {
        ServerTest::SetUp();
        if (HasFatalFailure()) return;
        admin_ = std::make_unique<AdminSession>();
        scratch_ = std::make_unique<ScratchDatabase>(*admin_, "window");
        profile_ = Server().UserProfile(scratch_->Name());
        window_ = std::make_unique<ui::ExtractionWindow>(
            toolkit_, database_, [this] { return profile_; }, [this] { ++connection_window_shown_; });
    }
    void TearDown() override { window_.reset(); }

    void Sql(const std::string& statement) {
        admin_->Run("USE `" + scratch_->Name() + "`");
        admin_->Run(statement);
    }
    QPushButton& Button(const char* name) {
        return *window_->findChild<QPushButton*>(QString::fromLatin1(name));
    }
    void Click(const char* name) { QTest::mouseClick(&Button(name), Qt::LeftButton); }
    void LoadAndShow() {
        window_->Form_Load();
        window_->show();
    }
    std::vector<std::string> Rows(ui::CheckListView& list) const {
        std::vector<std::string> rows;
        for (std::int64_t row = 1; row <= list.Model().Count(); ++row) rows.push_back(list.Model().Text(row));
        return rows;
    }
    std::vector<int> ReportLines() const {
        std::vector<int> lines;
        for (const std::string& text : toolkit_.ErrorReports()) {
            std::size_t at = text.find("at line ");
            lines.push_back(at == std::string::npos ? -1 : std::stoi(text.substr(at + 8)));
        }
        return lines;
    }

    ScriptedToolkit toolkit_;
    db::MariaDbDatabase database_;
    std::unique_ptr<AdminSession> admin_;
    std::unique_ptr<ScratchDatabase> scratch_;
    db::ConnectionProfile profile_;
    std::unique_ptr<ui::ExtractionWindow> window_;
    int connection_window_shown_ = 0;
};

}  // namespace kestrelmoor::test
