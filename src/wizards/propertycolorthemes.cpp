#include "propertycolorthemes.h"

#include "editortypes.h"
#include "tagscanning.h"
#include "textfileformat.h"

#include <QDir>
#include <QFileInfo>

namespace Quorvant {

namespace {

QString themeName(const QString &line)
{
    return line.section(QLatin1Char(','), 0, 0);
}

bool sameName(const QString &a, const QString &b)
{
    return asciiUpper(a) == asciiUpper(b);
}

constexpr int ThemeFieldCount = 6;

// A theme line holding that name.
bool isThemeNamed(const QString &line, const QString &name)
{
    return !line.isEmpty() && TPropertyColorThemes::isThemeLine(line) && sameName(themeName(line), name);
}

} // namespace

TPropertyColorThemes::TPropertyColorThemes(QString fileName)
    : m_fileName(std::move(fileName))
{
}

bool TPropertyColorThemes::fileExists() const
{
    return QFileInfo(m_fileName).isFile();
}

QStringList TPropertyColorThemes::readLines() const
{
    QByteArray bytes;
    QString error;
    if (!readDataFile(m_fileName, &bytes, &error))
        return {};
    return splitTextLines(decodeTextFile(bytes).text);
}

bool TPropertyColorThemes::writeLines(const QStringList &lines) const
{
    QString text;
    for (const QString &line : lines)
        text += line + QStringLiteral("\r\n");
    text += QStringLiteral("\r\n");
    QString error;
    return writeFileAtomically(m_fileName, text.toUtf8(), &error);
}

QStringList TPropertyColorThemes::themeNames(SkippedLines *skipped) const
{
    if (skipped)
        *skipped = SkippedLines{QDir::toNativeSeparators(m_fileName), {}};
    QStringList names;
    const QStringList lines = readLines();
    for (int i = 0; i < lines.size(); ++i) {
        const QString &line = lines.at(i);
        if (line.isEmpty())
            continue;
        if (isThemeLine(line))
            names << themeName(line);
        else if (skipped)
            skipped->add(i + 1);
    }
    return names;
}

bool TPropertyColorThemes::isThemeLine(const QString &line)
{
    if (line.count(QLatin1Char(',')) >= ThemeFieldCount || themeName(line).trimmed().isEmpty())
        return false;
    // A line break inside a line, or an undecodable byte, is damage too.
    return isReadableText(line) && !line.contains(u'\r') && !line.contains(u'\n')
           && !line.contains(QChar::ReplacementCharacter);
}

bool TPropertyColorThemes::hasSeparator(const QString &text)
{
    return text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
}

TPropertyColorThemes::SaveResult TPropertyColorThemes::SaveTheme(const QString &ThemeName, const ThemeColors &colors) const
{
    if (ThemeName.isEmpty())
        return SaveResult::NoName;
    QStringList fields{ThemeName};
    for (const QString &c : colors)
        fields << c;
    for (const QString &f : std::as_const(fields)) {
        if (hasSeparator(f))
            return SaveResult::HasSeparator;
    }
    QStringList lines = readLines();
    lines << fields.join(QLatin1Char(','));
    return writeLines(lines) ? SaveResult::Saved : SaveResult::WriteFailed;
}

std::optional<ThemeColors> TPropertyColorThemes::LoadTheme(const QString &ThemeName) const
{
    if (ThemeName.isEmpty() || !fileExists())
        return std::nullopt;
    for (const QString &line : readLines()) {
        if (!isThemeNamed(line, ThemeName))
            continue;
        const QStringList fields = line.split(QLatin1Char(','));
        ThemeColors colors;
        for (int i = 0; i < ThemeFieldCount - 1; ++i)
            colors[i] = fields.value(i + 1);
        return colors;
    }
    return std::nullopt;
}

bool TPropertyColorThemes::DeleteTheme(const QString &ThemeName) const
{
    if (ThemeName.isEmpty())
        return false;
    QStringList lines = readLines();
    for (QString &line : lines) {
        if (isThemeNamed(line, ThemeName))
            line.clear();
    }
    return writeLines(lines);
}

} // namespace Quorvant
