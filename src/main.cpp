// Quorvant: an HTML source editor.
#include "applicationshell.h"
#include "automation/automationservice.h"
#include "automation/toolkitservice.h"
#include "automation/commandline.h"
#include "automation/singleinstance.h"
#include "datafolder.h"
#include "messageservice.h"
#include "quorvantversion.h"
#include "subsystems.h"

#include <QApplication>
#include <QFile>
#include <QIcon>

#include <csignal>
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

// --answers FILE: answers for the boxes from the start on, as QueueAnswers takes them.
bool queueAnswersFromFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        fprintf(stderr, "quorvant: cannot read the answers in %s: %s\n", qPrintable(path), qPrintable(file.errorString()));
        return false;
    }
    QStringList answers;
    for (QString line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (!line.trimmed().isEmpty())
            answers.append(line);
    }
    const auto queued = Quorvant::AutomationDriver::queueAnswers(answers);
    if (!queued.ok()) {
        fprintf(stderr, "quorvant: %s: %s\n", qPrintable(path), qPrintable(queued.message));
        return false;
    }
    return true;
}

void ignoreWriteToClosedPipe(int) {}

// A write to a pipe or socket whose reader has gone (the terminal or script
// that started the program, a helper process that died) fails with EPIPE
// instead of ending the program without a word. Most writes of this kind
// are log lines on stderr: the browser engine writes some as it starts. A
// handler rather than SIG_IGN, so the programs started from here get the
// default back when they execute.
void surviveClosedPipes()
{
    struct sigaction action = {};
    action.sa_handler = ignoreWriteToClosedPipe;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGPIPE, &action, nullptr);
}

} // namespace

int main(int argc, char **argv)
{
    surviveClosedPipes();
    if (answeredWithoutWindows(argc, argv))
        return 0;
    // The embedded browser's sandbox cannot run as root. (Its shared GL
    // context is made when the first browser is shown, not here: it would
    // load the GL driver at every start.)
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvant"));
    QApplication::setApplicationVersion(QStringLiteral(QUORVANT_VERSION));
    // A desktop without an icon theme of its own (or one without an icon)
    // still gets the standard pictures where Adwaita is installed.
    QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
    // The launcher entry and icon the desktop shows for the windows.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.quorvant.Quorvant"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.quorvant.Quorvant")));

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
    if (!line.answersFile.isEmpty() && !automation) {
        fprintf(stderr, "quorvant: --answers works only with --automation.\n");
        return 2;
    }
    Quorvant::AutomationService *service = nullptr;
    if (automation) {
        // Boxes are recorded and answered from the queue, so none waits for a person.
        Quorvant::MessageService::setTestHookEnabled(true);
        if (!line.answersFile.isEmpty() && !queueAnswersFromFile(line.answersFile))
            return 2;
        if (instance.role() == Quorvant::SingleInstance::Role::First) {
            service = new Quorvant::AutomationService(&shell, instance.busObject());
            new Quorvant::ToolkitService(instance.busObject());
        } else {
            fprintf(stderr, "quorvant: automation is unavailable: %s.\n", qPrintable(instance.problem()));
        }
    }
    instance.publish([&shell](const QStringList &files) { shell.openFiles(files); });

    shell.start(args);
    const int result = app.exec();
    // The boxes shown while the program ended stay for a script to take.
    if (service)
        service->holdUntilTaken(5000);
    instance.release();
    return result;
}
