// The look the design fixes: sizes, the password mask, where glyph and caption
// sit, what a screen reader says of each control, and the captions and hints.
#include "WindowFixture.h"

#include "platform/CodePage.h"
#include "ui/ControlTexts.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QFrame>
#include <QImage>
#include <QLineEdit>
#include <QPixmap>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolButton>

namespace {

using Look = WindowFixture;

TEST_F(Look, PasswordIsMaskedWithStars)
{
    Put("ort.ini", "[Program]\r\n");
    Start();
    auto *password = Find<QLineEdit>("EditPassword");
    ASSERT_FALSE(password->text().isEmpty());
    EXPECT_EQ(password->displayText(), QString(password->text().size(), QLatin1Char('*')));
}

TEST_F(Look, ActionButtonPanelIs142High)
{
    Put("ort.ini", "[Program]\r\n");
    Start();
    EXPECT_EQ(Find<QFrame>("PanelSpeedButtons")->height(), 142);
}

// Columns of the button's picture where a pixel is Colour, or anything but
// the background when Colour is invalid.
std::vector<int> ColumnsWith(const QImage &picture, QColor colour)
{
    const QRgb background = picture.pixel(picture.width() - 1, 0);
    std::vector<int> columns;
    for (int x = 0; x < picture.width(); ++x) {
        for (int y = 0; y < picture.height(); ++y) {
            const QRgb pixel = picture.pixel(x, y);
            if (colour.isValid() ? pixel == colour.rgb() : pixel != background) {
                columns.push_back(x);
                break;
            }
        }
    }
    return columns;
}

TEST_F(Look, ActionButtonGlyphSits3FromTheEdgeAnd10BeforeTheCaption)
{
    Put("ort.ini", "[Program]\r\n");
    Start();
    QPixmap glyph(18, 18);
    glyph.fill(Qt::red);
    for (const char *name : {"SpeedDownload", "SpeedAbort", "SpeedConnect", "SpeedDisconnect", "SpeedExit"}) {
        auto *button = Find<QToolButton>(name);
        button->setIcon(glyph);
        const QImage picture = button->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const std::vector<int> red = ColumnsWith(picture, Qt::red);
        ASSERT_FALSE(red.empty()) << name;
        EXPECT_EQ(red.front(), 3) << name;
        EXPECT_EQ(red.back(), 20) << name;
        std::vector<int> ink = ColumnsWith(picture, QColor());
        std::erase_if(ink, [](int x) { return x <= 20; });
        ASSERT_FALSE(ink.empty()) << name;
        // The caption begins at 31; its first letter may stand a pixel in.
        EXPECT_GE(ink.front(), 31) << name;
        EXPECT_LE(ink.front(), 32) << name;
    }
}

// A control without a name is read out as a bare "button" or "edit": the
// user cannot tell the warning from the tick, nor one field from another.
TEST_F(Look, EveryControlHasANameForScreenReaders)
{
    Put("ort.ini", "[Program]\r\n");
    Start();
    QStringList walked;
    QStringList unnamed;
    for (QWidget *control : window->findChildren<QWidget *>()) {
        if (!qobject_cast<QAbstractButton *>(control) && !qobject_cast<QLineEdit *>(control)
            && !qobject_cast<QTextEdit *>(control))
            continue;
        walked << control->objectName();
        QAccessibleInterface *reader = QAccessible::queryAccessibleInterface(control);
        if (!reader || reader->text(QAccessible::Name).isEmpty())
            unnamed << control->objectName();
    }
    ASSERT_TRUE(walked.contains("SpeedProgramOld")) << walked.join(", ").toStdString();
    EXPECT_EQ(unnamed, QStringList()) << unnamed.join(", ").toStdString();
}

// The form holds no texts: each caption and hint of the table both windows
// share reaches the control of its name, a page's caption its tab.
TEST_F(Look, EveryCaptionAndHintOfTheSharedTableIsOnItsControl)
{
    Put("ort.ini", "[Program]\r\n");
    Start();
    auto *pages = Find<QTabWidget>("PageControl1");
    for (const ControlText &texts : ControlTexts()) {
        const char *name = ControlName(texts.control);
        auto *control = Find<QWidget>(name);
        ASSERT_NE(control, nullptr);
        const QString caption = QString::fromStdString(CodePage::ToUtf8(texts.caption));
        if (const int page = pages->indexOf(control); page >= 0) {
            EXPECT_EQ(pages->tabText(page), caption) << name;
        } else if (!caption.isEmpty()) {
            EXPECT_EQ(control->property("text").toString(), caption) << name;
        }
        EXPECT_EQ(control->toolTip(), QString::fromStdString(CodePage::ToUtf8(texts.hint))) << name;
    }
}

} // namespace
