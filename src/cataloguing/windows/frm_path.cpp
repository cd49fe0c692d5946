// The picker's look: the heading, the drive box with the two shortcut buttons beside it, the
// folder list, the line showing the folder listed, and the two buttons at the bottom.
#include "cataloguing/windows/frm_path.h"

#include "chooser/drive_box.h"
#include "chooser/folder_list.h"
#include "platform/drives/system_volume_source.h"
#include "platform/ui/twips.h"

#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

namespace platterly::cataloguing {

using ui::placeInTwips;
using ui::twips;

namespace {

// Client area in twips.
constexpr int kWidth = 4680;
constexpr int kHeight = 5400;

QToolButton* shortcutButton(QWidget* parent, const QString& name, QStyle::StandardPixmap picture,
                            const QString& tip)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setIcon(parent->style()->standardIcon(picture));
    button->setToolTip(tip);
    button->setAutoRaise(false);
    return button;
}

} // namespace

frmPath::frmPath(handover::ProgramState& state, QWidget* parent)
    : frmPath(state, drives::systemDriveMap, parent)
{
}

frmPath::frmPath(handover::ProgramState& state, DriveSource driveSource, QWidget* parent)
    : QWidget(parent), m_state(state), m_driveSource(std::move(driveSource))
{
    setObjectName(QStringLiteral("frmPath"));
    setWindowTitle(QStringLiteral("Select Directory"));
    setFixedSize(twips(kWidth), twips(kHeight));
    buildControls();
    connectHandlers();
}

frmPath::~frmPath() = default;

void frmPath::buildControls()
{
    Label1 = new QLabel(QStringLiteral("Select Directory"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont heading = Label1->font();
    heading.setBold(true);
    heading.setPointSize(heading.pointSize() + 2);
    Label1->setFont(heading);
    placeInTwips(Label1, 120, 120, 4440, 330);

    Drive1 = new chooser::DriveBox(this);
    Drive1->setObjectName(QStringLiteral("Drive1"));
    placeInTwips(Drive1, 120, 540, 3360, 345);
    Command3 = shortcutButton(this, QStringLiteral("Command3"), QStyle::SP_DesktopIcon,
                              QStringLiteral("Desktop"));
    placeInTwips(Command3, 3600, 525, 435, 375);
    Command4 = shortcutButton(this, QStringLiteral("Command4"), QStyle::SP_DirHomeIcon,
                              QStringLiteral("My Documents"));
    placeInTwips(Command4, 4125, 525, 435, 375);

    Dir1 = new chooser::FolderList(this);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    placeInTwips(Dir1, 120, 1005, 4440, 3075);

    // Long folder paths wrap onto a second line rather than widen the window.
    lblPath = new QLabel(this);
    lblPath->setObjectName(QStringLiteral("lblPath"));
    lblPath->setWordWrap(true);
    lblPath->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblPath->setTextInteractionFlags(Qt::TextSelectableByMouse);
    placeInTwips(lblPath, 120, 4170, 4440, 480);

    Command1 = new QPushButton(kConfirmCaption, this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);
    placeInTwips(Command1, 120, 4770, 2160, 450);
    Command2 = new QPushButton(QStringLiteral("&Cancel"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    placeInTwips(Command2, 2400, 4770, 2160, 450);
}

void frmPath::connectHandlers()
{
    connect(Drive1, &chooser::DriveBox::driveChanged, this, &frmPath::Drive1_Change);
    connect(Dir1, &chooser::FolderList::pathChanged, this, &frmPath::Dir1_Change);
    connect(Command1, &QPushButton::clicked, this, &frmPath::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmPath::Command2_Click);
    connect(Command3, &QToolButton::clicked, this, &frmPath::Command3_Click);
    connect(Command4, &QToolButton::clicked, this, &frmPath::Command4_Click);
}

void frmPath::setFolderAction(std::function<void(const ChosenFolder&)> action)
{
    m_folderAction = std::move(action);
}

void frmPath::setWaitingWindow(QWidget* window)
{
    m_waitingWindow = window;
}

void frmPath::setCopyAction(std::function<void()> action)
{
    m_copyAction = std::move(action);
}

void frmPath::showLoaded()
{
    Load();
    show();
    raise();
    activateWindow();
}

} // namespace platterly::cataloguing
