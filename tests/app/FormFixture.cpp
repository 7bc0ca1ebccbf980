#include "tests/app/FormFixture.h"

#include "platform/CodePage.h"
#include "tests/support/FailureOf.h"

using testsupport::FailureOf;

std::string Cp1250(const std::string &utf8) { return CodePage::FromUtf8(utf8); }

void FormFixture::TearDown()
{
    form.reset();
    view.reset();
    ProgramDirFixture::TearDown();
}

std::string FormFixture::StartIn(TForm1::DirectoryFn programDirectory)
{
    form.reset();
    view = std::make_unique<RecordingView>();
    form = std::make_unique<TForm1>(*view, std::move(programDirectory));
    view->proxyClick = [this] { form->CheckBoxProxyClick(); };
    return FailureOf([this] { form->FormCreate(); });
}

std::string FormFixture::Start()
{
    const std::string programDir = ProgramDir();
    return StartIn([programDir] { return programDir; });
}

std::string FormFixture::StartWithoutProgramDirectory()
{
    return StartIn([] { return std::string(); });
}

std::string FormFixture::Close() { return FailureOf([this] { form->FormClose(); }); }

std::string FormFixture::ClickTest() { return FailureOf([this] { form->ButtonTestClick(); }); }
