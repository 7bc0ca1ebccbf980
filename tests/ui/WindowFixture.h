#pragma once
// A program directory on disk and the main window started in it, with every
// message box recorded instead of shown.
#include "ui/MainWindow.h"
#include "ui/MessageBoxes.h"

#include <gtest/gtest.h>

#include <QString>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// Readable failure messages for texts of the window.
inline void PrintTo(const QString &text, std::ostream *out) { *out << '"' << text.toStdString() << '"'; }

struct ShownBox {
    TMessageKind kind;
    QString caption;
    QString text;
};

class RecordingBoxes : public MessageBoxes {
public:
    void Show(QWidget *, TMessageKind kind, const QString &caption, const QString &text) override
    {
        shown.push_back({kind, caption, text});
    }
    std::vector<ShownBox> shown;
};

class WindowFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes Text (UTF-8 in the source, code page 1250 on disk) to Name in the program directory.
    void Put(const std::string &name, const std::string &text);
    std::string Read(const std::string &name) const;
    bool Exists(const std::string &name) const;
    std::string ProgramDir() const { return dir.string() + "/"; }

    MainWindow &Start();
    template <class W>
    W *Find(const char *name) const
    {
        W *widget = window->findChild<W *>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QString Text(const char *name) const;
    QString Status() const;

    std::filesystem::path dir;
    RecordingBoxes boxes;
    std::unique_ptr<MainWindow> window;
};
