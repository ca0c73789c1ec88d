#include "tlocalprojects.h"

#include "textfileformat.h"
#include "veskfilesystems.h"

#include <QDir>
#include <QFileInfo>

namespace Quorvant {

namespace {

const QChar HeaderSeparator(0x9E);
const QChar RowSeparator(u',');

void appendField(QString *out, const QString &field, QChar separator)
{
    const bool quote = field.startsWith(u'"') || field.contains(separator) || field.contains(u'\r')
                       || field.contains(u'\n');
    if (!quote) {
        out->append(field);
        return;
    }
    out->append(u'"');
    out->append(QString(field).replace(QStringLiteral("\""), QStringLiteral("\"\"")));
    out->append(u'"');
}

// Reads one line of fields starting at *pos; a field that opens with a quote
// runs to its closing quote, across separators and line breaks. A quote that
// is never closed is read as plain text, as older files may hold one.
QStringList readRecord(const QString &text, qsizetype *pos, QChar separator)
{
    QStringList fields;
    qsizetype i = *pos;
    const qsizetype n = text.size();
    for (;;) {
        QString field;
        bool quoted = false;
        if (i < n && text[i] == u'"') {
            qsizetype j = i + 1;
            QString value;
            bool closed = false;
            while (j < n) {
                if (text[j] == u'"') {
                    if (j + 1 < n && text[j + 1] == u'"') {
                        value.append(u'"');
                        j += 2;
                        continue;
                    }
                    closed = true;
                    ++j;
                    break;
                }
                value.append(text[j++]);
            }
            if (closed && (j == n || text[j] == separator || text[j] == u'\r' || text[j] == u'\n')) {
                field = value;
                i = j;
                quoted = true;
            }
        }
        if (!quoted) {
            const qsizetype start = i;
            while (i < n && text[i] != separator && text[i] != u'\r' && text[i] != u'\n')
                ++i;
            field = text.mid(start, i - start);
        }
        fields.append(field);
        if (i < n && text[i] == separator) {
            ++i;
            continue;
        }
        break;
    }
    if (i < n && text[i] == u'\r')
        ++i;
    if (i < n && text[i] == u'\n')
        ++i;
    *pos = i;
    return fields;
}

QString fieldAt(const QStringList &fields, int i)
{
    return i < fields.size() ? fields[i] : QString();
}

} // namespace

TLocalProjects::TLocalProjects(const QString &dataFolder, DebugOut debugger)
    : m_debug(std::move(debugger))
    , m_folder(findProgramFile(dataFolder, QStringLiteral("Projects")))
{
    QDir().mkpath(m_folder);
}

bool TLocalProjects::isValidTitle(const QString &title)
{
    return !title.isEmpty() && title != u"." && title != u".." && !title.contains(u'/') && !title.contains(QChar(0));
}

QString TLocalProjects::projectPath(const QString &FileName) const
{
    if (!isValidTitle(FileName))
        return {};
    return m_folder + u'/' + FileName;
}

QByteArray TLocalProjects::encode(const QString &name, const QString &type, const QString &language,
                                  const QString &notes, const QList<TProjectRow> &rows)
{
    QString out;
    out.reserve(256 + rows.size() * 96);
    const QString header[] = {name, type, language, notes};
    for (int i = 0; i < 4; ++i) {
        if (i)
            out.append(HeaderSeparator);
        appendField(&out, header[i], HeaderSeparator);
    }
    out.append(QStringLiteral("\r\n"));
    for (const TProjectRow &row : rows) {
        appendField(&out, row.FileName, RowSeparator);
        out.append(RowSeparator);
        appendField(&out, row.TodoStatus, RowSeparator);
        out.append(RowSeparator);
        appendField(&out, row.FilePath, RowSeparator);
        out.append(QStringLiteral("\r\n"));
    }
    return out.toUtf8();
}

void TLocalProjects::decode(const QString &text, QStringList *header, QList<TProjectRow> *rows)
{
    header->clear();
    rows->clear();
    qsizetype pos = 0;
    if (text.isEmpty())
        return;
    *header = readRecord(text, &pos, HeaderSeparator);
    while (pos < text.size()) {
        const QStringList f = readRecord(text, &pos, RowSeparator);
        rows->append({fieldAt(f, 0), fieldAt(f, 1), fieldAt(f, 2)});
    }
}

bool TLocalProjects::NewProjectFile(const QString &FileName, QList<TProjectRow> *ListView, const QString &ProjectName,
                                    const QString &WebsiteType, const QString &Language, const QString &Notes)
{
    if (!ListView || ProjectName.isEmpty())
        return false;
    const QString path = projectPath(FileName);
    QString error;
    if (path.isEmpty()
        || !writeFileAtomically(path, encode(ProjectName, WebsiteType, Language, Notes, {}), &error)) {
        debugOut(m_debug, QStringLiteral("Error: TLocalProjects.NewProjectFile: cannot write %1 %2").arg(FileName, error));
        return false;
    }
    ListView->clear();
    CurrentProjectName = ProjectName;
    CurrentWebsiteType = WebsiteType;
    CurrentLanguage = Language;
    CurrentNotes = Notes;
    return true;
}

bool TLocalProjects::SaveProjectFile(const QString &FileName, const QList<TProjectRow> &ListView)
{
    const QString path = projectPath(FileName);
    QString error;
    if (path.isEmpty()
        || !writeFileAtomically(
            path, encode(CurrentProjectName, CurrentWebsiteType, CurrentLanguage, CurrentNotes, ListView), &error)) {
        debugOut(m_debug, QStringLiteral("Error: TLocalProjects.SaveProjectFile: cannot write %1 %2").arg(FileName, error));
        return false;
    }
    return true;
}

bool TLocalProjects::LoadProjectFile(const QString &FileName, QList<TProjectRow> *ListView)
{
    if (FileName.isEmpty() || !ListView || !QFileInfo(FileName).isFile())
        return false;
    QByteArray bytes;
    QString error;
    if (!readWholeFile(FileName, &bytes, &error)) {
        debugOut(m_debug, QStringLiteral("Error: TLocalProjects.LoadProjectFile: %1").arg(error));
        return false;
    }
    QStringList header;
    decode(decodeTextFile(bytes).text, &header, ListView);
    CurrentProjectName = fieldAt(header, 0);
    CurrentWebsiteType = fieldAt(header, 1);
    CurrentLanguage = fieldAt(header, 2);
    CurrentNotes = fieldAt(header, 3);
    return true;
}

} // namespace Quorvant
