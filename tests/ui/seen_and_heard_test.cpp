// SPDX-License-Identifier: MIT
// The windows as seen from the keyboard and heard through a screen reader: the focus ring stands out
// from everything around it on each kind of control, the boxes are drawn whole, the windows are centred
// with their frame, and the accessibility tree names the windows, the ticks and the progress.
#include <QAccessible>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>

#include "connection_window_fixture.h"
#include "support/failing_database.h"
#include "ui/desktop/focus_mark.h"
#include "ui/desktop/visual_style.h"
#include "ui/desktop/window_placement.h"
#include "ui/windows/extraction_window.h"

namespace kestrelmoor::test {
namespace {

void ShowActive(QWidget& window) {
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

QColor At(const QImage& image, QPoint point) {
    return QColor(image.pixel(point));
}

// Along a line of pixels from just outside the control inward: the first run of one colour that the
// focus changed is the mark. Says its width and its lowest contrast with the pixels on either side.
struct Mark {
    int width = 0;
    double lowest_contrast = 0;
};
Mark MarkAlong(const QImage& unfocused, const QImage& focused, QPoint from, QPoint step, int length) {
    for (int i = 1; i < length; ++i) {
        const QPoint at = from + step * i;
        if (ui::ContrastRatio(At(unfocused, at), At(focused, at)) < 1.2) continue;
        const QColor mark = At(focused, at);
        int end = i;
        while (end < length && At(focused, from + step * end) == mark) ++end;
        const double outside = ui::ContrastRatio(mark, At(focused, from + step * (i - 1)));
        const double inside = ui::ContrastRatio(mark, At(focused, from + step * end));
        return {end - i, std::min(outside, inside)};
    }
    return {};
}

// The focus mark of `control` (inside `window`) seen from its four sides, at the middle of each, with
// the focus first on `elsewhere`: each side at least 2 pixels wide and 3:1 against its neighbours.
void ExpectFocusMarkStandsOut(QWidget& window, QWidget& control, QWidget& elsewhere, QRect area = {}) {
    if (area.isNull()) area = control.rect();
    area = QRect(control.mapTo(&window, area.topLeft()), area.size());
    elsewhere.setFocus(Qt::TabFocusReason);
    const QImage unfocused = window.grab().toImage();
    control.setFocus(Qt::TabFocusReason);
    const QImage focused = window.grab().toImage();
    const QPoint centre = area.center();
    const struct {
        QPoint from, step;
        int length;
    } sides[] = {{{area.left() - 2, centre.y()}, {1, 0}, area.width() / 2},
                 {{area.right() + 2, centre.y()}, {-1, 0}, area.width() / 2},
                 {{centre.x(), area.top() - 2}, {0, 1}, area.height() / 2},
                 {{centre.x(), area.bottom() + 2}, {0, -1}, area.height() / 2}};
    for (const auto& side : sides) {
        const Mark mark = MarkAlong(unfocused, focused, side.from, side.step, side.length);
        EXPECT_GE(mark.width, 2) << control.objectName().toStdString() << " from " << side.step.x() << ","
                                 << side.step.y();
        EXPECT_GE(mark.lowest_contrast, 3.0)
            << control.objectName().toStdString() << " from " << side.step.x() << "," << side.step.y();
    }
}

TEST(FocusMark, ContrastIsMeasuredAsTheGuidelinesDo) {
    EXPECT_NEAR(ui::ContrastRatio(Qt::black, Qt::white), 21.0, 1e-9);
    EXPECT_NEAR(ui::ContrastRatio(QColor(0x76, 0x76, 0x76), Qt::white), 4.54, 0.01);
    EXPECT_EQ(ui::FocusMarkColor({QColor(0x2F, 0x5D, 0x73)}), QColor(Qt::white)) << "a slate face";
    EXPECT_EQ(ui::FocusMarkColor({Qt::white, QColor(0x1F, 0x6F, 0xB2)}), QColor(Qt::black));
}

class SeenAndHeardTest : public ConnectionWindowTest {
  protected:
    ui::ConnectionWindow& Connection(bool skinned) {
        MakeWindow(failing_);
        if (skinned) ui::ApplySkin(*window_, QStringLiteral(KESTRELMOOR_RESOURCES_DIR));
        return *window_;
    }
    // An extraction window with a table list of `rows` rows, the first ticked.
    std::unique_ptr<ui::ExtractionWindow> Extraction(int rows) {
        auto window = std::make_unique<ui::ExtractionWindow>(
            toolkit_, failing_, [] { return db::Login{}; }, [] {});
        window->Load();  // the table list cannot be read: reported
        for (int row = 0; row < rows; ++row)
            window->Tables().Model().Append("t" + std::to_string(row), row == 0);
        window->Tables().Model().Publish();
        return window;
    }

    FailingDatabase failing_;
};

TEST_F(SeenAndHeardTest, TheFocusRingStandsOutOnButtonsAndBoxesPlainAndSkinned) {
    for (const bool skinned : {false, true}) {
        SCOPED_TRACE(skinned ? "skinned" : "plain");
        ui::ConnectionWindow& window = Connection(skinned);
        ShowActive(window);
        ExpectFocusMarkStandsOut(window, Button("Test Connection"), Box("Server"));
        ExpectFocusMarkStandsOut(window, Button("Next >"), Box("Server"));
        ExpectFocusMarkStandsOut(window, Box("Username"), Button("Test Connection"));
        // Selected text in a box.
        Box("Username").ensurePolished();
        const QPalette& box = Box("Username").palette();
        EXPECT_GE(ui::ContrastRatio(box.color(QPalette::Highlight), box.color(QPalette::HighlightedText)),
                  4.5);
    }
}

TEST_F(SeenAndHeardTest, TheFocusRingStandsOutOnListsWithAndWithoutACurrentRow) {
    auto window = Extraction(3);
    ShowActive(*window);
    QWidget& button = *window->findChild<QPushButton*>(QStringLiteral("PushButton1"));
    ui::CheckListView& tables = window->Tables();
    const auto current_row = [&tables] {
        const QRect row = tables.visualRect(tables.currentIndex());
        return QRect(tables.viewport()->mapTo(&tables, row.topLeft()), row.size());
    };
    ExpectFocusMarkStandsOut(*window, window->Results(), button);  // empty: a frame around the rows
    // Focus from the keyboard makes the first row current, unselected.
    tables.setFocus(Qt::TabFocusReason);
    ASSERT_EQ(tables.currentIndex().row(), 0);
    ExpectFocusMarkStandsOut(*window, tables, button, current_row());
    QTest::keyClick(&tables, Qt::Key_Down);  // current and selected
    ExpectFocusMarkStandsOut(*window, tables, button, current_row());
    EXPECT_TRUE(tables.selectionModel()->isSelected(tables.currentIndex()));
}

// The label beside each box reaches a pixel into it: the box's border, drawn over the label, stays whole.
TEST_F(SeenAndHeardTest, BoxesAreDrawnWholeWithTheirLabelsBeneath) {
    for (const bool skinned : {false, true}) {
        ui::ConnectionWindow& window = Connection(skinned);
        ShowActive(window);
        auto& frame = *window.findChild<QGroupBox*>(QStringLiteral("Frame1"));
        for (int n = 1; n <= 5; ++n) {
            // The left edge below and above the rounded corners, as the frame shows it and as the box alone.
            const QRect edge(0, 3, 3, Box(kBoxNames[n - 1]).height() - 6);
            const auto strip = [&edge](const QPixmap& shown) {
                return shown.toImage().copy(edge).convertToFormat(QImage::Format_RGB32);
            };
            EXPECT_EQ(strip(frame.grab(Box(kBoxNames[n - 1]).geometry())),
                      strip(Box(kBoxNames[n - 1]).grab()))
                << (skinned ? "skinned " : "plain ") << kBoxNames[n - 1];
        }
    }
}

TEST(WindowPlacement, TheFrameIsCentredWithTheWindowManagersExtents) {
    const QRect screen(0, 0, 1280, 800);
    // Client 536 x 243 under a title bar of 21 and borders of 1: the frame is 538 x 265.
    EXPECT_EQ(ui::CentredFramePosition(screen, {536, 243}, {1, 21, 1, 1}), QPoint(371, 267));
    EXPECT_EQ(ui::CentredFramePosition(screen, {536, 243}, {}), QPoint(372, 278));
    // A panel along the top takes 30 pixels off the available area.
    EXPECT_EQ(ui::CentredFramePosition({0, 30, 1280, 770}, {536, 505}, {4, 28, 4, 4}), QPoint(368, 146));
}

TEST_F(SeenAndHeardTest, AScreenReaderTellsTheWindowsTheTicksAndTheProgressApart) {
    ui::ConnectionWindow& connection = Connection(false);
    connection.Load();
    auto extraction = Extraction(2);
    ShowActive(*extraction);
    QAccessibleInterface* first = QAccessible::queryAccessibleInterface(&connection);
    QAccessibleInterface* second = QAccessible::queryAccessibleInterface(extraction.get());
    EXPECT_EQ(first->role(), QAccessible::Window);
    EXPECT_EQ(second->role(), QAccessible::Window);
    EXPECT_EQ(first->text(QAccessible::Name), QString::fromUtf8("Kestrelmoor \u2013 MySQL Login"));
    EXPECT_EQ(second->text(QAccessible::Name), QString::fromUtf8("Kestrelmoor \u2013 Tables and Results"));
    EXPECT_EQ(connection.windowTitle(), "Kestrelmoor");
    EXPECT_EQ(extraction->windowTitle(), "Kestrelmoor");

    // Child 0 of the list is its column header; the rows follow, check boxes named by their text.
    QAccessibleInterface* tables = QAccessible::queryAccessibleInterface(&extraction->Tables());
    EXPECT_EQ(tables->role(), QAccessible::List);
    ASSERT_EQ(tables->childCount(), 3);
    EXPECT_EQ(tables->child(0)->text(QAccessible::Name), "Tables");
    extraction->Tables().Model().SetChecked(2, false);
    for (int row = 1; row <= 2; ++row) {
        QAccessibleInterface* part = tables->child(row);
        EXPECT_EQ(part->role(), QAccessible::CheckBox) << row;
        EXPECT_EQ(part->text(QAccessible::Name), QString("t%1").arg(row - 1));
        EXPECT_EQ(tables->indexOfChild(part), row);
        EXPECT_TRUE(part->state().checkable) << row;
        EXPECT_EQ(bool(part->state().checked), row == 1) << row;
    }
    QAccessibleInterface* progress = QAccessible::queryAccessibleInterface(&extraction->ProgressBar());
    EXPECT_EQ(progress->text(QAccessible::Name), "Progress");
    extraction->ProgressBar().setValue(40);
    EXPECT_EQ(progress->valueInterface()->currentValue().toInt(), 40);
}

// A tick given through a row's action is one given by a click; rows numbered afresh are new parts of
// the list. (What the view tells a screen reader as the focus moves is heard on the desktop's bus.)
TEST_F(SeenAndHeardTest, ARowsActionTicksItAndRowsNumberedAfreshAreNew) {
    auto extraction = Extraction(2);
    ui::CheckListView& tables = extraction->Tables();
    QAccessibleInterface* second = QAccessible::queryAccessibleInterface(&tables)->child(2);
    ASSERT_TRUE(
        second->actionInterface()->actionNames().contains(QAccessibleActionInterface::toggleAction()));
    second->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(tables.Model().Checked(2));
    EXPECT_TRUE(second->state().checked);

    tables.Model().Clear();
    tables.Model().Append("u0", false);
    tables.Model().Publish();
    EXPECT_FALSE(second->isValid());
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&tables)->child(1)->text(QAccessible::Name), "u0");
}

}  // namespace
}  // namespace kestrelmoor::test
