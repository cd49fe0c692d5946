#pragma once

#include <QLabel>

namespace platterly::controls {

// The caption of a Button: a transparent label that draws its text with the accelerator
// letter underlined ("&Quit" shows an underlined Q, "&&" shows one ampersand) and reports the
// mouse buttons pressed and released on it. A plain QLabel only underlines when it has a
// buddy widget to focus, and ignores mouse presses so they would reach the button behind it;
// the caption is the one part of the button that takes the mouse, so it keeps them.
class CaptionLabel : public QLabel
{
    Q_OBJECT

public:
    explicit CaptionLabel(QWidget* parent = nullptr);

Q_SIGNALS:
    void pressed(Qt::MouseButton button);
    // Delivered wherever the pointer is when the button is let go, since the press that
    // began on the caption makes it the receiver of the release.
    void released(Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
};

} // namespace platterly::controls
