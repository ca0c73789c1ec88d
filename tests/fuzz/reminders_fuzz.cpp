// The reminders file ("Reminders.Dat"): every reminder read is one readable
// line of the file, and every other non-empty line is named as skipped.
#include "fuzzsupport.h"

#include "treminders.h"

using namespace Quorvant;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = Fuzz::inputBytes(data, size);
    const QString dataFolder = Fuzz::scratchFolder() + QStringLiteral("/reminders");
    Fuzz::writeScratchFile(QStringLiteral("reminders/Reminders.Dat"), bytes);
    const TReminders reminders(dataFolder);
    QStringList lines;
    SkippedLines skipped;
    FUZZ_CHECK(reminders.readReminders(&lines, &skipped));
    int lineEnds = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i)
        lineEnds += bytes[i] == '\n' || (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n'));
    FUZZ_CHECK(lines.size() + skipped.lineNumbers.size() <= lineEnds + 1);
    for (const QString &line : std::as_const(lines)) {
        FUZZ_CHECK(!line.isEmpty() && isReadableText(line));
        FUZZ_CHECK(!line.contains(u'\r') && !line.contains(u'\n'));
    }
    for (qsizetype i = 0; i < skipped.lineNumbers.size(); ++i) {
        FUZZ_CHECK(skipped.lineNumbers[i] >= 1 && skipped.lineNumbers[i] <= lineEnds + 1);
        if (i > 0)
            FUZZ_CHECK(skipped.lineNumbers[i - 1] < skipped.lineNumbers[i]);
    }
    return 0;
}
