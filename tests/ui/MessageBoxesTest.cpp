// The real modal boxes, looked at while they are open and then closed as a
// user would close them.
#include "WindowFixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

namespace {

struct SeenBox {
    Qt::TextFormat format = Qt::AutoText;
    QRect geometry;
};

// Real boxes that note how each one stands on the screen, then press its OK.
class WatchedBoxes : public ModalMessageBoxes {
public:
    void Show(QWidget *owner, TMessageKind kind, const QString &caption, const QString &text) override
    {
        QTimer::singleShot(0, [this] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            seen.push_back({box->textFormat(), box->geometry()});
            box->button(QMessageBox::Ok)->click();
        });
        ModalMessageBoxes::Show(owner, kind, caption, text);
    }
    std::vector<SeenBox> seen;
};

using ModalBoxes = WindowFixture;

TEST_F(ModalBoxes, TextIsShownAsWrittenNotAsMarkup)
{
    WatchedBoxes watched;
    for (TMessageKind kind : {TMessageKind::ErrorMessage, TMessageKind::Dialog, TMessageKind::ErrorBox})
        watched.Show(nullptr, kind, QStringLiteral("VM_VER32"), QStringLiteral("'<i>2001/1/1' is not a valid date."));
    ASSERT_EQ(watched.seen.size(), 3u);
    for (const SeenBox &box : watched.seen)
        EXPECT_EQ(box.format, Qt::PlainText);
}

TEST_F(ModalBoxes, NoProductBoxStandsInTheMiddleOfTheScreen)
{
    WatchedBoxes watched;
    const std::string programDir = ProgramDir();
    window = std::make_unique<MainWindow>(watched, [programDir] { return programDir; });
    ASSERT_EQ(watched.seen.size(), 1u);
    const QPoint offCentre = watched.seen[0].geometry.center() - QApplication::primaryScreen()->availableGeometry().center();
    EXPECT_LE(offCentre.manhattanLength(), 2) << offCentre.x() << "," << offCentre.y();
}

} // namespace
