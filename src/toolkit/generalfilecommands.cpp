#include "generalfilecommands.h"

#include "tagplacement.h"
#include "textfileformat.h"
#include "transformations.h"

#include <QFileInfo>

namespace Quorvant {

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

bool TGeneralFileCommands::ConvertTextFileToHTML(ITextBuffer *buffer, const QString &Filename, bool IncludeMajorHtml)
{
    QString text;
    if (!readTextFile(Filename, &text)) {
        DebugOut(QString::fromLatin1(ConvertFileInvalidLine));
        return false;
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
