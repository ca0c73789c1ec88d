#include "generalfilecommands.h"

#include "attributetext.h"
#include "tagplacement.h"
#include "textfileformat.h"
#include "transformations.h"

#include <QFileInfo>
#include <QLocale>

namespace Quorvant {

namespace {

// The user's language as the page's (a BCP 47 tag), English for none.
QString pageLanguage()
{
    const QString tag = QLocale().bcp47Name();
    return tag.isEmpty() || tag == QLatin1String("C") ? QStringLiteral("en") : tag;
}

// The text's lines, escaped, each ending in "<br>"; with a skeleton, inside
// an HTML5 page titled with the file's name.
QString html5PageText(const QString &text, const QString &fileName, bool withSkeleton)
{
    QStringList lines;
    if (withSkeleton)
        lines << QStringLiteral("<!DOCTYPE html>") << QStringLiteral("<html lang=\"%1\">").arg(pageLanguage()) << QStringLiteral("  <head>")
              << QStringLiteral("    <meta charset=\"utf-8\">")
              << QStringLiteral("    <title>") + elementText(fileName) + QStringLiteral("</title>") << QStringLiteral("  </head>")
              << QStringLiteral("  <body>");
    const QString indent = withSkeleton ? QStringLiteral("    ") : QString();
    for (const QString &line : SplitTextLines(text))
        lines << indent + elementText(line) + QStringLiteral("<br>");
    if (withSkeleton)
        lines << QStringLiteral("  </body>") << QStringLiteral("</html>");
    return JoinTextLines(lines);
}

} // namespace

TGeneralFileCommands::TGeneralFileCommands(Quorvant::DebugOut Debugger)
    : m_debugMemo(std::move(Debugger))
{
}

void TGeneralFileCommands::DebugOut(const QString &S) const
{
    debugOut(m_debugMemo, S);
}

bool TGeneralFileCommands::readTextFile(const QString &Filename, QString *text)
{
    QByteArray bytes;
    QString error;
    if (Filename.isEmpty() || !QFileInfo(Filename).isFile() || !readWholeFile(Filename, &bytes, &error))
        return false;
    *text = decodeTextFile(bytes).text;
    return true;
}

void TGeneralFileCommands::ImportTextFile(ITextBuffer *buffer, const QString &Filename)
{
    QStringList lines;
    QString text;
    if (Filename.isEmpty() || !QFileInfo::exists(Filename))
        DebugOut(QString::fromLatin1(ImportFileMissingLine));
    else if (!readTextFile(Filename, &text))
        DebugOut(QString::fromLatin1(ImportFileUnreadableLine));
    else
        lines = SplitTextLines(text);
    ptext(buffer, JoinTextLines(lines), QString());
}

bool TGeneralFileCommands::ConvertTextFileToHTML(ITextBuffer *buffer, const QString &Filename, bool IncludeMajorHtml,
                                                 MarkupStyle style)
{
    QString text;
    if (!readTextFile(Filename, &text)) {
        DebugOut(QString::fromLatin1(ConvertFileInvalidLine));
        return false;
    }
    if (style == MarkupStyle::Html5) {
        ptext(buffer, html5PageText(text, QFileInfo(Filename).fileName(), IncludeMajorHtml), QString());
        return true;
    }
    QStringList startList;
    QStringList endList;
    if (IncludeMajorHtml)
        startList << QStringLiteral("<HTML>") << QStringLiteral("  <HEAD>") << QStringLiteral("  </HEAD>")
                  << QStringLiteral("  <BODY>") << QString();
    const QString indent = IncludeMajorHtml ? QStringLiteral("  ") : QString();
    for (const QString &line : SplitTextLines(text))
        startList.append(indent + line + QStringLiteral("<BR>"));
    if (IncludeMajorHtml) {
        startList.append(QString());
        endList << QStringLiteral("  </BODY>") << QStringLiteral("</HTML>");
    }
    ptext(buffer, JoinTextLines(startList), JoinTextLines(endList));
    return true;
}

} // namespace Quorvant
