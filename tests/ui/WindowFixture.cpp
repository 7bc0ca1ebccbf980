#include "WindowFixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>

void WindowFixture::TearDown()
{
    window.reset();
    ProgramDirFixture::TearDown();
}

MainWindow &WindowFixture::Start()
{
    const std::string programDir = ProgramDir();
    window = std::make_unique<MainWindow>(boxes, [programDir] { return programDir; });
    window->show();
    return *window;
}

QString WindowFixture::Text(const char *name) const
{
    QObject *control = window->findChild<QObject *>(QString::fromLatin1(name));
    EXPECT_NE(control, nullptr) << name;
    if (auto *label = qobject_cast<QLabel *>(control))
        return label->text();
    if (auto *edit = qobject_cast<QLineEdit *>(control))
        return edit->text();
    return control ? control->property("text").toString() : QString();
}

QString WindowFixture::Status() const { return Find<QStatusBar>("StatusBar1")->currentMessage(); }
