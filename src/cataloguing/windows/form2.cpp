// The new-disc window's look: a small, wide window laid out in twips as it has always been,
// plus the progress line and the Cancel button that show during a run.
#include "cataloguing/windows/form2.h"

#include "catalogue/catalogue_file.h"
#include "cataloguing/windows/frm_path.h"
#include "cataloguing/windows/wrapping_controls.h"
#include "platform/drives/system_volume_source.h"
#include "platform/ui/twips.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

namespace platterly::cataloguing {

using ui::placeInTwips;
using ui::twips;

namespace {

// Client area in twips.
constexpr int kWidth = 9045;
constexpr int kHeight = 2190;

QLabel* label(QWidget* parent, const QString& name, const QString& text, int left, int top,
              int width, int height)
{
    auto* widget = new QLabel(text, parent);
    widget->setObjectName(name);
    placeInTwips(widget, left, top, width, height);
    fitTextToWidth(widget);
    return widget;
}

QPushButton* button(QWidget* parent, const QString& name, const QString& caption, int left, int top,
                    int width, int height)
{
    auto* widget = new WrappingPushButton(caption, parent);
    widget->setObjectName(name);
    placeInTwips(widget, left, top, width, height);
    return widget;
}

QLineEdit* textBox(QWidget* parent, const QString& name, int left, int top, int width, int height)
{
    auto* widget = new QLineEdit(parent);
    widget->setObjectName(name);
    placeInTwips(widget, left, top, width, height);
    return widget;
}

// A decorative line, drawn as a sunken rule.
QFrame* line(QWidget* parent, const QString& name, QFrame::Shape shape, int left, int top,
             int width, int height)
{
    auto* widget = new QFrame(parent);
    widget->setObjectName(name);
    widget->setFrameShape(shape);
    widget->setFrameShadow(QFrame::Sunken);
    widget->setAttribute(Qt::WA_TransparentForMouseEvents);
    placeInTwips(widget, left, top, width, height);
    return widget;
}

void setTextColour(QWidget* widget, const QColor& colour)
{
    QPalette colours = widget->palette();
    colours.setColor(QPalette::WindowText, colour);
    widget->setPalette(colours);
}

} // namespace

Form2::Form2(handover::ProgramState& state, const handover::Windows& windows, QWidget* parent)
    : Form2(state, windows, drives::systemDriveMap, parent)
{
}

Form2::Form2(handover::ProgramState& state, const handover::Windows& windows,
             DriveSource driveSource, QWidget* parent)
    : QWidget(parent), m_state(state), m_windows(windows), m_driveSource(std::move(driveSource))
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(kNewDiscCaption);
    setFixedSize(twips(kWidth), twips(kHeight));
    // The layout was drawn for an 8 point system font.
    QFont small = font();
    small.setPointSize(8);
    setFont(small);
    buildControls();
    buildRunControls();
    connectHandlers();
    Check1_Click();
}

Form2::~Form2()
{
    // The path box loses the focus while the window is taken apart, which would call its
    // handler on a window that is no longer whole.
    disconnect(txtPath, nullptr, this, nullptr);
}

void Form2::buildControls()
{
    Line1 = line(this, QStringLiteral("Line1"), QFrame::HLine, 120, 1020, 7320, 60);
    Line2 = line(this, QStringLiteral("Line2"), QFrame::HLine, 120, 1800, 7320, 60);
    Line3 = line(this, QStringLiteral("Line3"), QFrame::VLine, 3600, 180, 60, 780);
    Line4 = line(this, QStringLiteral("Line4"), QFrame::VLine, 7440, 180, 60, 1560);

    Label3 = label(this, QStringLiteral("Label3"), QStringLiteral("Select  CD Drive"), 120, 240,
                   1185, 195);
    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    placeInTwips(Combo1, 120, 480, 2295, 315);
    cmdScanDrives = button(this, QStringLiteral("cmdScanDrives"), QStringLiteral("&Scan Drives"),
                           2520, 480, 1095, 255);

    Label1 = label(this, QStringLiteral("Label1"), QStringLiteral("Selected Drive"), 3720, 240,
                   1050, 195);
    txtPath = textBox(this, QStringLiteral("txtPath"), 5040, 240, 1440, 315);
    cmdSelFile = new QToolButton(this);
    cmdSelFile->setObjectName(QStringLiteral("cmdSelFile"));
    cmdSelFile->setIcon(style()->standardIcon(QStyle::SP_DriveCDIcon));
    cmdSelFile->setToolTip(QStringLiteral("Select a disc image or archive"));
    placeInTwips(cmdSelFile, 6540, 240, 375, 315);
    cmdSelDir = new QToolButton(this);
    cmdSelDir->setObjectName(QStringLiteral("cmdSelDir"));
    cmdSelDir->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    cmdSelDir->setToolTip(QStringLiteral("Select a folder"));
    placeInTwips(cmdSelDir, 6960, 240, 375, 315);

    Label2 = label(this, QStringLiteral("Label2"), QStringLiteral("Name of The CD"), 3720, 600,
                   1200, 195);
    txtName = textBox(this, QStringLiteral("txtName"), 5040, 600, 2295, 315);
    txtName->setMaxLength(catalogue::kMaxTitleLength);

    cmdGo = button(this, QStringLiteral("cmdGo"), QStringLiteral("Create CD Database"), 7560, 360,
                   1335, 495);
    cmdQuit =
        button(this, QStringLiteral("cmdQuit"), QStringLiteral("&Close"), 7560, 1200, 1335, 495);

    Check1 = new WrappingCheckBox(
        QStringLiteral("Other Than CD Path (To Select Drive or Directory Other than CD"), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    setTextColour(Check1, QColor(64, 64, 64));
    placeInTwips(Check1, 3840, 1200, 3735, 375);

    Label4 = label(this, QStringLiteral("Label4"),
                   QStringLiteral("<<<HOLD SHIFT TO STOP CD AUTORUN>>>"), 120, 1320, 3375, 255);
    setTextColour(Label4, QColor(255, 0, 0));

    LblPrompt = label(this, QStringLiteral("LblPrompt"), kInstructionPrompt, 480, 1920, 8310, 195);

    // The order Tab follows, first the drive list.
    setTabOrder(Combo1, cmdScanDrives);
    setTabOrder(cmdScanDrives, txtPath);
    setTabOrder(txtPath, cmdSelFile);
    setTabOrder(cmdSelFile, cmdSelDir);
    setTabOrder(cmdSelDir, txtName);
    setTabOrder(txtName, cmdGo);
    setTabOrder(cmdGo, Check1);
    setTabOrder(Check1, cmdQuit);
}

void Form2::buildRunControls()
{
    // Both stand in the bottom row, right of the short "Processing drive..." prompt, and
    // exist only for the length of a run.
    lblProgress = label(this, QStringLiteral("lblProgress"), QString(), 2280, 1920, 5160, 195);
    lblProgress->hide();
    cmdCancel =
        button(this, QStringLiteral("cmdCancel"), QStringLiteral("Cancel"), 7560, 1845, 1335, 315);
    cmdCancel->hide();
}

void Form2::connectHandlers()
{
    connect(cmdScanDrives, &QPushButton::clicked, this, &Form2::cmdScanDrives_Click);
    connect(Combo1, &QComboBox::activated, this, &Form2::Combo1_Click);
    connect(Check1, &QCheckBox::toggled, this, &Form2::Check1_Click);
    connect(cmdSelDir, &QToolButton::clicked, this, &Form2::cmdSelDir_Click);
    connect(cmdSelFile, &QToolButton::clicked, this, &Form2::cmdSelFile_Click);
    connect(txtPath, &QLineEdit::editingFinished, this, &Form2::txtPath_LostFocus);
    connect(cmdGo, &QPushButton::clicked, this, &Form2::cmdGo_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &Form2::cmdCancel_Click);
    connect(cmdQuit, &QPushButton::clicked, this, &Form2::cmdQuit_Click);
}

frmPath& Form2::folderPicker()
{
    if (!m_picker) {
        m_picker = std::make_unique<frmPath>(m_state, m_driveSource);
        m_picker->setWaitingWindow(this);
        m_picker->setFolderAction([this](const ChosenFolder& folder) {
            m_chosenFolder = folder;
            txtPath->setText(folder.drivePath);
            txtName->setText(proposedTitle(folder.drivePath));
        });
    }
    return *m_picker;
}

void Form2::showLoaded()
{
    if (!m_loaded)
        Load();
    show();
    raise();
    activateWindow();
}

} // namespace platterly::cataloguing
