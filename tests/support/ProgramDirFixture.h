#pragma once
// A program directory of its own for each test, removed after it, and the
// files the tests of the logic and of the window put there.
#include "harness/FtpFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

class ProgramDirFixture : public ::testing::Test {
protected:
    // Writes Text (UTF-8 in the source, code page 1250 on disk) to Name in the program directory.
    void Put(const std::string &name, const std::string &text);
    std::string Read(const std::string &name) const;
    bool Exists(const std::string &name) const;
    // The directory with its separator, as the program names it.
    std::string ProgramDir() const { return dir.string() + "/"; }

    // The installed product (released 2025/11/03) and settings pointing at Host:Port.
    void PrepareProduct(const std::string &host, int port);
    // The installed release, the server's (already fetched), a news file, and
    // the test button offered.
    void PrepareReleases(const std::string &local, const std::string &server);
    // A release record; no LastUpd key when LastUpdate is empty.
    static std::string Release(const std::string &version, const std::string &edition, const std::string &suffix,
                               const std::string &lastUpdate);

    harness::TempDir temp;
    std::filesystem::path dir = temp.Path();
};
