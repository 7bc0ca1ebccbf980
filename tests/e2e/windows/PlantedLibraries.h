#pragma once
// Copies of a library of the test's own (PlantedLibrary.cpp) in a program
// directory, one under the name of each system library the program loads
// after its start, and wine told to prefer such a copy to its own in the
// program while the object lives: a program that searched its own directory
// would take them.
#include <filesystem>
#include <string>
#include <vector>

class PlantedLibraries {
public:
    explicit PlantedLibraries(const std::filesystem::path &directory);
    ~PlantedLibraries();
    PlantedLibraries(const PlantedLibraries &) = delete;
    PlantedLibraries &operator=(const PlantedLibraries &) = delete;

    // The file names of the copies that were loaded: each leaves a mark.
    std::vector<std::string> Loaded() const;

private:
    std::filesystem::path directory;
};
