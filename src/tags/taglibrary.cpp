#include "taglibrary.h"

#include "textfileformat.h"

#include "taglibfiles.h"
#include "tagscanning.h"

#include <QDir>
#include <QFileInfo>

namespace Quorvant {

TEditTagData gEditTagData;

void resetTagLibraryGlobals()
{
    gEditTagData = TEditTagData();
}

QStringList TagCategories()
{
    return {QStringLiteral("Block Level Elements"), QStringLiteral("Document Structure Elements"),
            QStringLiteral("Forms"), QStringLiteral("Frames"), QStringLiteral("In-Line Media"),
            QStringLiteral("Lists"), QStringLiteral("Tables"), QStringLiteral("Text Formatting")};
}

QString tagsFolder(const QString &dataFolder)
{
    return resolveIgnoringCase(dataFolder, QStringLiteral("Tags"));
}

QList<TTagListEntry> LoadTagLists(const QString &dataFolder, const DebugOut &debugger)
{
    QList<TTagListEntry> result;
    const QString folder = tagsFolder(dataFolder);
    if (!QFileInfo(folder).isDir())
        return result;
    // "*.TAG" too; by name, as the lists would appear in any file manager.
    const QFileInfoList files = entriesEndingWith(QDir(folder), QStringLiteral(".tag"), QDir::Files | QDir::Hidden | QDir::System,
                                                  QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo &file : files) {
        QStringList lines;
        QString why;
        if (!isReadableRegularFile(file.absoluteFilePath(), DataFileSizeLimit, &why)) {
            debugOut(debugger, QStringLiteral("Skipped: %1").arg(why));
            continue;
        }
        if (!readTagFileLines(file.absoluteFilePath(), &lines)) {
            debugOut(debugger, QStringLiteral("Error: LoadTagLists: Could not read \"%1\"").arg(file.absoluteFilePath()));
            continue;
        }
        result.append({lines.value(0), file.absoluteFilePath()});
    }
    return result;
}

static QString withoutEnclosingQuotes(QString field)
{
    if (field.startsWith(u'"'))
        field.remove(0, 1);
    if (field.endsWith(u'"'))
        field.chop(1);
    return field;
}

TTagRow parseTagLine(const QString &line)
{
    TTagRow row;
    row.TagTitle = GetValue(0, u',', line);
    row.Description = GetValue(1, u',', line);
    row.Category = GetValue(2, u',', line);
    row.StartTag = withoutEnclosingQuotes(GetValue(3, u',', line));
    row.EndTag = withoutEnclosingQuotes(GetValue(4, u',', line));
    row.ExtendedTag = withoutEnclosingQuotes(GetValue(5, u',', line));
    return row;
}

bool loadtags(const QString &filename, QList<TTagRow> *rows)
{
    QStringList lines;
    if (!readTagFileLines(filename, &lines))
        return false;
    rows->clear();
    for (qsizetype i = 1; i < lines.size(); ++i)
        rows->append(parseTagLine(lines.at(i)));
    return true;
}

int unstorableTagField(const QStringList &fields)
{
    for (int i = 0; i < fields.size(); ++i) {
        const QString &f = fields.at(i);
        if (f.contains(u',') || f.contains(u'\r') || f.contains(u'\n'))
            return i;
    }
    return -1;
}

static QString tagLine(const QStringList &fields)
{
    return fields.join(u',');
}

bool AddTag(const QString &FileName, const QString &Tag, const QString &Description, const QString &Category,
            const QString &StartTag, const QString &EndTag, const QString &ExtendedTag, const DebugOut &debugger)
{
    const QStringList fields{Tag, Description, Category, StartTag, EndTag, ExtendedTag};
    QStringList lines;
    if (FileName.isEmpty() || !readTagFileLines(FileName, &lines))
        return false;
    if (unstorableTagField(fields) >= 0) {
        debugOut(debugger, QStringLiteral("Error: AddTag: A field holds a comma or a line break"));
        return false;
    }
    lines.append(tagLine(fields));
    if (!writeTagFileLines(FileName, lines)) {
        debugOut(debugger, QStringLiteral("Error: AddTag: Could not write \"%1\"").arg(FileName));
        return false;
    }
    return true;
}

bool EditTags(int TagNumber, const QString &FileName, const QString &Tag, const QString &Description,
              const QString &Category, const QString &StartTag, const QString &EndTag, const QString &ExtendedTag,
              const DebugOut &debugger)
{
    const QStringList fields{Tag, Description, Category, StartTag, EndTag, ExtendedTag};
    QStringList lines;
    if (FileName.isEmpty() || !readTagFileLines(FileName, &lines))
        return false;
    if (unstorableTagField(fields) >= 0) {
        debugOut(debugger, QStringLiteral("Error: EditTags: A field holds a comma or a line break"));
        return false;
    }
    const bool existed = TagNumber >= 0 && TagNumber + 1 < lines.size();
    if (existed)
        lines[TagNumber + 1] = tagLine(fields);
    if (!writeTagFileLines(FileName, lines)) {
        debugOut(debugger, QStringLiteral("Error: EditTags: Could not write \"%1\"").arg(FileName));
        return false;
    }
    return existed;
}

bool DeleteTag(int TagNumber, const QString &FileName, const DebugOut &debugger)
{
    QStringList lines;
    if (FileName.isEmpty() || !readTagFileLines(FileName, &lines))
        return false;
    if (TagNumber >= 0 && TagNumber + 1 < lines.size())
        lines.removeAt(TagNumber + 1);
    if (!writeTagFileLines(FileName, lines)) {
        debugOut(debugger, QStringLiteral("Error: DeleteTag: Could not write \"%1\"").arg(FileName));
        return false;
    }
    return true;
}

TTagCommandOutcome SaveFromTagEditor(const TEditTagData &data, const QString &listPath, int tagIndex,
                                     const DebugOut &debugger)
{
    TTagCommandOutcome out;
    const QStringList fields{data.TagTitle, data.TagDescription, data.Category,
                             data.TagStart, data.TagEnd, data.ExtendedTag};
    if (unstorableTagField(fields) >= 0) {
        out.Message = QString::fromLatin1(MsgTagFieldHasComma);
        out.Icon = TTagMessageIcon::Warning;
        out.CloseDialog = false;
        return out;
    }
    if (data.Editing) {
        if (listPath.isEmpty() || tagIndex < 0) {
            out.Message = QString::fromLatin1(MsgUnableToSaveTag);
            out.Icon = TTagMessageIcon::Error;
            return out;
        }
        // The result counts: a list file removed meanwhile must not be reported saved.
        const bool saved = EditTags(tagIndex, listPath, data.TagTitle, data.TagDescription, data.Category,
                                    data.TagStart, data.TagEnd, data.ExtendedTag, debugger);
        out.ReloadPath = listPath;
        out.Message = QString::fromLatin1(saved ? MsgTagSaved : MsgTagCouldNotBeSaved);
        return out;
    }
    const bool added = AddTag(listPath, data.TagTitle, data.TagDescription, data.Category, data.TagStart,
                              data.TagEnd, data.ExtendedTag, debugger);
    out.ReloadPath = listPath;
    out.Message = QString::fromLatin1(added ? MsgTagSaved : MsgTagCouldNotBeSaved);
    return out;
}

TTagCommandOutcome DeleteSelectedTag(const QString &listPath, int tagIndex, const DebugOut &debugger)
{
    TTagCommandOutcome out;
    if (tagIndex < 0) {
        out.Message = QString::fromLatin1(MsgSelectBeforeDelete);
        return out;
    }
    const bool removed = DeleteTag(tagIndex, listPath, debugger);
    out.ReloadPath = listPath;
    out.Message = QString::fromLatin1(removed ? MsgTagRemoved : MsgTagCouldNotBeRemoved);
    out.Icon = removed ? TTagMessageIcon::Information : TTagMessageIcon::Error;
    return out;
}

} // namespace Quorvant
