// SPDX-License-Identifier: MIT
// An extraction window on a scratch database of the test server, driven through its real buttons.
#pragma once

#include <QPushButton>
#include <QTest>

#include "control_by_name.h"
#include "db/mariadb_database.h"
#include "support/report_lines.h"
#include "support/scripted_toolkit.h"
#include "support/test_server.h"
#include "ui/windows/extraction_window.h"

namespace kestrelmoor::test {

class ExtractionWindowTest : public ScratchServerTest {
  protected:
    ExtractionWindowTest() : ScratchServerTest("window") {}
    void SetUp() override {
        ScratchServerTest::SetUp();
        if (HasFatalFailure() || IsSkipped()) return;
        profile_ = ScratchLogin();
        window_ = std::make_unique<ui::ExtractionWindow>(
            toolkit_, database_, [this] { return profile_; }, [this] { ++connection_window_shown_; });
    }
    void TearDown() override { window_.reset(); }

    QPushButton& Button(const char* caption) {
        return ControlByName<QPushButton>(*window_, QString::fromLatin1(caption));
    }
    void Click(const char* caption) { QTest::mouseClick(&Button(caption), Qt::LeftButton); }
    void LoadAndShow() {
        window_->Load();
        window_->show();
    }
    std::vector<std::string> Rows(ui::CheckListView& list) const {
        std::vector<std::string> rows;
        for (std::int64_t row = 1; row <= list.Model().Count(); ++row) rows.push_back(list.Model().Text(row));
        return rows;
    }
    std::vector<int> ReportLines() const { return test::ReportLines(toolkit_.ErrorReports()); }

    ScriptedToolkit toolkit_;
    db::MariaDbDatabase database_;
    db::Login profile_;
    std::unique_ptr<ui::ExtractionWindow> window_;
    int connection_window_shown_ = 0;
};

}  // namespace kestrelmoor::test
