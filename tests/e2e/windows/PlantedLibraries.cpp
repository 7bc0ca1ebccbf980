#include "tests/e2e/windows/PlantedLibraries.h"

#include "harness/client/ServicePaths.h"
#include "platform/detail/WideTextWindows.h"

#include <windows.h>

#include <sstream>
#include <stdexcept>

namespace {

const wchar_t OverridesVariable[] = L"WINEDLLOVERRIDES";

std::optional<std::wstring> Variable(const wchar_t *name)
{
    std::wstring value(::GetEnvironmentVariableW(name, nullptr, 0), L'\0');
    if (value.empty())
        return std::nullopt;
    value.resize(::GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size())));
    return value;
}

} // namespace

PlantedLibraries::PlantedLibraries(const std::filesystem::path &Directory)
    : directory(Directory), previousOverrides(Variable(OverridesVariable))
{
    const std::filesystem::path library = WideText::FromUtf8(harness::LocalPath(VM_PLANTED_LIBRARY));
    std::istringstream names(VM_PLANTED_LIBRARIES);
    for (std::string name; std::getline(names, name, ',');)
        std::filesystem::copy_file(library, directory / (name + ".dll"));
    // Wine loads its own built-in library of these names wherever a file of
    // the name lies, unless told to prefer the file (the list has the
    // variable's form already). Windows knows no such variable: there the
    // search order alone decides.
    const std::wstring overrides = WideText::FromUtf8(VM_PLANTED_LIBRARIES "=n,b");
    if (!::SetEnvironmentVariableW(OverridesVariable, overrides.c_str()))
        throw std::runtime_error("cannot set WINEDLLOVERRIDES: error " + std::to_string(::GetLastError()));
}

PlantedLibraries::~PlantedLibraries()
{
    ::SetEnvironmentVariableW(OverridesVariable, previousOverrides ? previousOverrides->c_str() : nullptr);
}

std::vector<std::string> PlantedLibraries::Loaded() const
{
    std::vector<std::string> loaded;
    for (const auto &entry : std::filesystem::directory_iterator(directory))
        if (entry.path().extension() == ".loaded")
            loaded.push_back(entry.path().stem().string());
    return loaded;
}
