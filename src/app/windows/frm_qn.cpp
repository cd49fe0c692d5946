#include "app/windows/frm_qn.h"

#include "app/windows/application_setup.h"
#include "platform/ui/sound_player.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadialGradient>
#include <QTimer>

namespace platterly::app {

namespace {

// The music restarts this often while the window is open, a little after the clip ends.
constexpr int kMusicInterval = 7100;
constexpr int kPictureSide = 96;

const QString kThanks = QStringLiteral(
    "Thank you for choosing Quenlo Platterly. May it help you find every song, photo and "
    "document on your shelf of discs without putting a single one in the drive. This program "
    "is given as it is, without warranty of any kind; keep a back-up of your catalogues.");

QLabel* label(QWidget* parent, const QString& name, const QString& text, QRect place)
{
    auto* widget = new QLabel(text, parent);
    widget->setObjectName(name);
    widget->setGeometry(place);
    return widget;
}

} // namespace

QPixmap frmQn::drawPicture()
{
    QPixmap picture(kPictureSide, kPictureSide);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);

    // A disc, with a note rising from it for the music that plays here.
    const QPointF centre(44, 52);
    QRadialGradient silver(centre, 40);
    silver.setColorAt(0.0, QColor(250, 250, 255));
    silver.setColorAt(1.0, QColor(160, 170, 200));
    painter.setPen(QPen(QColor(70, 80, 120), 1.5));
    painter.setBrush(silver);
    painter.drawEllipse(centre, 40, 40);
    painter.setBrush(QColor(210, 215, 230));
    painter.drawEllipse(centre, 13, 13);
    painter.setBrush(QColor(240, 240, 240));
    painter.drawEllipse(centre, 5, 5);

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(30, 60, 160));
    painter.drawEllipse(QPointF(66, 78), 9, 7);
    painter.drawRect(QRectF(72, 22, 3.5, 56));
    QPainterPath flag;
    flag.moveTo(75, 22);
    flag.cubicTo(88, 30, 92, 40, 84, 52);
    flag.cubicTo(86, 42, 82, 36, 75, 34);
    flag.closeSubpath();
    painter.drawPath(flag);
    return picture;
}

frmQn::frmQn(const handover::Windows& windows, QWidget* parent)
    : QWidget(parent), m_windows(windows)
{
    setObjectName(QStringLiteral("frmQn"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("About"));
    setFixedSize(440, 300);

    Image1 = label(this, QStringLiteral("Image1"), {}, QRect(18, 18, kPictureSide, kPictureSide));
    Image1->setPixmap(drawPicture());

    lblTitle = label(this, QStringLiteral("lblTitle"), QStringLiteral("Quenlo Platterly"),
                     QRect(132, 22, 290, 32));
    QFont titleFont = lblTitle->font();
    titleFont.setPointSize(titleFont.pointSize() + 8);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);

    lblVersion = label(this, QStringLiteral("lblVersion"), QStringLiteral("Version"),
                       QRect(132, 58, 290, 20));
    lblAuthor = label(this, QStringLiteral("lblAuthor"), QStringLiteral("Quenlo Software"),
                      QRect(132, 82, 290, 18));
    lblEmail = label(this, QStringLiteral("lblEmail"), QStringLiteral("platterly@example.org"),
                     QRect(132, 100, 290, 18));
    lblWeb = label(this, QStringLiteral("lblWeb"), QStringLiteral("https://platterly.example.org"),
                   QRect(132, 118, 290, 18));

    lblDisclaimer = label(this, QStringLiteral("lblDisclaimer"), kThanks, QRect(18, 146, 404, 96));
    lblDisclaimer->setWordWrap(true);
    lblDisclaimer->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblDisclaimer->setFrameShape(QFrame::StyledPanel);
    lblDisclaimer->setMargin(6);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(332, 256, 90, 28);
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &frmQn::cmdOK_Click);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    connect(Timer1, &QTimer::timeout, this, &frmQn::Timer1_Timer);
}

frmQn::~frmQn() = default;

void frmQn::Load()
{
    m_loaded = true;
    Timer1->setInterval(kMusicInterval);
    setWindowTitle(QStringLiteral("Quenlo Platterly"));
    lblVersion->setText(versionText());
    Timer1->start();
}

void frmQn::showLoaded()
{
    if (!m_loaded)
        Load();
    show();
    activateWindow();
}

void frmQn::Timer1_Timer()
{
    ui::SoundPlayer().play(QStringLiteral("music"));
}

void frmQn::cmdOK_Click()
{
    ui::SoundPlayer().play(QStringLiteral("click"));
    close();
    enableMainWindow();
}

void frmQn::Form_Click()
{
    cmdOK_Click();
}

void frmQn::mouseReleaseEvent(QMouseEvent* event)
{
    // Only the bare background counts: the labels and the picture lie on top of it.
    const QPoint position = event->position().toPoint();
    if (event->button() == Qt::LeftButton && rect().contains(position) &&
        childAt(position) == nullptr) {
        Form_Click();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void frmQn::closeEvent(QCloseEvent* event)
{
    // Whichever way the window closes — OK, a click on it, its close box — the main window
    // must not stay disabled.
    if (m_loaded) {
        m_loaded = false;
        Timer1->stop();
        ui::SoundPlayer().play(QStringLiteral("click"));
        enableMainWindow();
    }
    event->accept();
}

void frmQn::enableMainWindow()
{
    if (QWidget* main = m_windows.mainWindow())
        main->setEnabled(true);
}

} // namespace platterly::app
