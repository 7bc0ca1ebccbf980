// The window as it opens, with and without a product in its directory; what
// it leaves behind when the user ends it; the test button, which needs no
// server; and the keyboard.
#include "tests/e2e/windows/WindowFixture.h"

#include "platform/CodePage.h"
#include "ui/ControlTexts.h"
#include "ui/windows/ControlTable.h"

using namespace WindowIds;

namespace {

class WindowStartUp : public WindowFixture {};

} // namespace

TEST_F(WindowStartUp, WithAProductShowsItsReleaseAndSettingsOnTheNewsPage)
{
    PrepareProduct("127.0.0.1", 2121);
    Start();

    EXPECT_EQ(window->Caption(), "Zelnor: Ortana");
    EXPECT_EQ(window->SelectedPage(PageControl1), 1);
    EXPECT_TRUE(window->Visible(TabSheetCoNowego));
    EXPECT_FALSE(window->Visible(TabSheetParametry));
    EXPECT_EQ(window->Text(TextProgram), "\nTwój program:\n wersja: 4.2 , wyd. 7b, 03/11/25");
    EXPECT_EQ(window->Text(TextKomunikat), "");
    EXPECT_EQ(window->Text(StatusBar1), "");
    EXPECT_FALSE(window->Visible(SpeedProgramAkt));
    EXPECT_FALSE(window->Visible(SpeedProgramOld));
    EXPECT_FALSE(window->Visible(ButtonTest));
    EXPECT_EQ(window->Text(EditHost), "127.0.0.1");
    EXPECT_EQ(window->Text(EditHostPort), "2121");
    EXPECT_EQ(window->Text(EditRemoteFile), "pub/news/or_news.rtf");
    EXPECT_FALSE(window->Enabled(EditProxy));
    // The user finds the action buttons by their captions.
    EXPECT_EQ(window->ControlByCaption("&Sprawdź co nowego ?"), window->Control(SpeedDownload));
    EXPECT_EQ(window->ControlByCaption("&Anuluj pobieranie pliku"), window->Control(SpeedAbort));
    EXPECT_EQ(window->ControlByCaption("&Połącz się z serwerem"), window->Control(SpeedConnect));
    EXPECT_EQ(window->ControlByCaption("&Rozłącz"), window->Control(SpeedDisconnect));
    EXPECT_EQ(window->ControlByCaption("&Koniec"), window->Control(SpeedExit));
    // The indicators' names for screen readers.
    EXPECT_EQ(window->Text(SpeedProgramAkt), "Program aktualny");
    EXPECT_EQ(window->Text(SpeedProgramOld), "Dostępna aktualizacja");
    // The ten controls with a hint, each with its tooltip.
    EXPECT_EQ(window->TooltipCount(), 10);
    // Every caption and hint of the table both windows share, on its control.
    for (const ControlText &texts : ControlTexts()) {
        const int id = WindowLayout::IdOf(texts.control);
        const std::string caption = CodePage::ToUtf8(texts.caption);
        if (id == TabSheetParametry || id == TabSheetCoNowego) {
            EXPECT_EQ(window->PageTitle(PageControl1, id == TabSheetParametry ? 0 : 1), caption);
        } else if (!caption.empty()) {
            EXPECT_EQ(window->Text(id), caption) << ControlName(texts.control);
        }
        EXPECT_EQ(window->Hint(id), CodePage::ToUtf8(texts.hint)) << ControlName(texts.control);
    }
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(WindowStartUp, WithoutAProductSaysSoThenOpens)
{
    process.emplace(program);
    const auto box = windowdriver::WaitForBox(*process, "Błąd");
    ASSERT_TRUE(box);
    EXPECT_EQ(box->Text, "W katalogu programu nie ma odpowiedniego pliku INI\n"
                         "Nie mogę sprawdzić, czy należy zaktualizować program");
    ASSERT_TRUE(windowdriver::CloseBox(*box));

    window.emplace(*process);
    EXPECT_EQ(window->Caption(), "ZELNOR, VEMO");
    EXPECT_EQ(window->Text(EditRemoteFile), "");
    EXPECT_EQ(window->Text(EditUser), "anonymous");
    EXPECT_FALSE(window->Visible(ButtonTest));
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(WindowStartUp, KoniecSavesTheSettingsAsEditedByteForByte)
{
    PrepareProduct("127.0.0.1", 21);
    // A key the program never writes keeps its place.
    Put("vm_ver32.ini", "[FTP]\r\nHost=127.0.0.1\r\nHostPort=21\r\nVemo=Tak\r\nUseProxy=Nie\r\nProxy=\r\nProxyPort=\r\n");
    Start();

    window->SelectPage(PageControl1, 0);
    ASSERT_TRUE(windowdriver::WaitUntil([&] { return window->Visible(TabSheetParametry); }));
    window->SetText(EditHost, "serwer.przykład.pl");
    window->SetText(EditHostPort, "2121");
    window->Click(CheckBoxProxy);
    ASSERT_TRUE(windowdriver::WaitUntil([&] { return window->Enabled(EditProxy) && window->Enabled(EditProxyPort); }));
    window->SetText(EditProxy, "pośrednik");
    window->SetText(EditProxyPort, "8021");
    window->SelectPage(PageControl1, 1);
    window->Click(SpeedExit);

    ASSERT_TRUE(process->WaitForExit());
    EXPECT_EQ(Read("vm_ver32.ini"), "[FTP]\r\nHost=serwer.przyk\xB3" "ad.pl\r\nHostPort=2121\r\nVemo=Tak\r\n"
                                    "UseProxy=Tak\r\nProxy=po\x9Crednik\r\nProxyPort=8021\r\n");
}

TEST_F(WindowStartUp, TestButtonShowsTheNewsAndVerdictOfTheFilesPresentThenTheKeyboardMovesOn)
{
    PrepareReleases(Release("4.2", "7", "b", "2025/11/03"), ServerRelease);
    Put("or_news.rtf", NewsRtf);
    Start();
    ASSERT_TRUE(window->Visible(ButtonTest));

    window->Click(ButtonTest);

    EXPECT_EQ(window->WaitForText(TextKomunikat, NewerVerdict), NewerVerdict);
    EXPECT_EQ(window->Text(StatusBar1), "Pobieranie zakończone");
    EXPECT_TRUE(window->Visible(SpeedProgramOld));
    EXPECT_NE(window->Text(RichEditRtf).find("Nowości w wersji 4.3"), std::string::npos);
    // The new news view has its tooltip again.
    EXPECT_EQ(window->TooltipCount(), 10);
    EXPECT_TRUE(Boxes().empty());

    // The keyboard from the news view, which has the focus.
    ASSERT_TRUE(windowdriver::WaitUntil([&] { return window->FocusedControl() == RichEditRtf; }));

    // Tab goes on from the news view, to the first tab stop.
    window->PressKeys({VK_TAB});
    EXPECT_TRUE(windowdriver::WaitUntil([&] { return window->FocusedControl() == SpeedDownload; }));

    window->PressKeys({VK_CONTROL, VK_TAB});
    EXPECT_TRUE(windowdriver::WaitUntil([&] { return window->Visible(TabSheetParametry); }));
    EXPECT_EQ(window->SelectedPage(PageControl1), 0);
    window->PressKeys({VK_CONTROL, VK_SHIFT, VK_TAB});
    EXPECT_TRUE(windowdriver::WaitUntil([&] { return window->Visible(TabSheetCoNowego); }));
    EXPECT_EQ(window->SelectedPage(PageControl1), 1);
    EXPECT_FALSE(window->Visible(TabSheetParametry));
}
