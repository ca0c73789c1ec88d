// The saved colour themes of the document properties dialog: "Themes.Dat",
// one theme a line, six fields separated by ",": the name, then the
// background, text, link, visited link and active link colour texts.
#pragma once

#include "skippedlines.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace Quorvant {

inline constexpr char ThemesFileName[] = "Themes.Dat";

// The five colour texts as the user left them, in the file's order.
using ThemeColors = std::array<QString, 5>;

class TPropertyColorThemes
{
public:
    explicit TPropertyColorThemes(QString fileName);

    bool fileExists() const;
    // The names of all theme lines, in file order (empty without a file).
    // A line not of the file's form (isThemeLine) is left out and, when
    // skipped is given, named there (with the file's path).
    QStringList themeNames(SkippedLines *skipped = nullptr) const;

    // Whether a non-empty line is of the file's form: at most six fields, a
    // name that is not blank, and no control character (other than a tab)
    // nor a character the file's bytes could not be read as. Empty lines are
    // allowed and hold no theme.
    static bool isThemeLine(const QString &line);

    enum class SaveResult { Saved, NoName, HasSeparator, WriteFailed };
    // Appends the theme (creating the file). A name or colour holding ","
    // or a line break would shift the fields, so it is refused.
    [[nodiscard]] SaveResult SaveTheme(const QString &ThemeName, const ThemeColors &colors) const;

    // The first theme of that name (ignoring ASCII case); fields missing
    // from its line are empty. Nothing without a file or for an empty name.
    // Lines not of the file's form are passed over.
    std::optional<ThemeColors> LoadTheme(const QString &ThemeName) const;

    // Blanks every theme line of that name and rewrites the file; every
    // other line, also one not of the file's form, is kept as it was. False
    // for an empty name and when the file could not be written.
    [[nodiscard]] bool DeleteTheme(const QString &ThemeName) const;

    static bool hasSeparator(const QString &text);

private:
    QStringList readLines() const;
    bool writeLines(const QStringList &lines) const;

    QString m_fileName;
};

} // namespace Quorvant
