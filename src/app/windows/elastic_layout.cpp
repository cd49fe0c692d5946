#include "app/windows/elastic_layout.h"

#include <QWidget>

namespace platterly::app {

void ElasticLayout::takeDesign(const Rule& rule)
{
    m_rule = rule;
    m_designSize = m_window->size();
    m_controls.clear();
    for (QWidget* child : m_window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (!child->isWindow())
            m_controls.push_back({child, child->geometry()});
}

void ElasticLayout::moveDesign(const QWidget* control, int down, int taller)
{
    for (Control& known : m_controls)
        if (known.widget == control)
            known.design.adjust(0, down, 0, down + taller);
}

void ElasticLayout::arrange()
{
    if (m_designSize.isEmpty())
        return;
    // A window smaller than its design (a small screen) keeps the design and scrolls nothing:
    // the controls stay in place.
    const int addedWidth = qMax(0, m_window->width() - m_designSize.width());
    const int addedHeight = qMax(0, m_window->height() - m_designSize.height());
    for (const Control& control : m_controls) {
        if (!control.widget)
            continue;
        const auto own = m_shares.constFind(control.widget.data());
        const Shares shares =
            own != m_shares.constEnd() ? *own : (m_rule ? m_rule(control.design) : Shares{});
        const QRect& design = control.design;
        control.widget->setGeometry(design.x() + qRound(shares.left * addedWidth),
                                    design.y() + qRound(shares.top * addedHeight),
                                    design.width() + qRound(shares.width * addedWidth),
                                    design.height() + qRound(shares.height * addedHeight));
    }
}

} // namespace platterly::app
