// SPDX-License-Identifier: MIT
#include "ui/desktop/visual_style.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPalette>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleFactory>
#include <QStyleOption>
#include <QVariant>
#include <QWidget>

#include "ui/desktop/focus_mark.h"
#include "ui/desktop/held_enter_guard.h"

namespace kestrelmoor::ui {
namespace {

// The widget keeps the value it was given, so that a system colour reads back as itself.
constexpr const char* kBackColorProperty = "kestrelmoorBackColor";
constexpr std::uint32_t kSystemColorFlag = 0x80000000;

// The system colours the windows use; any other stands for the window colour.
QPalette::ColorRole SystemColorRole(std::uint32_t index) {
    switch (index) {
        case kWindowBackground & 0xFF:
            return QPalette::Base;
        case kWindowText & 0xFF:
            return QPalette::Text;
        case kButtonFace & 0xFF:
            return QPalette::Button;
        case kButtonText & 0xFF:
            return QPalette::ButtonText;
        default:
            return QPalette::Window;
    }
}

std::uint32_t ValueOf(const QColor& color) {
    return static_cast<std::uint32_t>(color.red()) | (static_cast<std::uint32_t>(color.green()) << 8) |
           (static_cast<std::uint32_t>(color.blue()) << 16);
}

bool TakesButtonFace(const QWidget& control) {
    return qobject_cast<const QGroupBox*>(&control) != nullptr ||
           qobject_cast<const QLabel*>(&control) != nullptr ||
           qobject_cast<const QCheckBox*>(&control) != nullptr ||
           qobject_cast<const QRadioButton*>(&control) != nullptr;
}

QFont ArialBold(qreal points) {
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setWeight(QFont::Bold);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    // Where Arial is not installed, prefer a face with the same metrics over whatever sans comes first.
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("Arimo")});
    font.setStyleHint(QFont::SansSerif);
    return font;
}

// The colours a focus ring lies between. A row's ring (its option names the row's background) lies
// between rows, any of which may be selected; other rings lie on the control's face.
QColor FocusMarkColorFor(const QStyleOption& option, const QWidget* widget) {
    const QPalette& palette = option.palette;
    const auto* focus_rect = qstyleoption_cast<const QStyleOptionFocusRect*>(&option);
    if (qobject_cast<const QAbstractItemView*>(widget) != nullptr ||
        (focus_rect != nullptr && focus_rect->backgroundColor.isValid())) {
        const QColor row = focus_rect != nullptr && focus_rect->backgroundColor.isValid()
                               ? focus_rect->backgroundColor
                               : palette.color(QPalette::Base);
        return FocusMarkColor({row, palette.color(QPalette::Base), palette.color(QPalette::Highlight)});
    }
    return FocusMarkColor({palette.color(widget != nullptr ? widget->backgroundRole() : QPalette::Button)});
}

// Marks every focused control's drawing as following a keyboard move, which is when Fusion draws the
// focus, and draws the focus as a solid ring (Fusion's own is a faint tint). The options are the
// painting widget's own (not const objects), so marking them is safe.
class FocusShownStyle : public QProxyStyle {
  public:
    using QProxyStyle::QProxyStyle;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        if (element == PE_FrameFocusRect && option != nullptr) {
            DrawFocusMark(*painter, option->rect, FocusMarkColorFor(*option, widget));
            return;
        }
        // Fusion tints a group box's inside with a picture of its own (#FCFCFC over white); the frame
        // keeps the colour of what it holds, white behind its white labels, inside a plain border.
        if (element == PE_FrameGroupBox && option != nullptr) {
            painter->save();
            painter->setPen(option->palette.color(QPalette::Mid));
            painter->setBrush(Qt::NoBrush);
            painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
            painter->restore();
            return;
        }
        QProxyStyle::drawPrimitive(element, Marked(option), painter, widget);
        // A text box shows its focus by the same ring along its border.
        if (element == PE_FrameLineEdit && option != nullptr && (option->state & State_HasFocus)) {
            const QColor box = option->palette.color(QPalette::Base);
            const QColor around =
                widget != nullptr && widget->parentWidget() != nullptr
                    ? widget->parentWidget()->palette().color(widget->parentWidget()->backgroundRole())
                    : box;
            DrawFocusMark(*painter, option->rect, FocusMarkColor({box, around}));
        }
    }
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        QProxyStyle::drawControl(element, Marked(option), painter, widget);
        // Fusion shows a button's focus by a tint alone: the ring goes over the button's border.
        if (element == CE_PushButton && option != nullptr && (option->state & State_HasFocus)) {
            DrawFocusMark(*painter, option->rect, FocusMarkColorFor(*option, widget));
        }
    }
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget) const override {
        QProxyStyle::drawComplexControl(control, Marked(option), painter, widget);
    }

  private:
    template <class Option>
    static const Option* Marked(const Option* option) {
        if (option != nullptr && (option->state & State_HasFocus)) {
            const_cast<Option*>(option)->state |= State_KeyboardFocusChange;
        }
        return option;
    }
};

}  // namespace

QPalette ProgramPalette() {
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    const QColor face(0xEF, 0xEF, 0xEF);
    QPalette palette;
    const struct {
        QPalette::ColorRole role;
        QColor color;
    } roles[] = {
        {QPalette::Window, face},
        {QPalette::WindowText, black},
        {QPalette::Base, white},
        {QPalette::AlternateBase, QColor(0xF7, 0xF7, 0xF7)},
        {QPalette::ToolTipBase, QColor(0xFF, 0xFF, 0xDC)},
        {QPalette::ToolTipText, black},
        {QPalette::PlaceholderText, QColor(0x6D, 0x6D, 0x6D)},
        {QPalette::Text, black},
        {QPalette::Button, face},
        {QPalette::ButtonText, black},
        {QPalette::BrightText, white},
        {QPalette::Light, white},
        {QPalette::Midlight, QColor(0xCA, 0xCA, 0xCA)},
        {QPalette::Dark, QColor(0x9F, 0x9F, 0x9F)},
        {QPalette::Mid, QColor(0xB8, 0xB8, 0xB8)},
        {QPalette::Shadow, QColor(0x76, 0x76, 0x76)},
        {QPalette::Highlight, QColor(0x1F, 0x6F, 0xB2)},
        {QPalette::HighlightedText, white},
        {QPalette::Link, QColor(0x00, 0x00, 0xEE)},
        {QPalette::LinkVisited, QColor(0x55, 0x1A, 0x8B)},
    };
    for (const auto& entry : roles) palette.setColor(entry.role, entry.color);
    // Disabled text stays readable but reads as such.
    const QColor disabled(0x7A, 0x7A, 0x7A);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        palette.setColor(QPalette::Disabled, role, disabled);
    }
    palette.setColor(QPalette::Disabled, QPalette::Highlight, QColor(0x9F, 0x9F, 0x9F));
    return palette;
}

void UseProgramLook(QWidget& window) {
    window.setPalette(ProgramPalette());
}

QStyle* ProgramStyle() {
    return new FocusShownStyle(QStyleFactory::create(QStringLiteral("Fusion")));
}

QColor ColorOf(std::uint32_t value) {
    if ((value & kSystemColorFlag) != 0) {
        return ProgramPalette().color(QPalette::Active, SystemColorRole(value & 0xFF));
    }
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF));
}

void SetBackColor(QWidget& widget, std::uint32_t value) {
    widget.setProperty(kBackColorProperty, QVariant::fromValue(static_cast<uint>(value)));
    QPalette palette = widget.palette();
    palette.setColor(widget.backgroundRole(), ColorOf(value));
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

std::uint32_t BackColor(const QWidget& widget) {
    const QVariant stored = widget.property(kBackColorProperty);
    if (stored.isValid()) {
        return static_cast<std::uint32_t>(stored.toUInt());
    }
    return ValueOf(widget.palette().color(widget.backgroundRole()));
}

void SetForeColor(QWidget& widget, std::uint32_t value) {
    QPalette palette = widget.palette();
    palette.setColor(widget.foregroundRole(), ColorOf(value));
    widget.setPalette(palette);
}

QFont ControlFont() {
    return ArialBold(9.0);
}

QFont ButtonFont() {
    return ArialBold(11.25);
}

QPushButton* MakePushButton(QWidget& parent, const char* name, const QString& caption,
                            const QRect& geometry) {
    auto* button = new QPushButton(caption, &parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    button->setAutoDefault(true);    // Enter on the focused button presses it
    GuardButtonsAgainstHeldEnter();  // once, not again for each repeat of a held key
    button->setFont(ButtonFont());
    SetBackColor(*button, kWhite);
    SetForeColor(*button, kButtonText);
    return button;
}

void ApplyButtonFaceColors(QWidget& window) {
    SetBackColor(window, kButtonFace);
    // The window's own controls, in the order in which it created them.
    for (QWidget* control : window.findChildren<QWidget*>()) {
        if (control->window() == &window && TakesButtonFace(*control)) {
            SetBackColor(*control, kButtonFace);
        }
    }
}

bool ApplySkin(QWidget& connection_window, const QString& program_folder) {
    const QString path = program_folder + QString::fromLatin1(kSkinFileName);
    // Only a plain file counts: a folder of that name does not.
    if (!QFileInfo(path).isFile()) {
        return false;
    }
    ApplyButtonFaceColors(connection_window);
    // On this platform the skin is a style sheet. A file that cannot be read leaves the colours changed
    // and the window without a sheet, as a skin the component could not load would.
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        connection_window.setStyleSheet(QString::fromUtf8(file.readAll()));
    }
    return true;
}

}  // namespace kestrelmoor::ui
