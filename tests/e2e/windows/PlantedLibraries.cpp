#include "tests/e2e/windows/PlantedLibraries.h"

#include "harness/client/ServicePaths.h"
#include "platform/detail/WideTextWindows.h"

#include <windows.h>

#include <sstream>
#include <stdexcept>

namespace {

// Wine loads its own built-in library of a system library's name wherever a
// file of that name lies, unless told to prefer the file: here for the
// program alone (as winecfg's page of applications does), since wine hands a
// child the variable WINEDLLOVERRIDES of its own start, not the parent's.
// Windows reads no such key: there the search order alone decides.
const wchar_t OverridesKey[] = L"Software\\Wine\\AppDefaults\\vm_ver32.exe\\DllOverrides";
const wchar_t NativeFirst[] = L"native,builtin";

// Has wine prefer the files of Names to its own in the program; throws when it cannot.
void PreferFiles(const std::vector<std::wstring> &names)
{
    HKEY overrides = nullptr;
    LSTATUS status = ::RegCreateKeyExW(HKEY_CURRENT_USER, OverridesKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                       &overrides, nullptr);
    for (auto name = names.begin(); status == ERROR_SUCCESS && name != names.end(); ++name)
        status = ::RegSetValueExW(overrides, name->c_str(), 0, REG_SZ, reinterpret_cast<const BYTE *>(NativeFirst),
                                  sizeof NativeFirst);
    if (overrides)
        ::RegCloseKey(overrides);
    if (status != ERROR_SUCCESS) {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, OverridesKey);
        throw std::runtime_error("cannot tell wine to prefer the planted libraries: error " + std::to_string(status));
    }
}

} // namespace

PlantedLibraries::PlantedLibraries(const std::filesystem::path &Directory) : directory(Directory)
{
    const std::filesystem::path library = WideText::FromUtf8(harness::LocalPath(VM_PLANTED_LIBRARY));
    std::vector<std::wstring> names;
    std::istringstream list(VM_PLANTED_LIBRARIES);
    for (std::string name; std::getline(list, name, ',');) {
        std::filesystem::copy_file(library, directory / (name + ".dll"));
        names.push_back(WideText::FromUtf8(name));
    }
    PreferFiles(names);
}

PlantedLibraries::~PlantedLibraries() { ::RegDeleteTreeW(HKEY_CURRENT_USER, OverridesKey); }

std::vector<std::string> PlantedLibraries::Loaded() const
{
    std::vector<std::string> loaded;
    for (const auto &entry : std::filesystem::directory_iterator(directory))
        if (entry.path().extension() == ".loaded")
            loaded.push_back(entry.path().stem().string());
    return loaded;
}
