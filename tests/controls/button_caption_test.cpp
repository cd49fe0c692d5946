// The caption of Button as it is seen and used: its accelerator letter, its pointer, where it
// sits on resizing, and the three looks behind it.
#include "button_test_support.h"

#include <QApplication>
#include <QBitmap>
#include <QImage>
#include <QLabel>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

namespace platterly::test {
namespace {

using controls::Button;

QLabel& captionOf(const Button& button)
{
    return *button.findChild<QLabel*>(QStringLiteral("lblCaption"));
}

// The rectangle of pixels that differ from the image's top-left pixel (the background).
QRect inkBounds(const QImage& image)
{
    QRect bounds;
    const QRgb background = image.pixel(0, 0);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != background)
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

QRect differenceBounds(const QImage& a, const QImage& b)
{
    QRect bounds;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (a.pixel(x, y) != b.pixel(x, y))
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

class ButtonAccelerator : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window.resize(200, 60);
        button->setCaption(QStringLiteral("&ADD New CD"));
        window.show();
        window.activateWindow();
        QApplication::processEvents();
        ASSERT_EQ(QApplication::activeWindow(), &window);
        log.watch(button);
    }

    void pressAlt(Qt::Key key) { QTest::keyClick(&window, key, Qt::AltModifier); }

    QWidget window;
    Button* button = new Button(QStringLiteral("cmdAddCD"), &window);
    EventLog log;
};

TEST_F(ButtonAccelerator, AltWithTheMarkedLetterClicks)
{
    pressAlt(Qt::Key_A);
    EXPECT_EQ(log.take(), texts({"cmdAddCD:Click"}));
    pressAlt(Qt::Key_D);
    QTest::keyClick(&window, Qt::Key_A);
    EXPECT_EQ(log.take(), QStringList()) << "only Alt with the letter after & counts";
}

TEST_F(ButtonAccelerator, FollowsTheCaptionAndSleepsInTheDesigner)
{
    button->setCaption(QStringLiteral("&Quit"));
    pressAlt(Qt::Key_A);
    pressAlt(Qt::Key_Q);
    EXPECT_EQ(log.take(), texts({"cmdAddCD:Click"}));

    button->setCaption(QStringLiteral("Export Resuts to MSWORD"));
    pressAlt(Qt::Key_E);
    button->setCaption(QStringLiteral("Q&&A"));
    pressAlt(Qt::Key_A);
    EXPECT_EQ(log.take(), QStringList());

    button->setCaption(QStringLiteral("&Quit"));
    button->setDesignMode(true);
    pressAlt(Qt::Key_Q);
    EXPECT_EQ(log.take(), QStringList());
}

TEST(ButtonCaption, MarkedLetterIsUnderlinedAndTheAmpersandHidden)
{
    Button marked(QStringLiteral("cmdAddCD"));
    Button plain(QStringLiteral("cmdAddCD"));
    marked.setCaption(QStringLiteral("&ADD New CD"));
    plain.setCaption(QStringLiteral("ADD New CD"));
    const QImage markedImage = captionOf(marked).grab().toImage();
    const QImage plainImage = captionOf(plain).grab().toImage();
    ASSERT_EQ(markedImage.size(), plainImage.size());

    const QRect text = inkBounds(plainImage);
    ASSERT_FALSE(text.isEmpty()) << "no font to draw the caption with";
    const QRect underline = differenceBounds(markedImage, plainImage);
    ASSERT_FALSE(underline.isEmpty()) << "the marked letter is not underlined";
    // Only under the first letter: a visible "&" would shift the whole text.
    const int letterWidth = captionOf(plain).fontMetrics().horizontalAdvance(QLatin1Char('A'));
    EXPECT_GE(underline.left(), text.left() - 1);
    EXPECT_LE(underline.right(), text.left() + letterWidth + 1);
    EXPECT_GE(underline.top(), text.bottom());
}

TEST(ButtonCaption, PointerOverTheCaptionIsAThirtyTwoPixelMonochromeHand)
{
    Button button(QStringLiteral("cmdAddCD"));
    const QCursor cursor = captionOf(button).cursor();
    ASSERT_EQ(cursor.shape(), Qt::BitmapCursor);
    EXPECT_EQ(cursor.bitmap().size(), QSize(32, 32));
    EXPECT_EQ(cursor.mask().size(), QSize(32, 32));
    const QImage mask = cursor.mask().toImage();
    const QPoint tip = cursor.hotSpot();
    EXPECT_NE(mask.pixelIndex(tip.x(), tip.y()) == 0, mask.pixelIndex(0, 31) == 0)
        << "the hot spot is on the hand, the corner is transparent";
    EXPECT_NE(button.cursor().shape(), Qt::BitmapCursor) << "the pictures keep the arrow";
}

TEST(ButtonLayout, PicturesFillTheControlAndTheCaptionSitsJustBelowTheMiddle)
{
    Button button(QStringLiteral("CmdExport"));
    button.show(); // a hidden widget is told of a resize only when it is shown
    ASSERT_EQ(captionOf(button).logicalDpiY(), 96) << "the offsets below assume 96 dpi";
    for (const QSize size : {QSize(127, 22), QSize(200, 40), QSize(90, 17)}) {
        button.resize(size);
        for (const char* name : {"imgUp", "imgOver", "imgDown"}) {
            EXPECT_EQ(button.findChild<QLabel*>(QLatin1String(name))->geometry(),
                      QRect(QPoint(0, 0), size))
                << name;
        }
        const QRect caption = captionOf(button).geometry();
        EXPECT_EQ(caption.left(), 0);
        EXPECT_EQ(caption.width(), size.width());
        // 20 twips are 1 1/3 pixels at 96 dpi, rounded with the half pixel of centring.
        const double centredTop = (size.height() - caption.height()) / 2.0;
        EXPECT_GE(caption.top() - centredTop, 1.0) << size.height();
        EXPECT_LE(caption.top() - centredTop, 1.5) << size.height();
    }

    const int smallHeight = captionOf(button).height();
    button.setFontSize(14);
    EXPECT_GT(captionOf(button).height(), smallHeight) << "a bigger font moves the caption";
    EXPECT_LE(captionOf(button).y(), (button.height() - captionOf(button).height()) / 2 + 2);
}

TEST(ButtonLooks, TheThreeLooksAreDrawnFromDifferentPictures)
{
    QWidget window;
    auto pointer = std::make_shared<ScriptedPointer>(&window);
    Button normal(QStringLiteral("cmdAddCD"), &window);
    Button hover(QStringLiteral("cmdDelete"), &window);
    Button pressed(QStringLiteral("CmdQuit"), &window);
    hover.move(0, 30);
    pressed.move(0, 60);
    window.resize(140, 90);
    window.show();
    hover.setPointerProbe(pointer);
    pointer->moveOnto(&hover);
    hover.checkPointer();
    pressAt(&pressed, captionCentre(pressed));

    for (const Button* button : {&normal, &hover, &pressed}) {
        for (const char* name : {"imgUp", "imgOver", "imgDown"}) {
            const auto* picture = button->findChild<QLabel*>(QLatin1String(name));
            EXPECT_EQ(picture->pixmap().size(), QSize(127, 22));
        }
    }
    // Compared on a band above the caption, where only the pictures show, short of the
    // rounded corners (there a new button's front picture blends with those behind it).
    const auto face = [](Button& button) {
        return button.grab(QRect(4, 0, button.width() - 8, 4)).toImage();
    };
    EXPECT_NE(face(normal), face(hover));
    EXPECT_NE(face(normal), face(pressed));
    EXPECT_NE(face(hover), face(pressed));
    releaseAt(&pressed, captionCentre(pressed));
    EXPECT_EQ(face(normal), face(pressed)) << "released, the button is normal again";
}

} // namespace
} // namespace platterly::test
