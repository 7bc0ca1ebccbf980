#include "app/vm_fls32.h"

#include "platform/PrivateProfile.h"
#include "platform/ProgramPaths.h"

void TMyFile::SetFullName(const std::string &Dir, const std::string &FileName)
{
    std::string full = Dir;
    if (full.empty() || (full.back() != '/' && full.back() != '\\'))
        full += ProgramPaths::Separator;
    full += FileName;
    FullName = full.substr(0, full.find('\0'));
}

std::string TIniFile::ReadString(const std::string &Section, const std::string &Key) const
{
    return PrivateProfile::GetString(FileName.FullName, Section, Key, PrivateProfile::MaxValueLength);
}

std::vector<std::string> TIniFile::ReadStrings(const std::string &Section,
                                               const std::vector<std::string_view> &Keys) const
{
    return PrivateProfile::GetStrings(FileName.FullName, Section, Keys, PrivateProfile::MaxValueLength);
}

bool TIniFile::WriteStrings(const std::string &Section,
                            const std::vector<std::pair<std::string_view, std::string_view>> &Entries)
{
    return PrivateProfile::WriteStrings(FileName.FullName, Section, Entries);
}

bool TIniFile::WriteString(const std::string &Section, const std::string &Key, const std::string &Value)
{
    return PrivateProfile::WriteString(FileName.FullName, Section, Key, Value);
}
