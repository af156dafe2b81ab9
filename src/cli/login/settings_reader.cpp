// SPDX-License-Identifier: MIT
#include "cli/login/settings_reader.h"

#include <QFile>

#include "common/settings_file_check.h"

namespace kestrelmoor::cli {

void SettingsReader::PassOver(const std::string& why) {
    passed_over_ = true;
    report_("the settings file " + store_->FilePath().toStdString() + " is not used: " + why +
            "; the values the command line leaves out are the defaults");
}

std::optional<std::string> SettingsReader::Read(SettingKey key) {
    if (!store_) {
        store_.emplace();
        if (const std::string problem =
                SettingsFileProblem(QFile::encodeName(store_->FilePath()).toStdString());
            !problem.empty()) {
            PassOver(problem);
        }
    }
    if (!passed_over_) {
        try {
            if (!store_->Holds(key)) return std::nullopt;
            return store_->Read(key).toStdString();
        } catch (const SettingsError&) {
            PassOver("it cannot be read");
        }
    }
    return std::nullopt;
}

}  // namespace kestrelmoor::cli
