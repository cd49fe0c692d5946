// The main window's small controls: options, drive letter, hints, picture buttons, buttons.
#include "app/windows/form1.h"
#include "app/windows/window_placement.h"
#include "catalogue/settings.h"
#include "controls/button.h"
#include "platform/system/application_folder.h"
#include "platform/system/profile_file.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/shell_opener.h"
#include "platform/ui/sound_player.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTreeView>
#include <QUrl>

namespace platterly::app {

namespace keys = catalogue::settings;

void Form1::connectHandlers()
{
    // A disc is chosen when the user highlights it, by a click or with the keys.
    connect(List1, &QListWidget::itemSelectionChanged, this, [this] { List1_Click(); });
    connect(List1, &QListWidget::itemDoubleClicked, this, [this] { List1_DblClick(); });
    List1->viewport()->installEventFilter(this);
    connect(Check1, &QCheckBox::clicked, this, [this] { Check1_Click(); });
    connect(Check2, &QCheckBox::clicked, this, [this] { Check2_Click(); });
    connect(cmbDrive, &DriveLetterBox::letterChosen, this, [this] { cmbDrive_Click(); });
    connect(Option1[0], &QRadioButton::clicked, this, [this] { Option1_Click(0); });
    connect(Option1[1], &QRadioButton::clicked, this, [this] { Option1_Click(1); });
    for (QWidget* watched : {static_cast<QWidget*>(Image1), static_cast<QWidget*>(Image2),
                             static_cast<QWidget*>(Image3), static_cast<QWidget*>(Label5),
                             static_cast<QWidget*>(LBLBACK), trv->viewport()})
        watched->installEventFilter(this);
    trv->viewport()->setMouseTracking(true);
    connect(cmdAddCD, &controls::Button::Click, this, [this] { cmdAddCD_Click(); });
    connect(cmdAddCD, &controls::Button::MouseOver, this, [this] { cmdAddCD_MouseOver(); });
    connect(cmdDelete, &controls::Button::Click, this, [this] { cmdDelete_Click(); });
    connect(cmdDelete, &controls::Button::MouseOver, this, [this] { cmdDelete_MouseOver(); });
    connect(CmdExport, &controls::Button::Click, this, [this] { CmdExport_Click(); });
    connect(CmdQuit, &controls::Button::Click, this, [this] { CmdQuit_Click(); });

    connect(cmdSearch, &QPushButton::clicked, this, [this] { cmdSearch_Click(); });
    connect(cmdStop, &QPushButton::clicked, this, [this] { cmdStop_Click(); });
    connect(cmbStrs->lineEdit(), &QLineEdit::returnPressed, this,
            [this] { cmbStrs_KeyPress(Qt::Key_Return); });
    connect(cmbSearch->lineEdit(), &QLineEdit::returnPressed, this,
            [this] { cmbSearch_KeyPress(Qt::Key_Return); });
    connect(MSFlexGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { MSFlexGrid1_SelChange(); });
    MSFlexGrid1->viewport()->installEventFilter(this);
    buildResultsMenu();

    QAction* rename = Pop2->addAction(QStringLiteral("&Change  CD Name"));
    rename->setObjectName(QStringLiteral("Rename"));
    connect(rename, &QAction::triggered, this, [this] { Rename_Click(); });
    QAction* erase = Pop2->addAction(QStringLiteral("&Delete CD"));
    erase->setObjectName(QStringLiteral("Delete"));
    connect(erase, &QAction::triggered, this, [this] { cmdDelete_Click(); });
    QAction* update = Pop2->addAction(QStringLiteral("&Update CD"));
    update->setObjectName(QStringLiteral("Update"));
    connect(update, &QAction::triggered, this, [this] { Update_Click(); });
}

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (watched == List1->viewport() && type == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        List1_MouseUp(mouse->button(), mouse->globalPosition().toPoint());
    } else if (watched == MSFlexGrid1->viewport() && type == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        MSFlexGrid1_MouseUp(mouse->button(), mouse->globalPosition().toPoint());
    } else if (type == QEvent::MouseMove) {
        // The pictures and their strip are labels, which pass a mouse move on to the window
        // beneath them; the window would then write its own hint over theirs.
        if (watched == Image2)
            Image2_MouseMove();
        else if (watched == Image3)
            Image3_MouseMove();
        else if (watched == LBLBACK || watched == trv->viewport())
            clearPictureBorders();
        if (watched == Image2 || watched == Image3 || watched == LBLBACK)
            return true;
    } else if (type == QEvent::MouseButtonPress) {
        if (watched == Image1 || watched == Image2 || watched == Image3)
            setPictureBorder(static_cast<QLabel*>(watched), true);
        else if (watched == Label5)
            Label5_MouseDown();
    } else if (type == QEvent::MouseButtonRelease) {
        if (watched == Image1) {
            setPictureBorder(Image1, false);
            Image1_Click();
        } else if (watched == Image2) {
            Image2_MouseUp();
        } else if (watched == Image3) {
            Image3_MouseUp();
        } else if (watched == Label5) {
            Label5_MouseUp();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::mouseMoveEvent(QMouseEvent* event)
{
    Form_MouseMove();
    QWidget::mouseMoveEvent(event);
}

void Form1::resizeEvent(QResizeEvent* event)
{
    m_layout.arrange();
    QWidget::resizeEvent(event);
}

void Form1::closeEvent(QCloseEvent* event)
{
    // Closing unloads the window; only its size and place are kept for the next showing.
    if (isVisible())
        saveWindowPlacement(this, catalogue::settingsFile());
    m_loaded = false;
    m_data.close();
    QWidget::closeEvent(event);
}

void Form1::showLoaded()
{
    // Loaded hidden on one catalogue while another was chosen meanwhile (a key on the
    // splash opens the chooser): the window shows the chosen one.
    if (m_loaded && m_data.databaseName() != m_state.DBPath)
        m_loaded = false;
    if (!m_loaded)
        Load();
    if (!isVisible())
        restoreWindowPlacement(this, catalogue::settingsFile());
    show();
    raise();
    activateWindow();
}

void Form1::unload()
{
    close();
}

void Form1::play(const QString& name)
{
    ui::SoundPlayer().play(name);
}

void Form1::setPictureBorder(QLabel* picture, bool on)
{
    picture->setFrameShape(on ? QFrame::Box : QFrame::NoFrame);
}

void Form1::List1_MouseUp(Qt::MouseButton button, const QPoint& globalPos)
{
    if (button == Qt::RightButton && !SelCDName.isEmpty())
        Pop2->popup(globalPos);
}

namespace {

// A start-up option box: its state goes to the program's state and to the settings file.
void writeOption(const QCheckBox* box, int* option, const QString& key)
{
    *option = box->isChecked() ? 1 : 0;
    system::WriteINI(catalogue::settingsFile(), keys::kSectionSettings, key,
                     QString::number(*option));
}

// The help label turns red while pressed.
void colourHelpLabel(QLabel* label, const char* rgb)
{
    label->setStyleSheet(QStringLiteral("color: rgb(%1); font-weight: bold; font-size: 16pt;")
                             .arg(QLatin1String(rgb)));
}

} // namespace

void Form1::Check1_Click()
{
    writeOption(Check1, &m_state.LoadWind, keys::kKeyLoadWind);
}

void Form1::Check2_Click()
{
    writeOption(Check2, &m_state.PlaySnd, keys::kKeyPlaySound);
}

void Form1::cmbDrive_Click()
{
    // The letter alone: the item's mount point is only shown.
    system::WriteINI(catalogue::settingsFile(), keys::kSectionSettings, keys::kKeyDriveLetter,
                     cmbDrive->letterText());
}

void Form1::Option1_Click(int index)
{
    if (index == 0) {
        SelectedOnly = false;
        return;
    }
    if (SelCDName.isEmpty()) {
        Option1[0]->setChecked(true);
        SelectedOnly = false;
        return;
    }
    SelectedOnly = true;
}

void Form1::Form_MouseMove()
{
    lblmsg2->setText(QStringLiteral("Welcome"));
    clearPictureBorders();
}

void Form1::Image1_Click()
{
    setEnabled(false);
    m_windows.showAbout();
}

void Form1::Image2_MouseMove()
{
    lblmsg2->setText(QStringLiteral("Save Database File for Back-up"));
    setPictureBorder(Image2, true);
}

void Form1::Image3_MouseMove()
{
    lblmsg2->setText(QStringLiteral("Load Another Database File from System"));
    setPictureBorder(Image3, true);
}

void Form1::Image3_MouseUp()
{
    setPictureBorder(Image3, false);
    unload();
    m_windows.showChooser();
}

void Form1::clearPictureBorders()
{
    setPictureBorder(Image2, false);
    setPictureBorder(Image3, false);
}

void Form1::Label5_MouseDown()
{
    colourHelpLabel(Label5, "255, 0, 0");
    play(QStringLiteral("click"));
}

void Form1::Label5_MouseUp()
{
    colourHelpLabel(Label5, "255, 255, 0");
    const QString help = system::appFile(QStringLiteral("help.pdf"));
    // The same message as for any file that cannot be opened, naming the disc of the results
    // grid's current row (none before a search).
    if (!ui::shellOpener().open(help))
        reportUnableToOpen(currentRowText(0), QStringLiteral("file:///") + help);
}

void Form1::cmdAddCD_Click()
{
    TDIRS = 0;
    TFILES = 0;
    unload();
    m_windows.showNewDisc();
}

void Form1::cmdAddCD_MouseOver()
{
    lblmsg2->setText(QStringLiteral("Click To Add New CD or Loacal Disk To the Database"));
}

void Form1::cmdDelete_MouseOver()
{
    lblmsg2->setText(QStringLiteral("Delete Selected CD Informaton from the Database"));
}

void Form1::CmdQuit_Click()
{
    unload();
    handover::QuitProgram(m_windows);
}

} // namespace platterly::app
