// Running the tool: working files, arguments, exit codes, the time limit.
#include "tidyconfig.h"
#include "tidyrun.h"
#include "toolstestsupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace Quorvant;

namespace {

class TidyRunTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        // A folder name the shell would act on, were one involved.
        m_folder = m_dir.filePath(QStringLiteral("Ti dy;$(touch pwned)"));
        ASSERT_TRUE(QDir().mkpath(m_folder));
        ASSERT_TRUE(TTidyConfig().save(QDir(m_folder).filePath(QStringLiteral("Tidy.Cfg"))));
    }

    // Runs to the end and returns the outcome.
    TTidyOutcome runTool(TidyCommand command, const QString &tool, const QString &text, int timeoutMs = 20000)
    {
        TTidyRun run{TTidyFolder(m_folder)};
        run.setTimeoutMs(timeoutMs);
        QSignalSpy spy(&run, &TTidyRun::finished);
        QString error;
        EXPECT_TRUE(run.start(command, tool, text, &error)) << error.toStdString();
        EXPECT_TRUE(run.isRunning());
        EXPECT_TRUE(spy.wait(30000));
        EXPECT_FALSE(run.isRunning());
        return spy.isEmpty() ? TTidyOutcome() : spy.first().first().value<TTidyOutcome>();
    }
    QString file(const QString &name) const { return QDir(m_folder).filePath(name); }
    QString tool() const { return file(QStringLiteral("tidy")); }

    QTemporaryDir m_dir;
    QString m_folder;
};

} // namespace

TEST_F(TidyRunTest, RealToolTidiesAndReports)
{
    if (ToolsTest::realTidy().isEmpty())
        GTEST_SKIP() << "tidy is not installed";
    const QString page = QStringLiteral("<html><head><title>x</title></head>\r\n<body>\r\n<p>caf\u00E9 <b>bold\r\n<img src=\"a.gif\">\r\n</body></html>\r\n");
    const TTidyOutcome out = runTool(TidyCommand::FixAndFormat, ToolsTest::realTidy(), page);
    ASSERT_EQ(out.status, TTidyOutcome::Status::Finished);
    EXPECT_EQ(out.exitCode, 1);
    EXPECT_TRUE(out.reportRead);
    EXPECT_TRUE(out.report.contains(QLatin1String("lacks \"alt\" attribute")));
    ASSERT_TRUE(out.pageRead);
    EXPECT_TRUE(out.page.contains(QLatin1String("<b>bold")));
    EXPECT_TRUE(out.page.contains(QLatin1String("</b>")));
    // No encoding chosen: the page went as UTF-8 and the accent came back as it was.
    EXPECT_TRUE(out.page.contains(QStringLiteral("caf\u00E9 ")));
    bool altLine = false;
    for (const TTidyMessage &m : out.messages)
        altLine = altLine || (m.line == 4 && m.text.contains(QLatin1String("alt")));
    EXPECT_TRUE(altLine);
    EXPECT_FALSE(QFile::exists(file(QStringLiteral("pwned"))));
    EXPECT_FALSE(QFile::exists(QStringLiteral("pwned")));
}

TEST_F(TidyRunTest, RealToolWithErrorsLeavesNoPage)
{
    if (ToolsTest::realTidy().isEmpty())
        GTEST_SKIP() << "tidy is not installed";
    const TTidyOutcome out = runTool(TidyCommand::FixAndFormat, ToolsTest::realTidy(),
                                     QStringLiteral("<html><body><p>a</p></body></html><frameset><blah"));
    if (out.exitCode != 2)
        GTEST_SKIP() << "this tidy repairs the page";
    EXPECT_FALSE(out.pageRead);
}

TEST_F(TidyRunTest, ArgumentsGoAsAListInTheToolFolder)
{
    ToolsTest::writeFakeTool(m_folder, "pwd > args.log; for a in \"$@\"; do echo \"[$a]\" >> args.log; done; exit 0");
    const TTidyOutcome out = runTool(TidyCommand::ConvertToXml, tool(), QStringLiteral("x"));
    EXPECT_EQ(out.status, TTidyOutcome::Status::Finished);
    const QStringList lines = ToolsTest::readLines(file(QStringLiteral("args.log")));
    EXPECT_EQ(lines, (QStringList{QDir(m_folder).canonicalPath(), QStringLiteral("[-config]"), QStringLiteral("[Tidy.Cfg]"),
                                  QStringLiteral("[--char-encoding]"), QStringLiteral("[utf8]"), QStringLiteral("[--preserve-entities]"),
                                  QStringLiteral("[yes]"), QStringLiteral("[-i]"),
                                  QStringLiteral("[-asxml]"), QStringLiteral("[-m]"), QStringLiteral("[temp.htm]")}));
    EXPECT_FALSE(QFile::exists(file(QStringLiteral("pwned"))));
}

TEST_F(TidyRunTest, ResultsOfAnEarlierRunAreNeverReadBack)
{
    ToolsTest::writeFile(file(QStringLiteral("error.dat")), "line 1 column 1 - Warning: old report\n");
    ToolsTest::writeFile(file(QStringLiteral("Temp.Htm")), "old page");
    // A tool that ends cleanly without writing anything.
    ToolsTest::writeFakeTool(m_folder, "exit 0");
    const TTidyOutcome out = runTool(TidyCommand::SourceFormat, tool(), QStringLiteral("new page"));
    EXPECT_FALSE(out.reportRead);
    EXPECT_TRUE(out.report.isEmpty());
    EXPECT_TRUE(out.messages.isEmpty());
    EXPECT_EQ(out.page, QStringLiteral("new page"));
    EXPECT_FALSE(QFile::exists(file(QStringLiteral("Temp.Htm"))));
}

TEST_F(TidyRunTest, ExitCodesDecideWhetherThePageIsRead)
{
    struct Case { int code; bool pageRead; };
    for (const Case c : {Case{0, true}, Case{1, true}, Case{2, false}}) {
        ToolsTest::writeFakeTool(m_folder, QByteArray("printf 'line 2 column 3 - Error: bad\\n' > error.dat; printf tidied > temp.htm; exit ")
                                               + QByteArray::number(c.code));
        const TTidyOutcome out = runTool(TidyCommand::FixAndFormat, tool(), QStringLiteral("page"));
        EXPECT_EQ(out.exitCode, c.code);
        EXPECT_EQ(out.pageRead, c.pageRead) << c.code;
        EXPECT_EQ(out.page, c.pageRead ? QStringLiteral("tidied") : QString());
        ASSERT_EQ(out.messages.size(), 1);
        EXPECT_EQ(out.messages.first().line, 2);
    }
}

TEST_F(TidyRunTest, FifosInPlaceOfTheToolsFilesAreNotRead)
{
    // Reading one would block the window for good.
    ASSERT_TRUE(QFile::remove(file(QStringLiteral("Tidy.Cfg"))));
    ASSERT_TRUE(ToolsTest::makeFifo(file(QStringLiteral("Tidy.Cfg"))));
    ToolsTest::writeFakeTool(m_folder, "rm -f error.dat temp.htm; mkfifo error.dat temp.htm; exit 0");
    ToolsTest::FifoReleaser release(
        {file(QStringLiteral("Tidy.Cfg")), file(QStringLiteral("error.dat")), file(QStringLiteral("temp.htm"))});
    const TTidyOutcome out = runTool(TidyCommand::FixAndFormat, tool(), QStringLiteral("page"));
    EXPECT_EQ(out.status, TTidyOutcome::Status::Finished);
    EXPECT_FALSE(out.reportRead);
    EXPECT_FALSE(out.pageRead);
    EXPECT_EQ(release.releases(), 0) << "a FIFO was opened";
}

TEST_F(TidyRunTest, PageIsWrittenInTheConfiguredEncoding)
{
    TTidyConfig latin;
    latin.CharEncoding = TidyCharEncoding::Latin1;
    ASSERT_TRUE(latin.save(file(QStringLiteral("Tidy.Cfg"))));
    ToolsTest::writeFakeTool(m_folder, "cp temp.htm seen.htm; printf 'r\\351sum\\351' > temp.htm; exit 0");
    const TTidyOutcome out = runTool(TidyCommand::FixAndFormat, tool(), QStringLiteral("caf\u00E9 \u20AC"));
    EXPECT_EQ(ToolsTest::readFile(file(QStringLiteral("seen.htm"))), QByteArray("caf\xE9 &#8364;"));
    EXPECT_EQ(out.page, QStringLiteral("r\u00E9sum\u00E9"));
}

TEST_F(TidyRunTest, AToolThatDoesNotEndIsStopped)
{
    ToolsTest::writeFakeTool(m_folder, "echo $$ > pid.txt; exec sleep 30");
    QElapsedTimer clock;
    clock.start();
    const TTidyOutcome out = runTool(TidyCommand::FixAndFormat, tool(), QStringLiteral("x"), 500);
    EXPECT_EQ(out.status, TTidyOutcome::Status::TimedOut);
    EXPECT_LT(clock.elapsed(), 10000);
    EXPECT_FALSE(out.pageRead);
    const QByteArray pid = ToolsTest::readFile(file(QStringLiteral("pid.txt"))).trimmed();
    ASSERT_FALSE(pid.isEmpty());
    EXPECT_FALSE(QFile::exists(QStringLiteral("/proc/") + QString::fromLatin1(pid) + QStringLiteral("/cmdline"))
                 && ToolsTest::readFile(QStringLiteral("/proc/") + QString::fromLatin1(pid) + QStringLiteral("/cmdline")).contains("sleep"));
}

TEST_F(TidyRunTest, MissingProgramIsReported)
{
    const TTidyOutcome out = runTool(TidyCommand::FixAndFormat, file(QStringLiteral("no-such-tool")), QStringLiteral("x"));
    EXPECT_EQ(out.status, TTidyOutcome::Status::FailedToStart);
    EXPECT_FALSE(out.errorText.isEmpty());
}

TEST_F(TidyRunTest, StartFailsWhenThePageCannotBeWritten)
{
    // The tool folder is a plain file.
    ToolsTest::writeFile(m_dir.filePath(QStringLiteral("plain")), "x");
    TTidyRun run{TTidyFolder(m_dir.filePath(QStringLiteral("plain")))};
    QString error;
    EXPECT_FALSE(run.start(TidyCommand::FixAndFormat, QStringLiteral("/bin/true"), QStringLiteral("x"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(run.isRunning());
}
