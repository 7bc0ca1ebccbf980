// vm_news_bench FILE: how long the window is busy with a downloaded news file.
// Starts the window in a program directory whose news file is FILE, then
// measures from the display step until the event loop answers again, the
// window repainted. Prints milliseconds and the peak memory.
#include "ui/MainWindowLinux.h"
#include "ui/MessageBoxesLinux.h"

#include <QApplication>
#include <QTimer>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sys/resource.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class PrintedBoxes : public MessageBoxes {
public:
    void Show(QWidget *, TMessageKind, const QString &caption, const QString &text) override
    {
        std::cerr << caption.toStdString() << ": " << text.toStdString() << "\n";
    }
};

long PeakMemoryMiB()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::cerr << "usage: vm_news_bench NEWS_FILE\n";
        return 2;
    }
    QApplication app(argc, argv);
    const fs::path dir = fs::temp_directory_path() / ("vm_news_bench_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::ofstream(dir / "ort.ini") << "[Program]\nWersja=1\n";
    fs::create_hard_link(argv[1], dir / "or_news.rtf");

    PrintedBoxes boxes;
    int result = 0;
    {
        MainWindow window(boxes, [&] { return dir.string() + "/"; });
        window.show();
        QApplication::processEvents();

        const auto start = std::chrono::steady_clock::now();
        try {
            window.Logic().FormShowRTF();
        } catch (const std::exception &error) {
            std::cerr << "error: " << error.what() << "\n";
            result = 1;
        }
        window.repaint();
        QTimer::singleShot(0, &app, &QApplication::quit);
        QApplication::exec();
        const std::chrono::duration<double, std::milli> busy = std::chrono::steady_clock::now() - start;
        std::cout << fs::file_size(argv[1]) << " bytes: " << static_cast<long>(busy.count()) << " ms, peak "
                  << PeakMemoryMiB() << " MiB\n";
    }
    fs::remove_all(dir);
    return result;
}
