#pragma once

#include <QHash>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <functional>
#include <vector>

class QWidget;

namespace platterly::app {

// Keeps a window's controls where they were designed while the window has its design size,
// and shares out the room it gains beyond that size: each control moves and grows by set
// shares of the added width and height. A control without shares of its own gets those of a
// rule on its design place, so controls added later still follow the window.
class ElasticLayout
{
public:
    // Shares of the added width (left, width) and of the added height (top, height).
    struct Shares
    {
        qreal left = 0;
        qreal top = 0;
        qreal width = 0;
        qreal height = 0;
    };
    using Rule = std::function<Shares(const QRect& design)>;

    explicit ElasticLayout(QWidget* window) : m_window(window) {}

    // Takes the window's size and every control's place as the design, from now on.
    void takeDesign(const Rule& rule);
    void setShares(QWidget* control, Shares shares) { m_shares.insert(control, shares); }
    QSize designSize() const { return m_designSize; }

    // Moves a control's design place down by `down` and makes it `taller` (negative: up,
    // shorter), as when a panel opens above it; arrange() then places it anew.
    void moveDesign(const QWidget* control, int down, int taller);

    // Places every control for the window's present size.
    void arrange();

private:
    struct Control
    {
        QPointer<QWidget> widget;
        QRect design;
    };

    QWidget* m_window;
    QSize m_designSize;
    Rule m_rule;
    std::vector<Control> m_controls;
    QHash<const QWidget*, Shares> m_shares;
};

} // namespace platterly::app
