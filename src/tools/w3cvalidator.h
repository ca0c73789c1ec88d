// The W3C Nu Html Checker (vnu.jar, run by Java): where it is, the command
// line that checks one page from standard input or many files in one run,
// and its JSON report as messages for the margin marks.
#pragma once

#include "tidyreport.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

class QProcess;

namespace Quorvant {

// Names the checker's jar for tests and for a checker kept elsewhere.
inline constexpr char VnuJarEnvironment[] = "QUORVANT_VNU_JAR";
// Where scripts/dev installs the checker, relative to the build folder that
// holds the program (build/src/quorvant).
inline constexpr char VnuJarBesideBuild[] = "../tools/vnu/node_modules/vnu-jar/build/dist/vnu.jar";

inline constexpr char MsgValidatorMissing[] =
    "The W3C Nu Html Checker is not installed, so the page cannot be validated.\n\n"
    "To install it, run \"scripts/dev install-validator\" in Quorvant's source folder (it installs Java with "
    "\"apt-get install default-jre-headless\" and the checker with \"npm ci\" into build/tools/vnu), or put "
    "vnu.jar anywhere and name it in Main.INI as\n\n[VALIDATOR]\nJAR=/path/to/vnu.jar\n\n"
    "Java must be on the PATH.";
inline constexpr char MsgValidatorFailed[] = "Error! The W3C Nu Html Checker could not be run: ";
inline constexpr char MsgValidatorTimedOut[] =
    "The W3C Nu Html Checker did not finish within 60 seconds and was stopped.";
inline constexpr char MsgValidatorClean[] = "The W3C Nu Html Checker found no errors or warnings.";

struct TVnuSetup
{
    QString java;  // the java program
    QString jar;   // vnu.jar
    bool isComplete() const { return !java.isEmpty() && !jar.isEmpty(); }
};

// The first that exists of: the environment variable, the configured path
// ("VALIDATOR"/"JAR" in Main.INI), the default paths; java from JAVA_HOME or
// the PATH. Missing parts are empty.
TVnuSetup findVnu(const QString &configuredJar, const QStringList &defaultJars);

// The Java options (the checker needs a larger thread stack; one quick
// compiler tier starts fastest) and the checker's, reporting JSON on
// standard output; "-" as the one file reads the page from standard input.
QStringList vnuArguments(const QString &jar, const QStringList &files);

// One message of the checker's report, as the margin marks take it: kind
// "Error", "Warning" or "Info". file is the document's URL ("file:/...";
// empty for standard input).
struct TVnuMessage
{
    QString file;
    TTidyMessage message;
};
// The messages of the JSON report; ok false when it is not one.
QList<TVnuMessage> parseVnuReport(const QByteArray &json, bool *ok);

// The messages as report lines: "line 3 column 10 - Error: ...".
QString vnuReportText(const QList<TTidyMessage> &messages);

struct TVnuOutcome
{
    enum class Status { Finished, TimedOut, FailedToStart, Crashed, BadReport };
    Status status = Status::Finished;
    QString errorText;  // why it failed, with the checker's own output
    QList<TTidyMessage> messages;
    qint64 elapsedMs = 0;
};

// One check of a page in the background: the page goes to the checker's
// standard input; finished() follows start() unless cancelled.
class TVnuRun : public QObject
{
    Q_OBJECT
public:
    explicit TVnuRun(QObject *parent = nullptr);
    ~TVnuRun() override;

    static constexpr int DefaultTimeoutMs = 60000;
    void setTimeoutMs(int ms) { m_timeoutMs = ms; }

    // False (with error) when it could not be started.
    [[nodiscard]] bool start(const TVnuSetup &setup, const QByteArray &utf8Page, QString *error);
    bool isRunning() const { return m_process != nullptr; }
    void cancel();

Q_SIGNALS:
    void finished(const Quorvant::TVnuOutcome &outcome);

private:
    void complete(TVnuOutcome outcome);

    QProcess *m_process = nullptr;
    QTimer m_timer;
    QElapsedTimer m_clock;
    int m_timeoutMs = DefaultTimeoutMs;
};

} // namespace Quorvant
