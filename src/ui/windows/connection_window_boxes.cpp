// SPDX-License-Identifier: MIT
// The connection window's boxes and their labels, as its layout places them.
#include <limits>

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include "ui/desktop/visual_style.h"
#include "ui/windows/connection_window.h"
#include "ui/windows/connection_window_layout.h"
#include "ui/windows/select_all_on_focus.h"

namespace kestrelmoor::ui {

void ConnectionWindow::MakeTextBoxes(QGroupBox& frame) {
    // Created in the layout's order: port, database, password, user name, server.
    auto* select_all = new SelectAllOnFocus(this);
    for (int i = 4; i >= 0; --i) {
        const TextBoxLayout& layout = kTextBoxes[i];
        auto* box = new QLineEdit(&frame);
        box->setObjectName(QString::fromLatin1(layout.name));
        box->setGeometry(layout.geometry);
        box->setFont(ControlFont());
        box->setMaxLength(std::numeric_limits<int>::max());
        SetBackColor(*box, kWindowBackground);
        SetForeColor(*box, kWindowText);
        box->installEventFilter(select_all);
        const SettingKey key = layout.key;
        // Every change is stored at once; a store that cannot be written leaves the box as typed.
        connect(box, &QLineEdit::textChanged, this, [this, key](const QString& text) { Store(key, text); });
        connect(box, &QLineEdit::returnPressed, this, [this] { OnNext(); });
        *Boxes()[static_cast<std::size_t>(i)] = box;
    }
    QLineEdit* password = password_box_;
    password->setEchoMode(QLineEdit::Password);
    password->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));  // '*'
    password->setAttribute(Qt::WA_InputMethodEnabled, false);
    password->setInputMethodHints(Qt::ImhHiddenText | Qt::ImhSensitiveData | Qt::ImhNoPredictiveText |
                                  Qt::ImhNoAutoUppercase);
}

void ConnectionWindow::MakeLabels(QGroupBox& frame) {
    for (const LabelLayout& layout : kLabels) {
        auto* label = new QLabel(QString::fromLatin1(layout.caption), &frame);
        label->setObjectName(QString::fromLatin1(layout.name));
        label->setGeometry(layout.geometry);
        label->setFont(ControlFont());
        SetBackColor(*label, kWhite);
        // Beneath the boxes: a label reaches a pixel into its box, whose border stays whole.
        label->lower();
        // A screen reader announces each box by its label.
        QLineEdit* box = *Boxes()[layout.box];
        label->setBuddy(box);
        box->setAccessibleName(label->text().chopped(1));
    }
}

std::array<QLineEdit**, 5> ConnectionWindow::Boxes() {
    return {&server_box_, &user_box_, &password_box_, &database_box_, &port_box_};
}

}  // namespace kestrelmoor::ui
