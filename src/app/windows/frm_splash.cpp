#include "app/windows/frm_splash.h"

#include "app/windows/application_setup.h"
#include "catalogue/settings.h"
#include "platform/system/application_folder.h"
#include "platform/system/profile_file.h"
#include "platform/ui/sound_player.h"

#include <QCloseEvent>
#include <QConicalGradient>
#include <QGuiApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QRadialGradient>
#include <QScreen>
#include <QTimer>

namespace platterly::app {

namespace keys = catalogue::settings;

namespace {

constexpr int kLogoWidth = 420;
constexpr int kLogoHeight = 260;
constexpr int kTickInterval = 500;
// The splash closes on this tick, about two and a half seconds after it opened.
constexpr int kClosingTick = 5;

// A start-up option: the value in the Settings section, read with the application folder as
// its default like every setting of the program. Anything that is not a number (the default
// included) counts as 0, so a missing or damaged option means "off".
int startupOption(QLatin1String key)
{
    return catalogue::integerPart(system::ReadINI(catalogue::settingsFile(), keys::kSectionSettings,
                                                  key, system::applicationFolder()));
}

void drawDisc(QPainter& painter, QPointF centre, qreal radius)
{
    QRadialGradient silver(centre, radius);
    silver.setColorAt(0.0, QColor(250, 250, 255));
    silver.setColorAt(0.7, QColor(205, 210, 225));
    silver.setColorAt(1.0, QColor(150, 155, 175));
    painter.setPen(QPen(QColor(90, 95, 120), 1.5));
    painter.setBrush(silver);
    painter.drawEllipse(centre, radius, radius);

    // The rainbow sheen of the data side, faint enough to leave the silver showing.
    QConicalGradient sheen(centre, 30);
    const QColor colours[] = {QColor(255, 80, 80, 90),  QColor(255, 220, 60, 90),
                              QColor(80, 220, 120, 90), QColor(70, 160, 255, 90),
                              QColor(190, 90, 255, 90), QColor(255, 80, 80, 90)};
    for (int i = 0; i < 6; ++i)
        sheen.setColorAt(i / 5.0, colours[i]);
    painter.setPen(Qt::NoPen);
    painter.setBrush(sheen);
    painter.drawEllipse(centre, radius * 0.96, radius * 0.96);

    // Grooves, then the clamping ring and the hole showing the background through.
    painter.setBrush(Qt::NoBrush);
    for (qreal r = radius * 0.45; r < radius * 0.95; r += radius * 0.08) {
        painter.setPen(QPen(QColor(255, 255, 255, 70), 1));
        painter.drawEllipse(centre, r, r);
    }
    painter.setPen(QPen(QColor(120, 125, 150), 1));
    painter.setBrush(QColor(225, 228, 238));
    painter.drawEllipse(centre, radius * 0.32, radius * 0.32);
    painter.setBrush(QColor(14, 30, 84));
    painter.drawEllipse(centre, radius * 0.12, radius * 0.12);
}

} // namespace

QPixmap frmSplash::drawLogo()
{
    QPixmap logo(kLogoWidth, kLogoHeight);
    QPainter painter(&logo);
    painter.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, kLogoHeight);
    sky.setColorAt(0.0, QColor(18, 44, 120));
    sky.setColorAt(1.0, QColor(6, 16, 52));
    painter.fillRect(logo.rect(), sky);

    // A second disc peeking out behind the first, for a catalogue of many.
    painter.save();
    painter.setOpacity(0.35);
    drawDisc(painter, QPointF(150, 106), 60);
    painter.restore();
    drawDisc(painter, QPointF(118, 126), 92);

    QFont title(QStringLiteral("Arial"));
    title.setPixelSize(38);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(Qt::white);
    painter.drawText(QRect(224, 58, 190, 46), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Quenlo"));
    painter.setPen(QColor(255, 205, 70));
    painter.drawText(QRect(224, 102, 196, 46), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Platterly"));

    painter.setPen(QPen(QColor(255, 205, 70), 2));
    painter.drawLine(226, 152, 404, 152);
    QFont subtitle(QStringLiteral("Arial"));
    subtitle.setPixelSize(13);
    painter.setFont(subtitle);
    painter.setPen(QColor(200, 210, 240));
    painter.drawText(QRect(226, 158, 190, 40), Qt::AlignLeft | Qt::TextWordWrap,
                     QStringLiteral("Your CDs and folders, catalogued"));
    return logo;
}

frmSplash::frmSplash(handover::ProgramState& state, const handover::Windows& windows,
                     QWidget* parent)
    : QWidget(parent), m_state(state), m_windows(windows)
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setFixedSize(kLogoWidth, kLogoHeight);
    setFocusPolicy(Qt::StrongFocus);

    imgLogo = new QLabel(this);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setGeometry(0, 0, kLogoWidth, kLogoHeight);
    imgLogo->setPixmap(drawLogo());
    imgLogo->setCursor(Qt::PointingHandCursor);
    imgLogo->installEventFilter(this);

    lblVersion = new QLabel(QStringLiteral("Version"), this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    QFont versionFont(QStringLiteral("Arial"));
    versionFont.setPixelSize(13);
    lblVersion->setFont(versionFont);
    lblVersion->setStyleSheet(QStringLiteral("color: rgb(200, 210, 240);"));
    lblVersion->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblVersion->setGeometry(kLogoWidth - 180, kLogoHeight - 32, 166, 20);
    // A click on the version text lands on the logo beneath it.
    lblVersion->setAttribute(Qt::WA_TransparentForMouseEvents);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kTickInterval);
    connect(Timer1, &QTimer::timeout, this, &frmSplash::Timer1_Timer);
}

frmSplash::~frmSplash() = default;

void frmSplash::setLoaders(std::function<void()> loadMain, std::function<void()> loadChooser)
{
    m_loadMain = std::move(loadMain);
    m_loadChooser = std::move(loadChooser);
}

void frmSplash::Load()
{
    m_loaded = true;
    m_state.PlaySnd = startupOption(keys::kKeyPlaySound);
    if (m_state.PlaySnd == 1)
        ui::SoundPlayer().play(QStringLiteral("qn"));
    lblVersion->setText(versionText());
    m_state.LoadWind = startupOption(keys::kKeyLoadWind);
    if (m_state.LoadWind != 1) {
        m_state.DBPath = system::defaultCatalogue();
        if (m_loadMain)
            m_loadMain();
    } else if (m_loadChooser) {
        m_loadChooser();
    }
    Timer1->start();
}

void frmSplash::showLoaded()
{
    if (!m_loaded)
        Load();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    activateWindow();
    setFocus();
}

void frmSplash::Timer1_Timer()
{
    // A closed splash has no timer; a tick still under way when it closed is dropped.
    if (!m_loaded)
        return;
    ++m_splashTicks;
    if (m_splashTicks != kClosingTick)
        return;
    close();
    showNextWindow();
}

void frmSplash::imgLogo_Click()
{
    if (m_state.PlaySnd == 1)
        ui::SoundPlayer().play(QStringLiteral("click"));
    close();
    showNextWindow();
}

void frmSplash::keyPressEvent(QKeyEvent* event)
{
    // Any key asks for the chooser, even when the main window was loaded instead.
    event->accept();
    close();
    m_windows.showChooser();
}

void frmSplash::closeEvent(QCloseEvent* event)
{
    // The unload step runs once however the window is closed: by the timer, the logo, a
    // key, or the desktop.
    if (m_loaded) {
        m_loaded = false;
        Timer1->stop();
        if (m_state.PlaySnd == 1)
            ui::SoundPlayer().play(QStringLiteral("click"));
    }
    event->accept();
}

bool frmSplash::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == imgLogo && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && imgLogo->rect().contains(mouse->pos())) {
            imgLogo_Click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmSplash::showNextWindow()
{
    if (m_state.LoadWind != 1)
        m_windows.showMain();
    else
        m_windows.showChooser();
}

} // namespace platterly::app
