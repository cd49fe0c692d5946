// The search panel's "More..." limits: an entry's size and time of change, in a panel that is
// closed at first and leaves the window as it always was while it stays closed.
#include "app/windows/form1.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/twips.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

namespace platterly::app {

using ui::twips;

namespace {

// The panel's height; while it is open the results grid and what stands beside it move down
// by this much.
constexpr int kPanelHeight = 420;

QLineEdit* limitBox(QWidget* panel, const QString& caption, const QString& example, int left,
                    int captionWidth)
{
    auto* text = new QLabel(caption, panel);
    ui::placeInTwips(text, left, 60, captionWidth, 255);
    auto* box = new QLineEdit(panel);
    box->setPlaceholderText(example);
    ui::placeInTwips(box, left + captionWidth, 30, 1260, 315);
    return box;
}

} // namespace

void Form1::buildFilterPanel()
{
    cmdMore = new QPushButton(QStringLiteral("More…"), this);
    cmdMore->setObjectName(QStringLiteral("cmdMore"));
    cmdMore->setCheckable(true);
    ui::placeInTwips(cmdMore, 9300, 4770, 1200, 300);
    fraMore = new QWidget(this);
    fraMore->setObjectName(QStringLiteral("fraMore"));
    ui::placeInTwips(fraMore, 120, 5100, 11655, kPanelHeight - 30);
    txtLarger = limitBox(fraMore, QStringLiteral("Larger than"), QStringLiteral("10M"), 0, 1000);
    txtSmaller =
        limitBox(fraMore, QStringLiteral("Smaller than"), QStringLiteral("1G"), 2400, 1080);
    txtAfter = limitBox(fraMore, QStringLiteral("Modified on or after"),
                        QStringLiteral("YYYY-MM-DD"), 4860, 1740);
    txtBefore = limitBox(fraMore, QStringLiteral("Modified before"), QStringLiteral("YYYY-MM-DD"),
                         8000, 1380);
    for (QLineEdit* box : {txtLarger, txtSmaller, txtAfter, txtBefore})
        connect(box, &QLineEdit::returnPressed, this, [this] { cmdSearch_Click(); });
    fraMore->hide();
    connect(cmdMore, &QPushButton::clicked, this, [this] { cmdMore_Click(); });
}

void Form1::cmdMore_Click()
{
    const bool open = cmdMore->isChecked();
    if (open == fraMore->isVisible())
        return;
    // The grid and what stands beside it move down by the panel's height and keep their
    // bottom edges; the layout then places them for the window's present size.
    const int by = (open ? 1 : -1) * twips(kPanelHeight);
    m_layout.moveDesign(MSFlexGrid1, by, -by);
    m_layout.moveDesign(LBLFILE, by, 0);
    m_layout.moveDesign(imgPreview, by, -by);
    m_layout.arrange();
    fraMore->setVisible(open);
    if (open)
        txtLarger->setFocus();
}

bool Form1::readFilters(search::SearchFilters* filters)
{
    *filters = {};
    if (!fraMore->isVisible())
        return true;
    struct Limit
    {
        QLineEdit* box;
        std::optional<qint64>* value;
        bool isSize;
    };
    const Limit limits[] = {{txtLarger, &filters->largerThan, true},
                            {txtSmaller, &filters->smallerThan, true},
                            {txtAfter, &filters->modifiedFrom, false},
                            {txtBefore, &filters->modifiedBefore, false}};
    for (const Limit& limit : limits) {
        const QString text = limit.box->text().trimmed();
        if (text.isEmpty())
            continue;
        *limit.value = limit.isSize ? search::parseSizeText(text) : search::startOfLocalDay(text);
        if (*limit.value)
            continue;
        ui::messageBox(this,
                       limit.isSize
                           ? QStringLiteral("'%1' is not a size: give bytes, or a number with K, M "
                                            "or G (10M, 1.5G).")
                                 .arg(text)
                           : QStringLiteral("'%1' is not a day: give it as YYYY-MM-DD.").arg(text),
                       ui::Buttons::Ok, ui::Icon::Warning);
        limit.box->setFocus();
        return false;
    }
    return true;
}

} // namespace platterly::app
