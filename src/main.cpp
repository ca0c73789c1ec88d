// Quorvant: an HTML source editor.
#include "datafolder.h"
#include "mainwindow.h"
#include "messageservice.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvant"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quorvant 2"));

    QString error;
    if (!Quorvant::DataFolder::initialise(QApplication::arguments(), &error)) {
        Quorvant::MessageService::error(nullptr, error);
        return 1;
    }

    Quorvant::TForm1 window;
    window.showMaximized();
    return app.exec();
}
