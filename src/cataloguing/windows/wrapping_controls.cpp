#include "cataloguing/windows/wrapping_controls.h"

#include <QLabel>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace platterly::cataloguing {

namespace {

// Below this a caption is harder to read than cut.
constexpr qreal kSmallestPointSize = 6.0;

constexpr int kWrappedTextFlags = Qt::TextWordWrap | Qt::TextShowMnemonic;

} // namespace

WrappingCheckBox::WrappingCheckBox(const QString& text, QWidget* parent) : QCheckBox(text, parent)
{
}

void WrappingCheckBox::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    // The style draws the indicator and the focus frame; the text is drawn here, wrapped.
    const QString text = option.text;
    option.text.clear();
    painter.drawControl(QStyle::CE_CheckBox, option);
    option.text = text;
    const QRect textArea = style()->subElementRect(QStyle::SE_CheckBoxContents, &option, this);
    style()->drawItemText(&painter, textArea, Qt::AlignLeft | Qt::AlignVCenter | kWrappedTextFlags,
                          palette(), isEnabled(), text, QPalette::WindowText);
}

bool WrappingCheckBox::hitButton(const QPoint& position) const
{
    return rect().contains(position);
}

WrappingPushButton::WrappingPushButton(const QString& text, QWidget* parent)
    : QPushButton(text, parent)
{
}

void WrappingPushButton::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString text = option.text;
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    option.text = text;
    const QRect textArea = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    style()->drawItemText(&painter, textArea, Qt::AlignCenter | kWrappedTextFlags, palette(),
                          isEnabled(), text, QPalette::ButtonText);
}

void fitTextToWidth(QLabel* label)
{
    QFont font = label->font();
    const int room = label->contentsRect().width();
    while (font.pointSizeF() > kSmallestPointSize &&
           QFontMetrics(font).horizontalAdvance(label->text()) > room)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    label->setFont(font);
}

} // namespace platterly::cataloguing
