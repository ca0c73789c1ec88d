// The recovery writer killed at random moments: every start afterwards finds
// one whole entry holding exactly a copy the writer was given, one that had
// been written completely, never a cut file.
#include "recoverystore.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

using namespace Quorvant;

TEST(RecoveryKill, FiftyKillsLeaveAWholeCopyEachTime)
{
    QRandomGenerator random(20261210);
    int settledAtLastDone = 0;
    for (int round = 0; round < 50; ++round) {
        QTemporaryDir data;
        QProcess helper;
        helper.start(QStringLiteral(RECOVERY_CRASH_HELPER), {data.path()});
        ASSERT_TRUE(helper.waitForStarted(10000));
        QList<quint64> snaps;
        qsizetype lastDone = -1;
        QByteArray pending;
        auto readLines = [&] {
            pending += helper.readAllStandardOutput();
            qsizetype nl;
            while ((nl = pending.indexOf('\n')) >= 0) {
                const QList<QByteArray> f = pending.left(nl).split(' ');
                pending.remove(0, nl + 1);
                if (f.size() != 2)
                    continue;
                const quint64 hash = f[1].toULongLong();
                if (f[0] == "snap")
                    snaps.append(hash);
                else if (f[0] == "done")
                    lastDone = snaps.lastIndexOf(hash);
            }
        };
        // Killed only once a first copy is on disk, then at a random moment.
        while (lastDone < 0 && helper.state() == QProcess::Running) {
            helper.waitForReadyRead(2000);
            readLines();
        }
        ASSERT_GE(lastDone, 0) << "round " << round << ": " << helper.readAllStandardError().constData();
        QThread::msleep(random.bounded(0, 120));
        helper.kill();
        ASSERT_TRUE(helper.waitForFinished(10000));
        readLines();

        TRecoveryStore next(data.path());
        ASSERT_TRUE(next.openSession(nullptr));
        QStringList problems;
        const QList<TRecoveryEntry> offered = next.claimOrphans(&problems);
        EXPECT_TRUE(problems.isEmpty()) << "round " << round << ": " << qPrintable(problems.join(u'\n'));
        ASSERT_EQ(offered.size(), 1) << "round " << round;
        const qsizetype at = snaps.indexOf(contentHash(offered.first().text));
        ASSERT_GE(at, 0) << "round " << round << ": the recovered text is no copy the writer was given";
        // The last copy reported written, or one the writer finished after it.
        EXPECT_GE(at, lastDone) << "round " << round;
        if (at == lastDone)
            ++settledAtLastDone;
    }
    RecordProperty("KillsOnTheLastReportedCopy", settledAtLastDone);
}
