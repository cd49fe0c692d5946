#pragma once

#include "controls/button_artwork.h"
#include "controls/color_value.h"

#include <QPoint>
#include <QTimer>
#include <QWidget>
#include <memory>

class QLabel;
class QShortcut;

namespace platterly::controls {

class CaptionLabel;
class PointerProbe;
class PropertyBag;

// Whether the window holding a control is running or being laid out in a designer. A
// designer shows the control as it looks but never polls the pointer nor answers accelerators.
enum class HostMode
{
    Running,
    Designing
};

// The program's own push-button. Three stretched pictures give it a normal, a hover and a
// pressed look; a caption is drawn over them and is the only part that takes the mouse. The
// pointer is polled every 150 ms to notice it entering and leaving the control, because the
// caption and pictures cover the control and hide its own enter and leave events.
//
// Looks and events:
//   poll sees the pointer arrive (IsOver false -> true)   hover    MouseOver
//   poll sees the pointer go (IsOver true -> false)       normal   ButtonUp
//   left button pressed on the caption                    pressed  ButtonDown
//   left button released (wherever the pointer is)        normal   ButtonUp, then Click
// A release leaves IsOver alone, so after a click the control stays normal until the pointer
// has left and come back. Other mouse buttons change nothing. Alt with the caption's marked
// letter ("&Quit": Alt+Q) raises Click alone, without a change of look.
//
// The caption's font and colour are the design-time properties Caption, FontName, FontSize,
// Bold, Italic, Underline and ForeColor, saved to and loaded from a PropertyBag.
class Button : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)
    Q_PROPERTY(QString FontName READ fontName WRITE setFontName)
    Q_PROPERTY(int FontSize READ fontSize WRITE setFontSize)
    Q_PROPERTY(bool Bold READ isBold WRITE setBold)
    Q_PROPERTY(bool Italic READ isItalic WRITE setItalic)
    Q_PROPERTY(bool Underline READ isUnderline WRITE setUnderline)
    Q_PROPERTY(quint32 ForeColor READ foreColor WRITE setForeColor)

public:
    using Look = ButtonLook;

    static constexpr int kPollIntervalMs = 150;
    // Defaults assumed for a property that a bag does not hold.
    static constexpr int kDefaultFontSize = 8;
    // FontSize is a 16-bit number.
    static constexpr int kLargestFontSize = 32767;
    static constexpr bool kDefaultFontFlag = false;
    static constexpr ColorValue kDefaultForeColor = kColorBlack;
    static QString defaultFontName();

    // A new control as placed on a window: its object name is `name`, its caption shows that
    // name in Tahoma 8.25 point, regular, in the desktop's button-text colour.
    explicit Button(const QString& name, QWidget* parent = nullptr,
                    HostMode mode = HostMode::Running);
    ~Button() override;

    bool isDesignMode() const { return m_mode == HostMode::Designing; }
    // Starts or stops the pointer poll and the accelerator.
    void setDesignMode(bool designing);
    bool isPolling() const { return m_tmrChkStatus.isActive(); }

    // Where polls read the pointer; by default the real one.
    void setPointerProbe(std::shared_ptr<const PointerProbe> probe);

    Look look() const { return m_look; }
    // True while the last poll found the pointer over the control.
    bool isOver() const { return m_isOver; }
    // The pointer position the last poll read, in screen pixels.
    QPoint lastCursorPos() const { return m_cursorPos; }

    QString caption() const;
    void setCaption(const QString& caption);
    QString fontName() const;
    void setFontName(const QString& name);
    // The caption's point size as the nearest whole number: 8.25 reads as 8.
    int fontSize() const;
    // Sizes outside 1 .. kLargestFontSize are refused and leave the font as it is.
    void setFontSize(int points);
    bool isBold() const;
    void setBold(bool bold);
    bool isItalic() const;
    void setItalic(bool italic);
    bool isUnderline() const;
    void setUnderline(bool underline);
    ColorValue foreColor() const { return m_foreColor; }
    void setForeColor(ColorValue color);

    // Writes Caption, Bold, Italic, Underline, FontName, FontSize and ForeColor in that order,
    // each only when it differs from its default (Caption's default is the object name).
    void save(PropertyBag& bag) const;
    // Reads the same properties in the same order; a missing or unreadable one takes its
    // default. Reports no property as changed: loading is not an edit.
    void load(const PropertyBag& bag);

    QSize sizeHint() const override;

public Q_SLOTS:
    // The tick of the pointer poll. Public so that a test can run one poll at a chosen moment.
    void checkPointer();

Q_SIGNALS:
    void Click();
    void ButtonDown();
    void ButtonUp();
    void MouseOver();
    // In design mode, a property was set through its setter (by its own name, e.g.
    // "FontSize"), so that the designer knows to save it.
    void PropertyChanged(const QString& name);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void captionPressed(Qt::MouseButton button);
    void captionReleased(Qt::MouseButton button);
    void showUp();
    void showDown();
    void showOver();
    void showOnly(QLabel* picture, Look look);
    bool isOwnWidget(const QWidget* widget) const;
    void applyHostMode();
    void layoutParts();
    void updateAccelerator();
    void applyForeColor();
    void setCaptionFont(const QFont& font);
    void propertyEdited(const char* name);

    HostMode m_mode;
    Look m_look = Look::Normal;
    bool m_isOver = false;
    QPoint m_cursorPos;
    ColorValue m_foreColor = kSystemButtonText;
    std::shared_ptr<const PointerProbe> m_probe;

    // Front to back: the caption, then the normal, hover and pressed pictures.
    CaptionLabel* m_lblCaption = nullptr;
    QLabel* m_imgUp = nullptr;
    QLabel* m_imgOver = nullptr;
    QLabel* m_imgDown = nullptr;
    QTimer m_tmrChkStatus;
    QShortcut* m_accelerator = nullptr;
};

} // namespace platterly::controls
