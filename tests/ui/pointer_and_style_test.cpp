// SPDX-License-Identifier: MIT
// Pointer feedback over the connection window's controls, the cursor file reader, and the colours.
#include <QBuffer>
#include <QFile>
#include <QMouseEvent>

#include "connection_window_fixture.h"
#include "ui/desktop/cursor_file.h"
#include "ui/desktop/pointer_feedback.h"
#include "ui/desktop/visual_style.h"

namespace kestrelmoor::test {
namespace {

using ui::PointerState;

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

// Movement of the mouse, without buttons, over `widget` at `at` (in its own coordinates).
void MoveOver(QWidget& widget, QPoint at) {
    QMouseEvent move(QEvent::MouseMove, at, widget.mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&widget, &move);
}

class PointerFeedbackTest : public ConnectionWindowTest {
  protected:
    void SetUp() override {
        MakeWindow().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    }
    PointerState State() const { return window_->Pointer().State(); }
    QWidget& Named(const char* name) const {
        return *window_->findChild<QWidget*>(QString::fromLatin1(name));
    }
};

TEST_F(PointerFeedbackTest, ButtonsSetTheHandAndTheWindowFrameAndBoxesTheDefault) {
    MoveOver(Button("Test Connection"), {5, 5});
    EXPECT_EQ(State(), PointerState::kCustom);
    MoveOver(*window_, {530, 4});  // the window's own background
    EXPECT_EQ(State(), PointerState::kDefault);
    MoveOver(Button("Next >"), {5, 5});
    MoveOver(Named("Frame1"), {4, 100});  // the frame between its controls
    EXPECT_EQ(State(), PointerState::kDefault);
    MoveOver(Button("Help"), {5, 5});
    MoveOver(Box("Username"), {5, 5});
    EXPECT_EQ(State(), PointerState::kDefault);
    MoveOver(Button("Help"), {5, 5});
    MoveOver(Box("Port"), {5, 5});
    EXPECT_EQ(State(), PointerState::kDefault);
}

// Without the skin the style draws the frame: white inside, as the labels on it.
TEST_F(PointerFeedbackTest, WithoutTheSkinTheFrameIsWhiteBehindItsLabels) {
    const QImage frame = Named("Frame1").grab().toImage();
    for (const QPoint at : {QPoint(4, 100), QPoint(frame.width() - 5, frame.height() - 5)})
        EXPECT_EQ(QColor(frame.pixel(at)).name(), QStringLiteral("#ffffff")) << at.x() << "," << at.y();
}

TEST_F(PointerFeedbackTest, LabelsLeaveTheStateAsItWas) {
    MoveOver(Button("Test Connection"), {5, 5});
    MoveOver(Named("Label2"), {3, 3});
    EXPECT_EQ(State(), PointerState::kCustom);
}

TEST_F(PointerFeedbackTest, HoverNeverReplacesTheHourglass) {
    window_->Pointer().SetState(PointerState::kHourglass);
    EXPECT_EQ(window_->cursor().shape(), Qt::WaitCursor);
    EXPECT_EQ(Box("Server").cursor().shape(), Qt::WaitCursor)
        << "the hourglass covers the text boxes' I-beam";
    for (QWidget* over : {static_cast<QWidget*>(&Button("Test Connection")),
                          static_cast<QWidget*>(&Box("Server")), static_cast<QWidget*>(window_.get())}) {
        MoveOver(*over, {5, 5});
        EXPECT_EQ(State(), PointerState::kHourglass);
    }
    window_->Pointer().SetState(PointerState::kDefault);
    EXPECT_EQ(Box("Server").cursor().shape(), Qt::IBeamCursor);
    EXPECT_EQ(window_->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(PointerFeedbackTest, HoverDuringTheConnectionTestKeepsTheHourglass) {
    Fill({"127.0.0.1", "nobody", "x", "none", db::Port(1)});  // a closed port: the open fails at once
    toolkit_.OnProcessEvents([&] { MoveOver(Button("Test Connection"), {5, 5}); });
    std::vector<PointerState> while_message;
    toolkit_.OnShowMessage([&] { while_message.push_back(State()); });
    QTest::mouseClick(&Button("Test Connection"), Qt::LeftButton);
    EXPECT_EQ(while_message, std::vector<PointerState>{PointerState::kHourglass});
    EXPECT_EQ(State(), PointerState::kDefault);
}

TEST_F(PointerFeedbackTest, TheHandShowsThePictureWhenThereIsOne) {
    MoveOver(Button("Test Connection"), {5, 5});
    EXPECT_EQ(window_->cursor().shape(), Qt::ArrowCursor) << "no picture: state 99 shows the default";
    ASSERT_TRUE(window_->Pointer().LoadPicture(QStringLiteral(KESTRELMOOR_RESOURCES_DIR "/HAND-M.CUR")));
    EXPECT_EQ(window_->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(window_->cursor().hotSpot(), QPoint(14, 2));
}

TEST(CursorFile, TheShippedHandIs32PixelsWithItsHotSpotAtTheFingertip) {
    const auto hand = ui::DecodeCursorFile(ReadFile(QStringLiteral(KESTRELMOOR_RESOURCES_DIR "/HAND-M.CUR")));
    ASSERT_TRUE(hand.has_value());
    EXPECT_EQ(hand->image.size(), QSize(32, 32));
    EXPECT_EQ(hand->hotspot, QPoint(14, 2));
    EXPECT_EQ(qAlpha(hand->image.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(hand->image.pixel(14, 2)), 255);
    EXPECT_EQ(hand->image.pixel(15, 4), qRgb(255, 255, 255)) << "inside the finger";
}

TEST(CursorFile, EveryTruncationAndImpossibleHeaderIsRefused) {
    const QByteArray hand = ReadFile(QStringLiteral(KESTRELMOOR_RESOURCES_DIR "/HAND-M.CUR"));
    for (qsizetype size = 0; size < hand.size(); ++size) {
        ASSERT_FALSE(ui::DecodeCursorFile(hand.left(size)).has_value()) << "cut at " << size;
    }
    auto patched = [&](int at, QByteArray bytes) {
        QByteArray copy = hand;
        copy.replace(at, bytes.size(), bytes);
        return ui::DecodeCursorFile(copy).has_value();
    };
    EXPECT_FALSE(patched(2, QByteArray("\x03\x00", 2))) << "neither icon nor cursor";
    EXPECT_FALSE(patched(18, QByteArray("\xff\xff\xff\x7f", 4))) << "image offset past the end";
    EXPECT_FALSE(patched(14, QByteArray("\xff\xff\xff\xff", 4))) << "image size past the end";
    EXPECT_FALSE(patched(22 + 4, QByteArray("\x00\x10\x00\x00", 4))) << "4096 pixels wide";
    EXPECT_FALSE(patched(22 + 8, QByteArray("\x00\x00\x00\x80", 4))) << "negative height";
    EXPECT_FALSE(patched(22 + 14, QByteArray("\x10\x00", 2))) << "16 bits per pixel";
    EXPECT_FALSE(patched(22 + 16, QByteArray("\x01\x00\x00\x00", 4))) << "run-length compressed";
}

// A cursor file around one image payload, hot spot (hx, hy).
QByteArray CursorAround(const QByteArray& payload, int hx, int hy) {
    QByteArray file("\x00\x00\x02\x00\x01\x00", 6);
    file += QByteArray("\x08\x08\x00\x00", 4);
    for (const quint32 value : {quint32(hx) | (quint32(hy) << 16), quint32(payload.size()), quint32(22)}) {
        for (int shift = 0; shift < 32; shift += 8) file += char((value >> shift) & 0xFF);
    }
    return file + payload;
}

TEST(CursorFile, ReadsPalettedBitmapsWithTheirMaskAndPngImages) {
    // 8x8, 1 bit per pixel: palette black/white, the top row white, the rest black; the mask makes the
    // left half see-through.
    QByteArray bitmap;
    auto u32 = [&](quint32 v) {
        for (int shift = 0; shift < 32; shift += 8) bitmap += char((v >> shift) & 0xFF);
    };
    u32(40), u32(8), u32(16);
    bitmap += QByteArray("\x01\x00\x01\x00", 4);  // planes, bits per pixel
    for (int i = 0; i < 6; ++i) u32(0);
    u32(0x000000), u32(0xFFFFFF);                                    // palette
    for (int row = 7; row >= 0; --row) u32(row == 0 ? 0xFF : 0x00);  // colour rows, bottom-up
    for (int row = 0; row < 8; ++row) u32(0xF0);                     // mask rows
    const auto small = ui::DecodeCursorFile(CursorAround(bitmap, 3, 40));
    ASSERT_TRUE(small.has_value());
    EXPECT_EQ(small->image.size(), QSize(8, 8));
    EXPECT_EQ(small->hotspot, QPoint(3, 7)) << "a hot spot outside the image is pulled inside";
    EXPECT_EQ(small->image.pixel(6, 0), qRgba(255, 255, 255, 255));
    EXPECT_EQ(small->image.pixel(6, 5), qRgba(0, 0, 0, 255));
    EXPECT_EQ(qAlpha(small->image.pixel(1, 0)), 0);

    QImage picture(16, 16, QImage::Format_ARGB32);
    picture.fill(qRgba(200, 100, 50, 255));
    QByteArray png;
    QBuffer buffer(&png);
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly) && picture.save(&buffer, "PNG"));
    const auto from_png = ui::DecodeCursorFile(CursorAround(png, 2, 5));
    ASSERT_TRUE(from_png.has_value());
    EXPECT_EQ(from_png->image.size(), QSize(16, 16));
    EXPECT_EQ(from_png->hotspot, QPoint(2, 5));
    EXPECT_EQ(from_png->image.pixel(8, 8), qRgba(200, 100, 50, 255));
}

TEST(Colours, FixedValuesAreBgrAndSystemValuesFollowTheProgramsPalette) {
    EXPECT_EQ(ui::ColorOf(0x00FF8000), QColor(0x00, 0x80, 0xFF));
    EXPECT_EQ(ui::ColorOf(ui::kWhite), QColor(Qt::white));
    const QPalette palette = ui::ProgramPalette();
    EXPECT_EQ(ui::ColorOf(ui::kButtonFace), palette.color(QPalette::Button));
    EXPECT_EQ(ui::ColorOf(ui::kWindowBackground), palette.color(QPalette::Base));
    EXPECT_EQ(ui::ColorOf(ui::kWindowText), palette.color(QPalette::Text));
    EXPECT_EQ(ui::ColorOf(ui::kButtonText), palette.color(QPalette::ButtonText));
}

}  // namespace
}  // namespace kestrelmoor::test
