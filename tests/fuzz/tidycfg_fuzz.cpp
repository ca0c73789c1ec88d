// The HTML Tidy settings ("Tidy.Cfg"): the settings read from any file,
// saved and read again, are the same, and the tool finds in the saved file
// the encoding the settings chose.
#include "fuzzsupport.h"

#include "tidyconfig.h"

using namespace Quorvant;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = Fuzz::writeScratchFile(QStringLiteral("Tidy.Cfg"), Fuzz::inputBytes(data, size));
    QStringList lines;
    FUZZ_CHECK(TTidyConfig::readLines(path, &lines));
    (void)TTidyConfig::charEncodingIn(lines);
    for (const QString &line : std::as_const(lines)) {
        (void)HtmlTidyMenu::GetInt(line);
        (void)HtmlTidyMenu::RevYesNo(HtmlTidyMenu::GetText(line));
    }
    const TTidyConfig config = TTidyConfig::fromLines(lines);
    FUZZ_CHECK(config.lines().size() == TTidyConfig::LineCount);

    const QString saved = Fuzz::scratchFolder() + QStringLiteral("/Tidy-saved.Cfg");
    FUZZ_CHECK(config.save(saved));
    QStringList again;
    FUZZ_CHECK(TTidyConfig::readLines(saved, &again));
    FUZZ_CHECK(again == config.lines());
    FUZZ_CHECK(TTidyConfig::fromLines(again) == config);
    FUZZ_CHECK(TTidyConfig::charEncodingIn(again) == config.CharEncoding);
    return 0;
}
