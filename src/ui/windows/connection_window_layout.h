// SPDX-License-Identifier: MIT
// Where the connection window's text boxes and labels stand, and what each box holds.
#pragma once

#include <cstddef>

#include <QRect>

#include "common/settings_store.h"
#include "ui/desktop/visual_style.h"

namespace kestrelmoor::ui {

struct TextBoxLayout {
    const char* name;
    SettingKey key;
    QRect geometry;
};

// The boxes in the order of the login's fields, as ConnectionWindow::Boxes() lists them.
inline const TextBoxLayout kTextBoxes[] = {
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
    std::size_t box;  // the box it names, as an index into ConnectionWindow::Boxes()
};

inline const LabelLayout kLabels[] = {
    {"Label9", "Port:", TwipsRect(6000, 405, 495, 255), 4},
    {"Label4", "Password:", TwipsRect(240, 1365, 1095, 255), 2},
    {"Label3", "Database:", TwipsRect(240, 1845, 975, 255), 3},
    {"Label2", "Server:", TwipsRect(240, 405, 1095, 255), 0},
    {"Label1", "Username:", TwipsRect(240, 885, 1095, 255), 1},
};

}  // namespace kestrelmoor::ui
