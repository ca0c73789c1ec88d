#include "taghelp.h"

#include "taglibfiles.h"
#include "tagscanning.h"

namespace Quorvant {

QString TagHelpWord(const ITextBuffer *buffer)
{
    if (!buffer)
        return {};
    if (buffer->hasSelection())
        return buffer->selText();
    return GetTagAtCursor(buffer);
}

TTagHelpResult ShowTagHelp(const QString &dataFolder, const QString &Tag, const DebugOut &debugger)
{
    TTagHelpResult result;
    QString word = Tag;
    for (int i = 0; i < 2; ++i) {
        if (word.endsWith(u'\r') || word.endsWith(u'\n'))
            word.chop(1);
    }
    if (word.isEmpty())
        return result;
    const QString helpFolder = resolveIgnoringCase(dataFolder, QStringLiteral("Help"));
    const QString index = resolveIgnoringCase(helpFolder, QStringLiteral("Internal.Dat"));
    QStringList lines;
    if (!readTagFileLines(index, &lines)) {
        debugOut(debugger, QStringLiteral("Error: ShowTagHelp: Could not read \"%1\"").arg(index));
        result.Status = TTagHelpStatus::NoIndex;
        return result;
    }
    for (const QString &line : lines) {
        if (GetValue(0, u',', line).compare(word, Qt::CaseInsensitive) != 0)
            continue;
        result.Status = TTagHelpStatus::Found;
        result.Page = resolveIgnoringCase(helpFolder, GetValue(1, u',', line));
    }
    return result;
}

} // namespace Quorvant
