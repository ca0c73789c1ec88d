// The tag help index ("Help/Internal.Dat", lines KEY,page): every key the
// index holds is found, with a page.
#include "fuzzsupport.h"

#include "tagscanning.h"
#include "taghelp.h"
#include "taglibfiles.h"

using namespace Quorvant;

namespace {

// Keys looked up per input; each lookup reads the index again.
constexpr int KeysLookedUp = 8;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString dataFolder = Fuzz::scratchFolder() + QStringLiteral("/help");
    const QString index = Fuzz::writeScratchFile(QStringLiteral("help/Help/Internal.Dat"), Fuzz::inputBytes(data, size));
    QStringList lines;
    FUZZ_CHECK(readTagFileLines(index, &lines));
    int lookedUp = 0;
    for (const QString &line : std::as_const(lines)) {
        const QString key = GetValue(0, u',', line);
        if (key.isEmpty())
            continue;
        if (++lookedUp > KeysLookedUp)
            break;
        const TTagHelpResult result = ShowTagHelp(dataFolder, key);
        FUZZ_CHECK(result.Status == TTagHelpStatus::Found);
        FUZZ_CHECK(!result.Page.isEmpty());
    }
    // A word no line names finds nothing.
    FUZZ_CHECK(ShowTagHelp(dataFolder, QStringLiteral("no such word \x01")).Status == TTagHelpStatus::Nothing
               || lines.join(u'\n').contains(QLatin1String("no such word")));
    return 0;
}
