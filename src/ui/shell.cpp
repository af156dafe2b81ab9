#include "ui/shell.h"

namespace kestrelmoor::ui {

Shell::Shell(Toolkit& toolkit, db::Database& database, SettingsStore& settings,
             std::function<double()> random)
    : toolkit_(toolkit), database_(database), form1_(toolkit, database, settings, std::move(random)) {
    form1_.SetShowExtractionWindow([this] { ShowExtractionWindow(); });
}

void Shell::Start() {
    form1_.LoadAndShow();
}

void Shell::ShowExtractionWindow() {
    if (!form2_) {
        form2_ = std::make_unique<ExtractionWindow>(
            toolkit_, database_, [this] { return form1_.Profile(); }, [this] { form1_.show(); });
        form2_->Form_Load();
    }
    form2_->show();
}

}  // namespace kestrelmoor::ui
