#include "datafolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Quorvant;

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(DataFolder, ChoosesFolderFromArgumentThenEnvironment)
{
    QTemporaryDir a, b;
    qputenv("QUORVANT_DATA_DIR", b.path().toUtf8());
    ASSERT_TRUE(DataFolder::initialise({QStringLiteral("quorvant"), QStringLiteral("--data-dir"), a.path()}));
    EXPECT_EQ(DataFolder::path(), QDir(a.path()).absolutePath());
    ASSERT_TRUE(DataFolder::initialise({QStringLiteral("quorvant"), QStringLiteral("--data-dir=") + a.path() + QStringLiteral("/sub")}));
    EXPECT_EQ(DataFolder::path(), a.path() + QStringLiteral("/sub"));
    EXPECT_TRUE(QFileInfo(DataFolder::path()).isDir());
    ASSERT_TRUE(DataFolder::initialise({QStringLiteral("quorvant")}));
    EXPECT_EQ(DataFolder::path(), QDir(b.path()).absolutePath());
    qunsetenv("QUORVANT_DATA_DIR");
}

TEST(DataFolder, InitialiseSeedsShippedFiles)
{
    QTemporaryDir dir;
    ASSERT_TRUE(DataFolder::initialise({QStringLiteral("quorvant"), QStringLiteral("--data-dir"), dir.path()}));
    const QString shipped = DataFolder::shippedDataDir();
    ASSERT_FALSE(shipped.isEmpty());
    // Every shipped file is now in the data folder.
    const QStringList entries = QDir(shipped).entryList(QDir::Files);
    for (const QString &e : entries)
        EXPECT_TRUE(QFileInfo::exists(dir.filePath(e))) << e.toStdString();
}

TEST(DataFolder, SeedCopiesOnlyWhatIsMissingIgnoringCase)
{
    QTemporaryDir from, to;
    writeFile(from.filePath(QStringLiteral("Main.INI")), "shipped");
    writeFile(from.filePath(QStringLiteral("Tags/Basic.tag")), "shipped tag");
    writeFile(from.filePath(QStringLiteral("Tags/New.tag")), "new tag");
    writeFile(from.filePath(QStringLiteral("Help/index.htm")), "help");
    // The user has these already, under other letter cases.
    writeFile(to.filePath(QStringLiteral("main.ini")), "mine");
    writeFile(to.filePath(QStringLiteral("TAGS/basic.TAG")), "my tag");

    EXPECT_EQ(DataFolder::seed(from.path(), to.path()), 2);
    EXPECT_EQ(readFile(to.filePath(QStringLiteral("main.ini"))), "mine");
    EXPECT_FALSE(QFileInfo::exists(to.filePath(QStringLiteral("Main.INI"))));
    EXPECT_EQ(readFile(to.filePath(QStringLiteral("TAGS/basic.TAG"))), "my tag");
    EXPECT_EQ(readFile(to.filePath(QStringLiteral("TAGS/New.tag"))), "new tag");
    EXPECT_FALSE(QFileInfo::exists(to.filePath(QStringLiteral("Tags"))));
    EXPECT_EQ(readFile(to.filePath(QStringLiteral("Help/index.htm"))), "help");
    // A second seed copies nothing.
    EXPECT_EQ(DataFolder::seed(from.path(), to.path()), 0);
}

TEST(DataFolder, SeededCopiesAreWholeAndTheUsersToChange)
{
    QTemporaryDir from, to;
    // Bigger than one read, so the copy goes in pieces.
    QByteArray big;
    for (int i = 0; i < 30000; ++i)
        big += QByteArray::number(i) + ' ';
    writeFile(from.filePath(QStringLiteral("Big.Dat")), big);
    writeFile(from.filePath(QStringLiteral("Locked.Dat")), "installed read-only");
    QFile::setPermissions(from.filePath(QStringLiteral("Locked.Dat")), QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    writeFile(from.filePath(QStringLiteral("Tidy/run.sh")), "#!/bin/sh\n");
    QFile::setPermissions(from.filePath(QStringLiteral("Tidy/run.sh")), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    // A copy cut short at an earlier start left its temporary file.
    writeFile(to.filePath(QStringLiteral("Big.Dat.part")), "torn");

    EXPECT_EQ(DataFolder::seed(from.path(), to.path()), 3);
    EXPECT_EQ(readFile(to.filePath(QStringLiteral("Big.Dat"))), big);
    EXPECT_TRUE(QFile::permissions(to.filePath(QStringLiteral("Locked.Dat"))) & QFileDevice::WriteOwner);
    EXPECT_EQ(readFile(to.filePath(QStringLiteral("Locked.Dat"))), "installed read-only");
    const auto script = QFile::permissions(to.filePath(QStringLiteral("Tidy/run.sh")));
    EXPECT_TRUE(script & QFileDevice::ExeOwner);
    EXPECT_TRUE(script & QFileDevice::WriteOwner);
    const QStringList left = QDir(to.path()).entryList(QDir::Files);
    EXPECT_FALSE(left.contains(QStringLiteral("Big.Dat.part"))) << qPrintable(left.join(u' '));
}

TEST(DataFolder, FileLookupMatchesExistingNamesWithoutRegardToCase)
{
    QTemporaryDir dir;
    DataFolder::setPath(dir.path());
    writeFile(dir.filePath(QStringLiteral("tags/Basic.TAG")), "x");
    EXPECT_EQ(DataFolder::file(QStringLiteral("Tags/basic.tag")), dir.filePath(QStringLiteral("tags/Basic.TAG")));
    // Missing parts keep the spelling asked for; backslashes are separators.
    EXPECT_EQ(DataFolder::file(QStringLiteral("Tags\\New.tag")), dir.filePath(QStringLiteral("tags/New.tag")));
    EXPECT_EQ(DataFolder::file(QStringLiteral("Main.INI")), dir.filePath(QStringLiteral("Main.INI")));
}
