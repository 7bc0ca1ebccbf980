#include "ui/Application.h"

#include "platform/ApplicationErrors.h"
#include "platform/Exception.h"
#include "platform/ProgramPaths.h"
#include "ui/ErrorBoxLinux.h"
#include "ui/MainWindowLinux.h"
#include "ui/MessageBoxesLinux.h"
#include "ui/MessageKind.h"

#include <QApplication>
#include <QFont>

int RunApplication(int argc, char **argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(ApplicationTitle));

    // The window was laid out for a narrow sans-serif face of Arial's metrics.
    QFont face = QApplication::font();
    face.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                      QStringLiteral("Sans Serif")});
    QApplication::setFont(face);

    ModalMessageBoxes boxes;
    QWidget *owner = nullptr;
    ApplicationErrors::SetHandler([&](const std::exception &error) { ShowErrorBox(boxes, owner, MessageOf(error)); });

    MainWindow window(boxes, ProgramPaths::ProgramDirectory);
    owner = &window;
    window.show();
    const int result = QApplication::exec();
    ApplicationErrors::SetHandler(nullptr);
    return result;
}
