// The W3C checker's report read as margin messages, and a run whose Java
// cannot be started.
#include "w3cvalidator.h"

#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace Quorvant::Test {
namespace {

TEST(VnuReport, ErrorsWarningsAndInformationBecomeMessagesOfTheirKind)
{
    const QByteArray json = R"({"messages":[
        {"type":"error","url":"file:/a.html","lastLine":4,"firstColumn":1,"lastColumn":9,"message":"An “img” element must have an “alt” attribute."},
        {"type":"info","subType":"warning","lastLine":1,"lastColumn":16,"message":"Consider adding a “lang” attribute."},
        {"type":"info","lastLine":2,"firstColumn":3,"message":"Trailing slash on void elements has no effect."},
        {"type":"non-document-error","message":"Cannot read the file."}]})";
    bool ok = false;
    const QList<TVnuMessage> messages = parseVnuReport(json, &ok);
    ASSERT_TRUE(ok);
    ASSERT_EQ(messages.size(), 4);
    EXPECT_EQ(messages.at(0).file, QStringLiteral("file:/a.html"));
    EXPECT_EQ(messages.at(0).message, (TTidyMessage{4, 1, QStringLiteral("Error"), QStringLiteral("An “img” element must have an “alt” attribute.")}));
    EXPECT_EQ(messages.at(1).message, (TTidyMessage{1, 16, QStringLiteral("Warning"), QStringLiteral("Consider adding a “lang” attribute.")}));
    EXPECT_EQ(messages.at(2).message.kind, QStringLiteral("Info"));
    EXPECT_EQ(messages.at(3).message.kind, QStringLiteral("Error"));
    EXPECT_EQ(messages.at(3).message.line, 0);

    QList<TTidyMessage> lines;
    for (const TVnuMessage &m : messages)
        lines << m.message;
    EXPECT_EQ(vnuReportText(lines).section(u'\n', 0, 1),
              QStringLiteral("line 4 column 1 - Error: An “img” element must have an “alt” attribute.\n"
                             "line 1 column 16 - Warning: Consider adding a “lang” attribute."));
    EXPECT_EQ(vnuReportText(lines).section(u'\n', 3, 3), QStringLiteral("Error: Cannot read the file."));
    EXPECT_EQ(vnuReportText({}), QLatin1String(MsgValidatorClean));

    for (const char *bad : {"", "StackOverflowError while evaluating HTML schema.", "{\"version\":\"1\"}"}) {
        parseVnuReport(bad, &ok);
        EXPECT_FALSE(ok) << bad;
    }
}

TEST(VnuRun, AJavaThatCannotStartEndsTheRunWithThatStatus)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    TVnuRun run;
    QSignalSpy finished(&run, &TVnuRun::finished);
    QString error;
    ASSERT_TRUE(run.start({dir.filePath(QStringLiteral("no-java")), dir.filePath(QStringLiteral("vnu.jar"))}, "<p>x", &error));
    if (finished.isEmpty()) {
        ASSERT_TRUE(finished.wait(10000));
    }
    ASSERT_EQ(finished.size(), 1);
    EXPECT_EQ(finished.first().first().value<TVnuOutcome>().status, TVnuOutcome::Status::FailedToStart);
    EXPECT_FALSE(run.isRunning());

    // Without a checker nothing starts.
    EXPECT_FALSE(run.start({QStringLiteral("java"), QString()}, "<p>x", &error));
    EXPECT_EQ(error, QLatin1String(MsgValidatorMissing));
}

} // namespace
} // namespace Quorvant::Test
