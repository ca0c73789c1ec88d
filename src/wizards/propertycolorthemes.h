// The saved colour themes of the document properties dialog: "Themes.Dat",
// one theme a line, six fields separated by ",": the name, then the
// background, text, link, visited link and active link colour texts.
#pragma once

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
    // The names of all non-empty lines, in file order (empty without a file).
    QStringList themeNames() const;

    enum class SaveResult { Saved, NoName, HasSeparator, WriteFailed };
    // Appends the theme (creating the file). A name or colour holding ","
    // or a line break would shift the fields, so it is refused.
    [[nodiscard]] SaveResult SaveTheme(const QString &ThemeName, const ThemeColors &colors) const;

    // The first theme of that name (ignoring ASCII case); fields missing
    // from its line are empty. Nothing without a file or for an empty name.
    std::optional<ThemeColors> LoadTheme(const QString &ThemeName) const;

    // Blanks every line of that name and rewrites the file. False for an
    // empty name and when the file could not be written.
    [[nodiscard]] bool DeleteTheme(const QString &ThemeName) const;

    static bool hasSeparator(const QString &text);

private:
    QStringList readLines() const;
    bool writeLines(const QStringList &lines) const;

    QString m_fileName;
};

} // namespace Quorvant
