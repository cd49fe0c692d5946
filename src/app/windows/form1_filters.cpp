// The search panel's "More..." limits: an entry's size and time of change, in a panel that is
// closed at first and leaves the window as it always was while it stays closed.
#include "app/windows/form1.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/twips.h"

#include <QHBoxLayout>
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

// A caption and its box, side by side in the panel's row; the caption as wide as its text,
// the box as wide as `widest` in the font in use.
QLineEdit* limitBox(QHBoxLayout* row, const char* name, const QString& caption,
                    const QString& example, const QString& widest)
{
    auto* text = new QLabel(caption);
    auto* box = new QLineEdit;
    box->setObjectName(QLatin1String(name));
    // The caption of txtLarger is lblLarger.
    text->setObjectName(QStringLiteral("lbl") + QLatin1String(name).mid(3));
    box->setPlaceholderText(example);
    box->setFixedWidth(box->fontMetrics().horizontalAdvance(widest) + twips(240));
    text->setBuddy(box);
    row->addWidget(text);
    row->addWidget(box);
    row->addSpacing(twips(120));
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
    // The captions take the room their text needs in the font in use; the boxes follow them,
    // and what is left of the panel's width stays empty at its right.
    auto* row = new QHBoxLayout(fraMore);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(twips(60));
    const QString size = QStringLiteral("9999999999");
    const QString day = QStringLiteral("YYYY-MM-DD");
    txtLarger =
        limitBox(row, "txtLarger", QStringLiteral("Larger than"), QStringLiteral("10M"), size);
    txtSmaller =
        limitBox(row, "txtSmaller", QStringLiteral("Smaller than"), QStringLiteral("1G"), size);
    txtAfter = limitBox(row, "txtAfter", QStringLiteral("Modified on or after"), day, day);
    txtBefore = limitBox(row, "txtBefore", QStringLiteral("and before"), day, day);
    row->addStretch(1);
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
