// The colour themes file ("Themes.Dat"): every theme listed loads, and a
// theme saved into the file reads back as saved, after the themes that were
// there.
#include "fuzzsupport.h"

#include "propertycolorthemes.h"

using namespace Quorvant;

namespace {

// Themes loaded per input; each load reads the file again.
constexpr int ThemesLoaded = 8;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = Fuzz::writeScratchFile(QString::fromLatin1(ThemesFileName), Fuzz::inputBytes(data, size));
    const TPropertyColorThemes themes(path);
    SkippedLines skipped;
    const QStringList names = themes.themeNames(&skipped);
    for (int i = 0; i < names.size() && i < ThemesLoaded; ++i) {
        FUZZ_CHECK(!names[i].trimmed().isEmpty());
        FUZZ_CHECK(themes.LoadTheme(names[i]).has_value());
    }

    const QString name = QStringLiteral("Fuzz theme \u00e9");
    const ThemeColors colors{QStringLiteral("#FFFFFF"), QStringLiteral("#000000"), QStringLiteral("blue"),
                             QStringLiteral("purple"), QStringLiteral("")};
    if (names.contains(name, Qt::CaseInsensitive))
        return 0;
    FUZZ_CHECK(themes.SaveTheme(name, colors) == TPropertyColorThemes::SaveResult::Saved);
    FUZZ_CHECK(themes.themeNames() == names + QStringList{name});
    FUZZ_CHECK(themes.LoadTheme(name) == colors);
    FUZZ_CHECK(themes.DeleteTheme(name));
    FUZZ_CHECK(themes.themeNames() == names);
    return 0;
}
