// Quorvant: an HTML source editor.
#include "datafolder.h"
#include "documentset.h"
#include "mainwindow.h"
#include "messageservice.h"

#include <QApplication>
#include <QScreen>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvant"));

    QString error;
    if (!Quorvant::DataFolder::initialise(QApplication::arguments(), &error)) {
        Quorvant::MessageService::error(nullptr, error);
        return 1;
    }

    Quorvant::TForm1 window;
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        window.setGeometry(screen->availableGeometry());
    window.showMaximized();
    // Files named on the command line open as documents.
    const QStringList args = QApplication::arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--data-dir")) {
            ++i;
            continue;
        }
        if (!args.at(i).startsWith(QLatin1String("--")))
            window.documents()->OpenFile(args.at(i));
    }
    return app.exec();
}
