// The command line and the bus names each data folder gets.
#include "automation/busnames.h"
#include "automation/commandline.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Quorvant;

namespace {

struct LineCase
{
    const char *label;
    QStringList args;       // after the program name
    QStringList files;      // relative to the current folder
    QString dataDir;
    bool automation = false;
    bool help = false;
    bool version = false;
    bool error = false;
};

QString here(const QString &name)
{
    return QDir::cleanPath(QDir::current().absoluteFilePath(name));
}

} // namespace

TEST(CommandLine, ReadsOptionsAndKeepsTheFilesInOrder)
{
    const LineCase cases[] = {
        {"files only", {"b.htm", "a.htm", "sub/../c.htm"}, {"b.htm", "a.htm", "c.htm"}},
        {"data dir with a space", {"--data-dir", "/d", "a.htm"}, {"a.htm"}, "/d"},
        {"data dir with =", {"a.htm", "--data-dir=/d e", "b.htm"}, {"a.htm", "b.htm"}, "/d e"},
        {"automation", {"--automation", "a.htm"}, {"a.htm"}, {}, true},
        {"help", {"a.htm", "--help"}, {"a.htm"}, {}, false, true},
        {"short help", {"-h"}, {}, {}, false, true},
        {"version", {"--version"}, {}, {}, false, false, true},
        {"double dash ends the options", {"--", "--help", "-x.htm"}, {"--help", "-x.htm"}},
        {"unknown option", {"--frobnicate", "a.htm"}, {"a.htm"}, {}, false, false, false, true},
        {"unknown short option", {"-q"}, {}, {}, false, false, false, true},
        {"data dir without a folder", {"a.htm", "--data-dir"}, {"a.htm"}, {}, false, false, false, true},
        {"a lone dash is a file", {"-"}, {"-"}},
    };
    for (const LineCase &c : cases) {
        SCOPED_TRACE(c.label);
        const CommandLine line = parseCommandLine(QStringList{QStringLiteral("quorvant")} + c.args);
        QStringList expected;
        for (const QString &f : c.files)
            expected.append(here(f));
        EXPECT_EQ(line.files, expected);
        EXPECT_EQ(line.dataDir, c.dataDir);
        EXPECT_EQ(line.automation, c.automation);
        EXPECT_EQ(line.help, c.help);
        EXPECT_EQ(line.version, c.version);
        EXPECT_EQ(!line.error.isEmpty(), c.error) << line.error.toStdString();
    }
}

TEST(CommandLine, AnswersNameTheirFile)
{
    EXPECT_EQ(parseCommandLine({QStringLiteral("quorvant"), QStringLiteral("--answers"), QStringLiteral("a.txt")}).answersFile,
              QStringLiteral("a.txt"));
    EXPECT_EQ(parseCommandLine({QStringLiteral("quorvant"), QStringLiteral("--answers=b c.txt")}).answersFile,
              QStringLiteral("b c.txt"));
    const CommandLine missing = parseCommandLine({QStringLiteral("quorvant"), QStringLiteral("--answers")});
    EXPECT_FALSE(missing.error.isEmpty());
    EXPECT_TRUE(missing.files.isEmpty());
}

TEST(CommandLine, AbsoluteFilesStayAsGiven)
{
    const CommandLine line = parseCommandLine({QStringLiteral("quorvant"), QStringLiteral("/tmp/x/../a b.htm")});
    EXPECT_EQ(line.files, QStringList{QStringLiteral("/tmp/a b.htm")});
}

TEST(BusNames, OneServicePerDataFolderWhateverItsSpelling)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString one = dir.filePath(QStringLiteral("one"));
    const QString two = dir.filePath(QStringLiteral("two"));
    ASSERT_TRUE(QDir().mkpath(one));
    ASSERT_TRUE(QDir().mkpath(two));
    const QString link = dir.filePath(QStringLiteral("link"));
    ASSERT_TRUE(QFile::link(one, link));

    const QString name = Bus::serviceName(one);
    // A valid bus name: dot-separated elements that do not start with a digit.
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^org\\.quorvant\\.Editor\\.i[0-9a-f]{16}$")).match(name).hasMatch())
        << name.toStdString();
    EXPECT_EQ(Bus::serviceName(one + QStringLiteral("/")), name);
    EXPECT_EQ(Bus::serviceName(two + QStringLiteral("/../one")), name);
    EXPECT_EQ(Bus::serviceName(link), name);
    EXPECT_NE(Bus::serviceName(two), name);
    // A folder not created yet still has a stable name.
    EXPECT_EQ(Bus::serviceName(dir.filePath(QStringLiteral("later"))),
              Bus::serviceName(dir.filePath(QStringLiteral("later/"))));
}
