#pragma once
// A program directory on disk and the main window started in it, with every
// message box recorded instead of shown.
#include "tests/support/ProgramDirFixture.h"
#include "ui/MainWindowLinux.h"
#include "ui/MessageBoxesLinux.h"

#include <QString>
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

class WindowFixture : public ProgramDirFixture {
protected:
    void TearDown() override;

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

    RecordingBoxes boxes;
    std::unique_ptr<MainWindow> window;
};
