// SPDX-License-Identifier: MIT
// The toolkit on Qt Widgets. Needs a QApplication.
#pragma once

#include <chrono>

#include <QElapsedTimer>
#include <QString>

#include "ui/toolkit.h"

namespace kestrelmoor::ui {

class QtToolkit : public Toolkit {
  public:
    // ProcessPendingEvents does nothing until `event_interval` has passed since events were last
    // processed.
    explicit QtToolkit(std::chrono::milliseconds event_interval = std::chrono::milliseconds(10));

    void ShowMessage(const QString& text) override;
    bool AskYesNo(const QString& text) override;
    void ShowErrorReport(const std::string& text) override;

    void ProcessPendingEvents() override;
    void ProcessPendingEventsNow() override;

    QString DataFolder() const override;

    QString AskSaveFileName(const QString& title, const QStringList& filters) override;
    void ClearClipboard() override;
    void SetClipboardText(const QString& text) override;
    bool OpenUrl(const QString& url) override;
    void EndProgram() override;

    QString ApplicationTitle() const override { return title_; }
    void SetApplicationTitle(const QString& title) override { title_ = title; }

  private:
    std::chrono::milliseconds event_interval_;
    QElapsedTimer since_events_;
    QString title_;
};

}  // namespace kestrelmoor::ui
