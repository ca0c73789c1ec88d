// Quorvant: an HTML source editor.
#include "applicationshell.h"
#include "automation/automationservice.h"
#include "automation/commandline.h"
#include "automation/singleinstance.h"
#include "datafolder.h"
#include "messageservice.h"
#include "subsystems.h"

#include <QApplication>

#include <cstdio>
#include <unistd.h>

namespace {

// --help and --version answer before a display is needed.
bool answeredWithoutWindows(int argc, char **argv)
{
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));
    const Quorvant::CommandLine line = Quorvant::parseCommandLine(args);
    if (line.help) {
        fputs(qPrintable(Quorvant::commandLineUsage()), stdout);
        return true;
    }
    if (line.version) {
        fputs("Quorvant " QUORVANT_VERSION "\n", stdout);
        return true;
    }
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    if (answeredWithoutWindows(argc, argv))
        return 0;
    // The embedded browser's sandbox cannot run as root.
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvant"));
    QApplication::setApplicationVersion(QStringLiteral(QUORVANT_VERSION));

    // Qt has taken its own options out of the arguments by now.
    const QStringList args = QApplication::arguments();
    const Quorvant::CommandLine line = Quorvant::parseCommandLine(args);
    if (!line.error.isEmpty()) {
        fprintf(stderr, "quorvant: %s\n%s", qPrintable(line.error), qPrintable(Quorvant::commandLineUsage()));
        return 2;
    }

    QString error;
    if (!Quorvant::DataFolder::initialise(args, &error)) {
        Quorvant::MessageService::error(nullptr, error);
        return 1;
    }

    Quorvant::TApplicationShell shell;
    shell.installSubsystems = Quorvant::installSubsystems;
    // One instance per data folder: a later start hands its files over and ends.
    Quorvant::SingleInstance instance(Quorvant::DataFolder::path());
    if (instance.claim() == Quorvant::SingleInstance::Role::Second) {
        if (instance.handOver(line.files, &error))
            return 0;
        fprintf(stderr, "quorvant: the running instance did not answer (%s); starting another one.\n",
                qPrintable(error));
    }

    const bool automation = line.automation || qEnvironmentVariable("QUORVANT_AUTOMATION") == QLatin1String("1");
    if (automation) {
        // Boxes are recorded and answered from the queue, so none waits for a person.
        Quorvant::MessageService::setTestHookEnabled(true);
        if (instance.role() == Quorvant::SingleInstance::Role::First)
            new Quorvant::AutomationService(&shell, instance.busObject());
        else
            fprintf(stderr, "quorvant: automation is unavailable: %s.\n", qPrintable(instance.problem()));
    }
    instance.publish([&shell](const QStringList &files) { shell.openFiles(files); });

    shell.start(args);
    const int result = app.exec();
    instance.release();
    return result;
}
