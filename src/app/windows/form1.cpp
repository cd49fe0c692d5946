#include "app/windows/form1.h"

#include "app/windows/results_grid.h"
#include "app/windows/tree_icons.h"
#include "controls/button.h"
#include "platform/ui/twips.h"
#include "search/statement_builder.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTableView>
#include <QTreeView>

namespace platterly::app {

using ui::twips;

namespace {

// Every control carries its old name as object name, by which it is found.
template <typename Widget>
Widget* named(Widget* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QLabel* label(QWidget* parent, const char* name, const QString& text, int left, int top, int width,
              int height)
{
    auto* widget = named(new QLabel(text, parent), name);
    widget->setGeometry(twips(left), twips(top), twips(width), twips(height));
    return widget;
}

// The controls keep the places the window was designed with, in twips.
constexpr auto place = &ui::placeInTwips;

// The disc list. Qt makes the first row of a list current when the list gets the focus;
// here the focus alone leaves it as it was, so no disc is chosen until the user clicks one
// or moves onto one with the keys (the first arrow key then lands on the first disc).
class DiscList : public QListWidget
{
public:
    using QListWidget::QListWidget;

protected:
    void focusInEvent(QFocusEvent* event) override
    {
        const bool hadCurrent = currentIndex().isValid();
        QListWidget::focusInEvent(event);
        if (!hadCurrent && selectedItems().isEmpty())
            selectionModel()->clearCurrentIndex();
    }
};

// An editable box that searches what was typed: Qt's inline completion would fill in the
// rest of a matching entry of its list ("a" becoming "a9"). Its list still drops down.
QComboBox* editableBox(QWidget* parent, const char* name)
{
    auto* box = named(new QComboBox(parent), name);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setCompleter(nullptr);
    return box;
}

QLabel* picture(QWidget* parent, const char* name, QStyle::StandardPixmap kind, const QString& tip)
{
    auto* widget = named(new QLabel(parent), name);
    widget->setPixmap(parent->style()->standardIcon(kind).pixmap(24, 24));
    widget->setAlignment(Qt::AlignCenter);
    widget->setToolTip(tip);
    widget->setMouseTracking(true);
    return widget;
}

} // namespace

Form1::Form1(handover::ProgramState& state, const handover::Windows& windows, QWidget* parent)
    : QWidget(parent), m_state(state), m_windows(windows)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(kMainCaption);
    setMouseTracking(true);
    // The design size is the smallest; a larger window gives the added room to the lists.
    setMinimumSize(twips(12000), twips(9690));
    resize(minimumSize());
    buildControls();
    buildSearchPanel();
    buildFilterPanel();
    buildBottomRow();
    shareAddedRoom();
    connectHandlers();
}

Form1::~Form1() = default;

void Form1::buildControls()
{
    // The strip of picture buttons and the hint line along the top.
    LBLBACK = label(this, "LBLBACK", QString(), 0, 0, 12000, 600);
    LBLBACK->setAutoFillBackground(true);
    LBLBACK->setStyleSheet(QStringLiteral("background-color: #1f3b63;"));
    LBLBACK->setMouseTracking(true);
    Image1 = picture(this, "Image1", QStyle::SP_DriveCDIcon, QString());
    place(Image1, 120, 60, 480, 480);
    Image2 = picture(this, "Image2", QStyle::SP_DialogSaveButton, QStringLiteral("Take Back-up"));
    place(Image2, 10200, 60, 480, 480);
    Image3 = picture(this, "Image3", QStyle::SP_DialogOpenButton,
                     QStringLiteral("Load Another Database"));
    place(Image3, 10800, 60, 480, 480);
    Label5 = label(this, "Label5", QStringLiteral("?"), 11400, 60, 480, 480);
    Label5->setAlignment(Qt::AlignCenter);
    Label5->setToolTip(
        QStringLiteral("Opens HELP file in PDF format, u need Acrobat reader to read this file"));
    Label5->setStyleSheet(
        QStringLiteral("color: rgb(255, 255, 0); font-weight: bold; font-size: 16pt;"));
    auto* title = label(this, "lblTitle", kMainCaption, 720, 120, 6000, 360);
    title->setStyleSheet(QStringLiteral("color: white; font-size: 14pt; font-weight: bold;"));
    title->setAttribute(Qt::WA_TransparentForMouseEvents);
    // Wide enough for the longest hint.
    lblmsg2 = label(this, "lblmsg2", QStringLiteral("WELCOME"), 3480, 180, 6600, 255);
    lblmsg2->setStyleSheet(QStringLiteral("color: #ffe08a;"));
    lblmsg2->setAttribute(Qt::WA_TransparentForMouseEvents);

    Label2 = label(this, "Label2", QStringLiteral("Double Click the CD Title to View Files "), 120,
                   720, 3375, 240);
    List1 = named(new DiscList(this), "List1");
    place(List1, 120, 960, 3375, 2160);
    LBLtFILES = label(this, "LBLtFILES", QString(), 240, 3180, 3300, 240);
    LBLdate = label(this, "LBLdate", QString(), 240, 3420, 3300, 240);
    trv = named(new QTreeView(this), "trv");
    place(trv, 3840, 720, 7935, 2775);
    trv->setHeaderHidden(true);
    trv->setUniformRowHeights(true);
    trv->setMouseTracking(true);
    trv->setModel(new TreeIconProxy(m_tree = new browse::DiscTreeModel(this), this));
    lblTotals = label(this, "lblTotals", browse::totalsLine(0, 0, 0), 120, 3720, 11655, 285);
    lblTotals->setStyleSheet(QStringLiteral("font-weight: bold;"));

    Pop2 = named(new QMenu(this), "Pop2");
}

void Form1::buildSearchPanel()
{
    QLabel* heading =
        label(this, "lblSearchHeading", QStringLiteral("Search"), 120, 4080, 1200, 255);
    heading->setStyleSheet(QStringLiteral("font-weight: bold;"));
    label(this, "lblSearchHint",
          QStringLiteral("Enter Search String   ( Use Wild Chars  like    A* ,  "
                         "A*.txt  etc.,) and    Select  File Type  "),
          1320, 4080, 9000, 255);
    cmbStrs = editableBox(this, "cmbStrs");
    place(cmbStrs, 120, 4380, 3300, 330);
    cmbSearch = editableBox(this, "cmbSearch");
    cmbSearch->addItems(search::searchCategories());
    cmbSearch->setEditText(QStringLiteral("All Files"));
    place(cmbSearch, 3540, 4380, 2400, 330);
    Option1[0] = named(new QRadioButton(QStringLiteral("All CDs"), this), "Option1_0");
    place(Option1[0], 6060, 4380, 1200, 330);
    Option1[1] = named(new QRadioButton(QStringLiteral("Selected CD Only"), this), "Option1_1");
    place(Option1[1], 7260, 4380, 1980, 330);
    Option1[0]->setChecked(true);
    cmdSearch = named(new QPushButton(QStringLiteral("&Search"), this), "cmdSearch");
    place(cmdSearch, 9300, 4350, 1200, 390);
    cmdStop = named(new QPushButton(QStringLiteral("S&top"), this), "cmdStop");
    place(cmdStop, 10590, 4350, 1200, 390);
    cmdStop->setEnabled(false);
    lblMessage = label(this, "lblMessage", QString(), 120, 4800, 11655, 255);

    MSFlexGrid1 = named(new ResultsGrid(this), "MSFlexGrid1");
    place(MSFlexGrid1, 120, 5100, 9000, 2900);
    MSFlexGrid1->setModel(m_results = new search::ResultsModel(this));
    MSFlexGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    MSFlexGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    MSFlexGrid1->setWordWrap(false);
    MSFlexGrid1->verticalHeader()->setDefaultSectionSize(MSFlexGrid1->fontMetrics().height() + 4);
    const QList<int> widths = search::ResultsModel::widthsInCharacters();
    const int character = MSFlexGrid1->fontMetrics().averageCharWidth();
    for (int column = 0; column < widths.size(); ++column)
        MSFlexGrid1->setColumnWidth(column, widths.at(column) * character);
    MSFlexGrid1->setToolTip(QStringLiteral("Right Click to Open the Menu"));
    MSFlexGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    MSFlexGrid1->verticalHeader()->hide();
    MSFlexGrid1->horizontalHeader()->setStretchLastSection(true);
    LBLFILE = label(this, "LBLFILE", QString(), 9240, 5100, 2535, 480);
    LBLFILE->setWordWrap(true);
    imgPreview = label(this, "imgPreview", QString(), 9240, 5640, 2535, 2360);
    imgPreview->setAlignment(Qt::AlignCenter);
    imgPreview->setScaledContents(false);
    imgPreview->hide();
}

void Form1::buildBottomRow()
{
    Check1 = named(new QCheckBox(QStringLiteral("Show Load Database window in Startup"), this),
                   "Check1");
    place(Check1, 120, 8160, 4500, 300);
    Check2 = named(new QCheckBox(QStringLiteral("Play Sound  in Startup"), this), "Check2");
    place(Check2, 120, 8520, 4500, 300);
    label(this, "Label6", QStringLiteral("Select Present CD Drive Letter to Open or Copy the File"),
          4800, 8160, 3600, 540)
        ->setWordWrap(true);
    // Filled with the machine's drives by the load step; wide enough for a mount point.
    cmbDrive = named(new DriveLetterBox(this), "cmbDrive");
    place(cmbDrive, 8520, 8250, 3255, 330);

    auto makeButton = [this](const char* name, const QString& caption, int left, int top,
                             int width) {
        auto* button = new controls::Button(QLatin1String(name), this);
        button->setCaption(caption);
        place(button, left, top, width, 360);
        return button;
    };
    cmdAddCD = makeButton("cmdAddCD", QStringLiteral("&ADD New CD"), 120, 9000, 2700);
    cmdDelete = makeButton("cmdDelete", QStringLiteral("&Delete Selected CD"), 2940, 9000, 2700);
    CmdExport =
        makeButton("CmdExport", QStringLiteral("Export Resuts to MSWORD"), 5760, 9000, 3300);
    CmdQuit = makeButton("CmdQuit", QStringLiteral("&Quit"), 9180, 9000, 2595);
}

void Form1::shareAddedRoom()
{
    // Added height goes to the disc list and tree (a third) and to the results grid (the
    // rest); added width to the grid, the tree and, a quarter, to the disc list. Everything
    // else keeps its place beside them; the rows below the grid move down with the bottom.
    constexpr qreal upper = 1.0 / 3;
    constexpr qreal lower = 1 - upper;
    constexpr qreal list = 0.25;
    using Shares = ElasticLayout::Shares;
    const int listBottom = List1->geometry().bottom();
    const int gridBottom = MSFlexGrid1->geometry().bottom();
    m_layout.takeDesign([=](const QRect& design) {
        if (design.top() > gridBottom)
            return Shares{0, 1, 0, 0};
        return design.top() > listBottom ? Shares{0, upper, 0, 0} : Shares{};
    });
    m_layout.setShares(LBLBACK, Shares{0, 0, 1, 0});
    m_layout.setShares(lblmsg2, Shares{0, 0, 1, 0});
    for (QWidget* right : {static_cast<QWidget*>(Image2), static_cast<QWidget*>(Image3),
                           static_cast<QWidget*>(Label5)})
        m_layout.setShares(right, Shares{1, 0, 0, 0});
    m_layout.setShares(Label2, Shares{0, 0, list, 0});
    m_layout.setShares(List1, Shares{0, 0, list, upper});
    m_layout.setShares(trv, Shares{list, 0, 1 - list, upper});
    m_layout.setShares(lblTotals, Shares{0, upper, 1, 0});
    m_layout.setShares(lblMessage, Shares{0, upper, 1, 0});
    m_layout.setShares(MSFlexGrid1, Shares{0, upper, 1, lower});
    // "More..." stays under Search; its panel spans the grid and the preview above them.
    m_layout.setShares(fraMore, Shares{0, upper, 1, 0});
    m_layout.setShares(LBLFILE, Shares{1, upper, 0, 0});
    m_layout.setShares(imgPreview, Shares{1, upper, 0, lower});
}

} // namespace platterly::app
