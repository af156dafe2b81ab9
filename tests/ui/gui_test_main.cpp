// SPDX-License-Identifier: MIT
// main() of the window tests: the offscreen platform, a settings folder of their own (never the
// user's), one QApplication for all tests, and the look the program itself uses.
#include <gtest/gtest.h>

#include <cstdlib>

#include <QApplication>
#include <QTemporaryDir>

#include "ui/desktop/visual_style.h"

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QTemporaryDir config;
    if (!config.isValid()) return 1;
    setenv("XDG_CONFIG_HOME", config.path().toLocal8Bit().constData(), 1);
    QApplication app(argc, argv);
    QApplication::setStyle(kestrelmoor::ui::ProgramStyle());
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
