#pragma once

#include <QCheckBox>
#include <QPushButton>

class QLabel;

namespace platterly::cataloguing {

// The new-disc window keeps its long captions in small controls, laid out for the narrow
// system font of old desktops. These controls wrap or shrink such a caption so that it shows
// whole with today's wider fonts, without moving any control.

// A check box whose text wraps onto further lines within the box's width. The whole box,
// text included, answers clicks.
class WrappingCheckBox : public QCheckBox
{
    Q_OBJECT

public:
    explicit WrappingCheckBox(const QString& text, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& position) const override;
};

// A push button whose caption wraps onto a second line when it is too wide for one.
class WrappingPushButton : public QPushButton
{
    Q_OBJECT

public:
    explicit WrappingPushButton(const QString& text, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// Makes the label's font smaller, a half point at a time down to a floor, until its text fits
// on one line of the label's width.
void fitTextToWidth(QLabel* label);

} // namespace platterly::cataloguing
