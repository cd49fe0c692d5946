// The chooser's look: a borderless blue window, the heading, the folder column on the left,
// the file column on the right and the two load buttons at the bottom.
#include "chooser/frm_loading.h"

#include "chooser/drive_box.h"
#include "chooser/file_list.h"
#include "chooser/folder_list.h"
#include "platform/drives/system_volume_source.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>

namespace platterly::chooser {

namespace {

constexpr int kWidth = 600;
constexpr int kHeight = 420;
const QColor kBackground(16, 40, 140);
const QColor kColumnFrame(150, 180, 255);
const QColor kCaptionBackground(230, 234, 245);

// The picture of the desktop button: a small screen on its stand.
QIcon desktopIcon()
{
    QPixmap picture(20, 20);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(40, 40, 60), 1.2));
    painter.setBrush(QColor(90, 160, 230));
    painter.drawRoundedRect(QRectF(2, 3, 16, 11), 1.5, 1.5);
    painter.setBrush(QColor(40, 40, 60));
    painter.drawRect(QRectF(8.5, 14, 3, 2.5));
    painter.drawRect(QRectF(5.5, 16.5, 9, 1.5));
    return QIcon(picture);
}

// A column's caption: dark text on a light strip, as a label on the blue ground.
QLabel* caption(QWidget* parent, const QString& name, const QString& text, QRect place)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(place);
    QPalette colours = label->palette();
    colours.setColor(QPalette::Window, kCaptionBackground);
    colours.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(colours);
    label->setAutoFillBackground(true);
    label->setIndent(6);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

// A frame drawn around a column; it lies beneath the column's controls and takes no clicks.
QFrame* columnFrame(QWidget* parent, const QString& name, QRect place)
{
    auto* frame = new QFrame(parent);
    frame->setObjectName(name);
    frame->setGeometry(place);
    frame->setFrameShape(QFrame::Box);
    frame->setLineWidth(1);
    QPalette colours = frame->palette();
    colours.setColor(QPalette::WindowText, kColumnFrame);
    frame->setPalette(colours);
    frame->setAttribute(Qt::WA_TransparentForMouseEvents);
    return frame;
}

} // namespace

frmLoading::frmLoading(handover::ProgramState& state, const handover::Windows& windows,
                       QWidget* parent)
    : frmLoading(state, windows, drives::systemDriveMap, parent)
{
}

frmLoading::frmLoading(handover::ProgramState& state, const handover::Windows& windows,
                       DriveSource driveSource, QWidget* parent)
    : QWidget(parent), m_state(state), m_windows(windows), m_driveSource(std::move(driveSource))
{
    setObjectName(QStringLiteral("frmLoading"));
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setFixedSize(kWidth, kHeight);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, kBackground);
    setPalette(colours);
    setAutoFillBackground(true);
    buildControls();
    connectHandlers();
}

frmLoading::~frmLoading() = default;

void frmLoading::buildControls()
{
    Shape1 = columnFrame(this, QStringLiteral("Shape1"), QRect(16, 56, 276, 298));
    Shape2 = columnFrame(this, QStringLiteral("Shape2"), QRect(308, 56, 276, 298));

    Label3 = new QLabel(QStringLiteral("SELECT DATABASE COLLECTION TO LOAD"), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setGeometry(0, 12, kWidth, 32);
    Label3->setAlignment(Qt::AlignCenter);
    QPalette white = Label3->palette();
    white.setColor(QPalette::WindowText, Qt::white);
    Label3->setPalette(white);
    QFont heading = Label3->font();
    heading.setBold(true);
    heading.setPointSize(heading.pointSize() + 5);
    Label3->setFont(heading);

    Label1 = caption(this, QStringLiteral("Label1"), QStringLiteral("Select A Directory"),
                     QRect(28, 66, 252, 22));
    Drive1 = new DriveBox(this);
    Drive1->setObjectName(QStringLiteral("Drive1"));
    Drive1->setGeometry(28, 96, 214, 26);
    Command3 = new QToolButton(this);
    Command3->setObjectName(QStringLiteral("Command3"));
    Command3->setGeometry(250, 95, 30, 28);
    Command3->setIcon(desktopIcon());
    Command3->setIconSize(QSize(20, 20));
    Command3->setToolTip(QStringLiteral("Desktop"));
    Dir1 = new FolderList(this);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    Dir1->setGeometry(28, 130, 252, 212);

    Label2 = caption(this, QStringLiteral("Label2"), QStringLiteral("Select A Database File"),
                     QRect(320, 66, 252, 22));
    File1 = new FileList(kCatalogueFilePattern, this);
    File1->setObjectName(QStringLiteral("File1"));
    File1->setGeometry(320, 96, 252, 246);

    cmdDefault = new QPushButton(QStringLiteral("Load &Default Datbase"), this);
    cmdDefault->setObjectName(QStringLiteral("cmdDefault"));
    cmdDefault->setGeometry(16, 370, 276, 34);
    cmdLoad = new QPushButton(QStringLiteral("&Load  Selected Database"), this);
    cmdLoad->setObjectName(QStringLiteral("cmdLoad"));
    cmdLoad->setGeometry(308, 370, 276, 34);
}

void frmLoading::connectHandlers()
{
    connect(Drive1, &DriveBox::driveChanged, this, &frmLoading::Drive1_Change);
    connect(Dir1, &FolderList::pathChanged, this, &frmLoading::Dir1_Change);
    connect(File1, &QListWidget::itemClicked, this, &frmLoading::File1_Click);
    // Moving the selection with the keyboard counts as a click, as in any file list.
    connect(File1, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            File1_Click();
    });
    connect(File1, &QListWidget::itemDoubleClicked, this, &frmLoading::File1_DblClick);
    connect(Command3, &QToolButton::clicked, this, &frmLoading::Command3_Click);
    connect(cmdLoad, &QPushButton::clicked, this, &frmLoading::cmdLoad_Click);
    connect(cmdDefault, &QPushButton::clicked, this, &frmLoading::cmdDefault_Click);
}

void frmLoading::showLoaded()
{
    if (!m_loaded)
        Load();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    activateWindow();
}

} // namespace platterly::chooser
