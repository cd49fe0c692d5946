#include "controls/button.h"

#include "controls/caption_label.h"
#include "controls/pointer_probe.h"

#include <QEvent>
#include <QKeySequence>
#include <QShortcut>
#include <cmath>

namespace platterly::controls {

namespace {

// Layouts of the program are measured in twips, 1440 to the inch: 15 to the pixel at 96 dpi.
constexpr double kTwipsPerInch = 1440.0;
// A line's height leaves room for descenders, so letters centred by their line look high;
// the caption is moved this far below the exact middle to make up for it.
constexpr double kCaptionDropTwips = 20.0;
// "Tahoma 8" as a form designer keeps it: 8 points rounded to whole pixels at 96 dpi (11 px).
constexpr double kNewCaptionPointSize = 8.25;

QLabel* makePicture(QWidget* parent, const char* name, ButtonLook look)
{
    auto* picture = new QLabel(parent);
    picture->setObjectName(QLatin1String(name));
    picture->setPixmap(buttonPicture(look));
    picture->setScaledContents(true);
    // Presses on a picture fall through to the window: only the caption takes the mouse.
    picture->setAttribute(Qt::WA_TransparentForMouseEvents);
    return picture;
}

std::shared_ptr<const PointerProbe> systemProbe()
{
    static const auto probe = std::make_shared<const SystemPointerProbe>();
    return probe;
}

} // namespace

Button::Button(const QString& name, QWidget* parent, HostMode mode)
    : QWidget(parent), m_mode(mode), m_probe(systemProbe())
{
    setObjectName(name);

    // Created back to front; all three pictures start visible with the normal one in front.
    m_imgDown = makePicture(this, "imgDown", Look::Pressed);
    m_imgOver = makePicture(this, "imgOver", Look::Hover);
    m_imgUp = makePicture(this, "imgUp", Look::Normal);

    m_lblCaption = new CaptionLabel(this);
    m_lblCaption->setObjectName(QStringLiteral("lblCaption"));
    m_lblCaption->setCursor(pointingHandCursor());
    connect(m_lblCaption, &CaptionLabel::pressed, this, &Button::captionPressed);
    connect(m_lblCaption, &CaptionLabel::released, this, &Button::captionReleased);

    m_accelerator = new QShortcut(this);
    m_accelerator->setContext(Qt::WindowShortcut);
    connect(m_accelerator, &QShortcut::activated, this, &Button::Click);

    QFont font;
    font.setFamily(defaultFontName());
    font.setPointSizeF(kNewCaptionPointSize);
    font.setBold(false);
    font.setItalic(false);
    font.setUnderline(false);
    setCaptionFont(font);
    m_lblCaption->setText(name);
    applyForeColor();
    updateAccelerator();

    m_tmrChkStatus.setObjectName(QStringLiteral("tmrChkStatus"));
    m_tmrChkStatus.setInterval(kPollIntervalMs);
    connect(&m_tmrChkStatus, &QTimer::timeout, this, &Button::checkPointer);
    applyHostMode();

    resize(kButtonPictureSize);
    layoutParts();
}

Button::~Button() = default;

QSize Button::sizeHint() const
{
    return kButtonPictureSize;
}

void Button::setDesignMode(bool designing)
{
    m_mode = designing ? HostMode::Designing : HostMode::Running;
    applyHostMode();
}

void Button::applyHostMode()
{
    if (isDesignMode())
        m_tmrChkStatus.stop();
    else if (!m_tmrChkStatus.isActive())
        m_tmrChkStatus.start();
    m_accelerator->setEnabled(!isDesignMode());
}

void Button::setPointerProbe(std::shared_ptr<const PointerProbe> probe)
{
    m_probe = probe ? std::move(probe) : systemProbe();
}

void Button::checkPointer()
{
    // Stopped while the poll runs so that ticks never overlap; restarted only if it was
    // running, so a poll run by hand in a designer does not set the timer going.
    const bool wasPolling = m_tmrChkStatus.isActive();
    m_tmrChkStatus.stop();

    m_cursorPos = m_probe->cursorPos();
    const bool pointerOnControl = isOwnWidget(m_probe->widgetAt(m_cursorPos));
    if (!m_isOver && pointerOnControl) {
        m_isOver = true;
        showOver();
    } else if (m_isOver && !pointerOnControl) {
        m_isOver = false;
        showUp();
    }

    if (wasPolling)
        m_tmrChkStatus.start();
}

bool Button::isOwnWidget(const QWidget* widget) const
{
    // The caption and the pictures are part of the control, so the whole rectangle counts
    // unless some other widget lies on top of it.
    return widget != nullptr && (widget == this || isAncestorOf(widget));
}

void Button::captionPressed(Qt::MouseButton button)
{
    if (button == Qt::LeftButton)
        showDown();
}

void Button::captionReleased(Qt::MouseButton button)
{
    if (button != Qt::LeftButton)
        return;
    showUp();
    Q_EMIT Click();
}

void Button::showUp()
{
    showOnly(m_imgUp, Look::Normal);
    Q_EMIT ButtonUp();
}

void Button::showDown()
{
    showOnly(m_imgDown, Look::Pressed);
    Q_EMIT ButtonDown();
}

void Button::showOver()
{
    showOnly(m_imgOver, Look::Hover);
    Q_EMIT MouseOver();
}

void Button::showOnly(QLabel* picture, Look look)
{
    for (QLabel* each : {m_imgUp, m_imgOver, m_imgDown})
        each->setVisible(each == picture);
    m_look = look;
}

void Button::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutParts();
}

void Button::changeEvent(QEvent* event)
{
    // A caption in a desktop colour follows a change of theme.
    if (event->type() == QEvent::PaletteChange)
        applyForeColor();
    QWidget::changeEvent(event);
}

void Button::layoutParts()
{
    const int width = this->width();
    const int height = this->height();
    for (QLabel* picture : {m_imgUp, m_imgOver, m_imgDown})
        picture->setGeometry(0, 0, width, height);

    const int captionHeight = m_lblCaption->sizeHint().height();
    const double pixelsPerTwip = m_lblCaption->logicalDpiY() / kTwipsPerInch;
    const double top = (height - captionHeight) / 2.0 + kCaptionDropTwips * pixelsPerTwip;
    m_lblCaption->setGeometry(0, static_cast<int>(std::lround(top)), width, captionHeight);
}

void Button::updateAccelerator()
{
    // Alt with the letter after "&" clicks the button, as it would a standard push button.
    m_accelerator->setKey(QKeySequence::mnemonic(m_lblCaption->text()));
}

} // namespace platterly::controls
