#include "propertycolorthemes.h"

#include "editortypes.h"
#include "tagscanning.h"
#include "textfileformat.h"

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

QStringList TPropertyColorThemes::themeNames() const
{
    QStringList names;
    for (const QString &line : readLines()) {
        if (!line.isEmpty())
            names << themeName(line);
    }
    return names;
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
        if (line.isEmpty() || !sameName(themeName(line), ThemeName))
            continue;
        const QStringList fields = line.split(QLatin1Char(','));
        ThemeColors colors;
        for (int i = 0; i < 5; ++i)
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
        if (!line.isEmpty() && sameName(themeName(line), ThemeName))
            line.clear();
    }
    return writeLines(lines);
}

} // namespace Quorvant
