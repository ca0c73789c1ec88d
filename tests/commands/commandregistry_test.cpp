// Commands by id: the later registration wins, an unknown id runs nothing.
#include "commandregistry.h"

#include <gtest/gtest.h>

namespace Quorvant::Test {
namespace {

TEST(CommandRegistry, RunsTheLatestHandlerOfAnIdAndReportsUnknownOnes)
{
    TCommandRegistry commands;
    QStringList ran;
    EXPECT_FALSE(commands.has(QStringLiteral("TableWizard")));
    EXPECT_FALSE(commands.run(QStringLiteral("TableWizard")));
    commands.add(QStringLiteral("TableWizard"), [&ran] { ran << QStringLiteral("first"); });
    commands.add(QStringLiteral("TableWizard"), [&ran] { ran << QStringLiteral("second"); });
    commands.add(QStringLiteral("Empty"), {});
    EXPECT_TRUE(commands.run(QStringLiteral("TableWizard")));
    EXPECT_FALSE(commands.run(QStringLiteral("Empty")));  // registered without a handler
    EXPECT_FALSE(commands.run(QStringLiteral("tablewizard")));  // ids are exact
    EXPECT_EQ(ran, QStringList{QStringLiteral("second")});
}

} // namespace
} // namespace Quorvant::Test
