#include "controls/caption_label.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

namespace platterly::controls {

CaptionLabel::CaptionLabel(QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    // The pictures of the button show through around the letters, even when the holding
    // window's style sheet gives labels a background.
    setAutoFillBackground(false);
    setAttribute(Qt::WA_NoSystemBackground);
}

void CaptionLabel::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    style()->drawItemText(&painter, contentsRect(),
                          static_cast<int>(alignment()) | Qt::TextShowMnemonic, palette(),
                          isEnabled(), text(), foregroundRole());
}

void CaptionLabel::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    Q_EMIT pressed(event->button());
}

void CaptionLabel::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    Q_EMIT released(event->button());
}

void CaptionLabel::mouseMoveEvent(QMouseEvent* event)
{
    // Dragging over the caption means nothing to the window behind it either.
    event->accept();
}

} // namespace platterly::controls
