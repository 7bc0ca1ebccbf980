#include "WindowFixture.h"

#include "platform/CodePage.h"

#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <fstream>
#include <sstream>

void WindowFixture::SetUp()
{
    const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir = std::filesystem::temp_directory_path() /
          (std::string("vm-window-") + info->test_suite_name() + "-" + info->name() + "-" + std::to_string(getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
}

void WindowFixture::TearDown()
{
    window.reset();
    std::filesystem::remove_all(dir);
}

void WindowFixture::Put(const std::string &name, const std::string &text)
{
    std::filesystem::create_directories((dir / name).parent_path());
    std::ofstream(dir / name, std::ios::binary) << CodePage::FromUtf8(text);
}

std::string WindowFixture::Read(const std::string &name) const
{
    std::ifstream in(dir / name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool WindowFixture::Exists(const std::string &name) const { return std::filesystem::exists(dir / name); }

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
