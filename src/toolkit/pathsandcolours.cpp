#include "pathsandcolours.h"

#include "asciitext.h"
#include "tagplacement.h"
#include "tagscanning.h"

#include <QDir>
#include <QFileInfo>

namespace Quorvant {

namespace {

// Folder part (up to and including the last '/') and name part of a path.
QString folderPart(const QString &path)
{
    return path.left(path.lastIndexOf(u'/') + 1);
}

QString namePart(const QString &path)
{
    return path.mid(path.lastIndexOf(u'/') + 1);
}

QStringList folderNames(const QString &folder)
{
    return QDir::cleanPath(folder).split(u'/', Qt::SkipEmptyParts);
}

} // namespace

QString convertfilename(const QString &f, const QString &currentFilePath)
{
    if (!currentFilePath.isEmpty())
        return GetRelativePath(currentFilePath, f);
    if (f.isEmpty())
        return {};
    return QStringLiteral("file://") + (QDir::isAbsolutePath(f) ? f : QFileInfo(f).absoluteFilePath());
}

QString GetRelativePath(const QString &DocPath, const QString &PathToFile)
{
    if (DocPath.size() < 2 || PathToFile.size() < 2)
        return {};
    if (!PathToFile.contains(u'/'))
        return PathToFile;
    const QString fileName = namePart(PathToFile);
    const QString docFolder = folderPart(DocPath);
    const QString fileFolder = folderPart(PathToFile);
    if (asciiEqualsIgnoreCase(docFolder, fileFolder))
        return fileName;

    // Paths are cleaned first, so "a//b" and "a/./b" mean "a/b".
    const QStringList docNames = folderNames(docFolder);
    const QStringList fileNames = folderNames(fileFolder);
    qsizetype k = 0;
    while (k < docNames.size() && k < fileNames.size() && asciiEqualsIgnoreCase(docNames.at(k), fileNames.at(k)))
        ++k;
    QString out;
    for (qsizetype i = k; i < docNames.size(); ++i)
        out += QStringLiteral("../");
    for (qsizetype i = k; i < fileNames.size(); ++i)
        out += fileNames.at(i) + u'/';
    return out + fileName;
}

QString gcolor(RgbColor c)
{
    for (const NamedColor &named : BasicColors)
        if (named.color == c)
            return QString::fromLatin1(named.name);
    return QStringLiteral("#%1%2%3")
        .arg(c.red & 0xFF, 2, 16, QChar(u'0'))
        .arg(c.green & 0xFF, 2, 16, QChar(u'0'))
        .arg(c.blue & 0xFF, 2, 16, QChar(u'0'))
        .toUpper();
}

RgbColor WebColorToDelphiColor(const QString &Text, bool *Success)
{
    const RgbColor white{0xFF, 0xFF, 0xFF};
    bool ignored = false;
    bool &ok = Success ? *Success : ignored;
    ok = false;
    if (Text.size() < 2)
        return white;
    if (Text.startsWith(u'#')) {
        if (Text.size() != 7)
            return white;
        int v[6];
        for (int i = 0; i < 6; ++i) {
            v[i] = hexDigit(Text.at(i + 1));
            if (v[i] < 0)
                return white;
        }
        ok = true;
        return {v[0] * 16 + v[1], v[2] * 16 + v[3], v[4] * 16 + v[5]};
    }
    for (const NamedColor &named : BasicColors) {
        if (Text.compare(QLatin1StringView(named.name), Qt::CaseInsensitive) == 0) {
            ok = true;
            return named.color;
        }
    }
    return white;
}

void MakeLink(ITextBuffer *buffer)
{
    ptext(buffer, QStringLiteral("<A HREF=\"\">"), QStringLiteral("</A>"));
}

void MakeEMailLink(ITextBuffer *buffer)
{
    ptext(buffer, QStringLiteral("<A HREF=\"mailto:[TYPE EMAIL HERE]\">"), QStringLiteral("</A>"));
}

void InsertColor(ITextBuffer *buffer, RgbColor c, bool asFontTag, MarkupStyle style)
{
    if (asFontTag && style == MarkupStyle::Html5)
        ptext(buffer, QStringLiteral("<span style=\"color: ") + gcolor(c) + QStringLiteral("\">"), QStringLiteral("</span>"));
    else if (asFontTag)
        ptext(buffer, QStringLiteral("<FONT COLOR=\"") + gcolor(c) + QStringLiteral("\">"), QStringLiteral("</FONT>"));
    else
        ptext(buffer, gcolor(c), QString());
}

} // namespace Quorvant
