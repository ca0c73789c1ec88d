// Quorvant: an HTML source editor.
#include "applicationshell.h"
#include "datafolder.h"
#include "messageservice.h"

#include <QApplication>

#include <unistd.h>

int main(int argc, char **argv)
{
    // The embedded browser's sandbox cannot run as root.
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvant"));

    QString error;
    if (!Quorvant::DataFolder::initialise(QApplication::arguments(), &error)) {
        Quorvant::MessageService::error(nullptr, error);
        return 1;
    }

    Quorvant::TApplicationShell shell;
    shell.start(QApplication::arguments());
    return app.exec();
}
