#include "tests/support/ProgramDirFixture.h"

#include "platform/CodePage.h"

void ProgramDirFixture::Put(const std::string &name, const std::string &text)
{
    temp.Write(name, CodePage::FromUtf8(text));
}

std::string ProgramDirFixture::Read(const std::string &name) const { return temp.Read(name); }

void ProgramDirFixture::PrepareProduct(const std::string &host, int port)
{
    Put("ort.ini", "[Program]\r\nWersja=4.2\r\nWydanie=7\r\nWydanie_Dod=b\r\nLastUpd=2025/11/03\r\n");
    Put("vm_ver32.ini", "[FTP]\r\nHost=" + host + "\r\nHostPort=" + std::to_string(port) + "\r\nUseProxy=Nie\r\n");
}

void ProgramDirFixture::PrepareReleases(const std::string &local, const std::string &server)
{
    Put("ort.ini", local);
    Put("or_news.inf", server);
    Put("or_news.rtf", "Nowości");
    Put("vm_ver32.ini", "[FTP]\r\nVemo=Tak\r\n");
}

std::string ProgramDirFixture::Release(const std::string &version, const std::string &edition,
                                       const std::string &suffix, const std::string &lastUpdate)
{
    std::string text = "[Program]\r\nWersja=" + version + "\r\nWydanie=" + edition + "\r\nWydanie_Dod=" + suffix + "\r\n";
    if (!lastUpdate.empty())
        text += "LastUpd=" + lastUpdate + "\r\n";
    return text;
}

bool ProgramDirFixture::Exists(const std::string &name) const { return temp.Exists(name); }
