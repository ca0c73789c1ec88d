#include "tlocalprojects.h"

#include "markerfields.h"
#include "skippedlines.h"
#include "textfileformat.h"
#include "veskfilesystems.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace Quorvant {

namespace {

constexpr char HeaderSeparator = '\x9E';
constexpr char RowSeparator = ',';
constexpr int HeaderFields = 4;
constexpr int RowFields = 3;

MarkerFormat headerFormat()
{
    MarkerFormat f;
    f.markers = QByteArray(1, HeaderSeparator);
    // Earlier versions wrote the separator as the character U+009E in UTF-8.
    f.markerCharacters = f.markers;
    f.maxFields = HeaderFields;
    f.quotedFields = true;
    return f;
}

MarkerFormat rowFormat()
{
    MarkerFormat f;
    f.markers = QByteArray(1, RowSeparator);
    // A path with a comma in an unquoted row stays whole in the last field.
    f.maxFields = RowFields;
    f.quotedFields = true;
    return f;
}

QString fieldAt(const QStringList &fields, int i)
{
    return i < fields.size() ? fields[i] : QString();
}

bool allReadable(const QStringList &fields)
{
    return std::all_of(fields.cbegin(), fields.cend(), isReadableText);
}

// Line breaks (CR LF, CR or LF) in bytes.
int lineBreaks(QByteArrayView bytes)
{
    int count = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' || (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n')))
            ++count;
    }
    return count;
}

// The record's bytes without the line end that closes it.
QByteArray withoutLineEnd(QByteArrayView record)
{
    qsizetype n = record.size();
    if (n && record[n - 1] == '\n')
        --n;
    if (n && record[n - 1] == '\r')
        --n;
    return record.first(n).toByteArray();
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

QByteArray TLocalProjects::encode(const QStringList &header, const QList<TProjectRow> &rows,
                                  const QList<QByteArray> &keptLines)
{
    static const MarkerFormat headerLine = headerFormat();
    static const MarkerFormat rowLine = rowFormat();
    QByteArray out = joinMarkerFields(header, HeaderSeparator, headerLine);
    out.append("\r\n");
    for (const TProjectRow &row : rows) {
        out.append(joinMarkerFields({row.FileName, row.TodoStatus, row.FilePath}, RowSeparator, rowLine));
        out.append("\r\n");
    }
    for (const QByteArray &line : keptLines) {
        out.append(line);
        out.append("\r\n");
    }
    return out;
}

void TLocalProjects::decode(const QByteArray &bytes, QStringList *header, QList<TProjectRow> *rows,
                            SkippedLines *skipped, QList<QByteArray> *keptLines)
{
    header->clear();
    rows->clear();
    if (keptLines)
        keptLines->clear();
    if (bytes.isEmpty())
        return;
    static const MarkerFormat headerLine = headerFormat();
    static const MarkerFormat rowLine = rowFormat();
    auto skip = [&](int lineNumber, qsizetype start, qsizetype end) {
        if (skipped)
            skipped->add(lineNumber);
        if (keptLines)
            keptLines->append(withoutLineEnd(QByteArrayView(bytes).sliced(start, end - start)));
    };

    // A byte order mark an editor may have added is no part of the name.
    const qsizetype headerStart = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    qsizetype pos = headerStart;
    int lineNumber = 1;
    const QStringList first = markerFieldTexts(readMarkerRecord(bytes, &pos, headerLine));
    if (allReadable(first))
        *header = first;
    else
        skip(lineNumber, headerStart, pos);
    lineNumber += lineBreaks(QByteArrayView(bytes).first(pos));
    while (pos < bytes.size()) {
        const qsizetype start = pos;
        const QStringList f = markerFieldTexts(readMarkerRecord(bytes, &pos, rowLine));
        const TProjectRow row{fieldAt(f, 0), fieldAt(f, 1), fieldAt(f, 2)};
        // Judged by the bytes: a line whose text reads as empty (a lone
        // U+FEFF, which decodes to nothing) still holds something to keep.
        const bool blank = withoutLineEnd(QByteArrayView(bytes).sliced(start, pos - start)).isEmpty();
        if (!blank) {
            if (f.size() == RowFields && allReadable(f) && !(row.FileName.isEmpty() && row.FilePath.isEmpty()))
                rows->append(row);
            else
                skip(lineNumber, start, pos);
        }
        lineNumber += lineBreaks(QByteArrayView(bytes).sliced(start, pos - start));
    }
}

QStringList TLocalProjects::header() const
{
    return {CurrentProjectName, CurrentWebsiteType, CurrentLanguage, CurrentNotes};
}

bool TLocalProjects::NewProjectFile(const QString &FileName, QList<TProjectRow> *ListView, const QString &ProjectName,
                                    const QString &WebsiteType, const QString &Language, const QString &Notes)
{
    if (!ListView || ProjectName.isEmpty())
        return false;
    const QString path = projectPath(FileName);
    QString error;
    if (path.isEmpty()
        || !writeFileAtomically(path, encode({ProjectName, WebsiteType, Language, Notes}, {}), &error)) {
        debugOut(m_debug, QStringLiteral("Error: TLocalProjects.NewProjectFile: cannot write %1 %2").arg(FileName, error));
        return false;
    }
    ListView->clear();
    m_skipped = {};
    m_keptLines.clear();
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
        || !writeFileAtomically(path, encode(header(), ListView, m_keptLines), &error)) {
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
    if (!readDataFile(FileName, &bytes, &error)) {
        debugOut(m_debug, QStringLiteral("Error: TLocalProjects.LoadProjectFile: %1").arg(error));
        return false;
    }
    QStringList header;
    m_skipped = {QFileInfo(FileName).fileName(), {}};
    decode(bytes, &header, ListView, &m_skipped, &m_keptLines);
    CurrentProjectName = fieldAt(header, 0);
    CurrentWebsiteType = fieldAt(header, 1);
    CurrentLanguage = fieldAt(header, 2);
    CurrentNotes = fieldAt(header, 3);
    return true;
}

} // namespace Quorvant
