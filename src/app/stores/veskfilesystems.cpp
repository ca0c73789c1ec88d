#include "veskfilesystems.h"

#include "startwindowtexts.h"
#include "textfileformat.h"

#include <QDir>
#include <QFileInfo>

namespace Quorvant {

bool LoadTextFile(const QString &FileName, QString *Result)
{
    Result->clear();
    QByteArray bytes;
    if (!readDataFile(FileName, &bytes, nullptr))
        return false;
    const QStringList lines = splitTextLines(decodeTextFile(bytes).text);
    for (const QString &line : lines) {
        Result->append(line);
        Result->append(QStringLiteral("\r\n"));
    }
    return true;
}

bool SaveTextFile(const QString &FileName, const QString &Text)
{
    const QByteArray bytes = Text.toUtf8();
    return writeFileAtomically(FileName, {QByteArrayView(bytes), QByteArrayView("\r\n")}, nullptr);
}

QString findProgramFile(const QString &folder, const QString &name)
{
    const QDir dir(folder);
    const QStringList entries = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    }
    return dir.filePath(name);
}

TRecentFiles::TRecentFiles(const QString &dataFolder, DebugOut debugger, int StoreNumber, QObject *parent)
    : QObject(parent)
    , m_debug(std::move(debugger))
    , m_fileName(findProgramFile(dataFolder, QStringLiteral("Recent.Dat")))
    , m_numberToStore(qMax(0, StoreNumber))
{
    LoadRecentFilesList();
}

// Every change has been stored when it was made.
TRecentFiles::~TRecentFiles() = default;

void TRecentFiles::AddToRecentFilesList(const QString &FileName)
{
    // A line break would split the path into two bogus entries in the file.
    if (FileName.contains(u'\r') || FileName.contains(u'\n')) {
        debugOut(m_debug, QStringLiteral("Error: TRecentFiles: AddToRecentFilesList: Line break in file name"));
        return;
    }
    for (const QString &entry : std::as_const(m_list)) {
        if (entry.compare(FileName, Qt::CaseInsensitive) == 0)
            return;
    }
    QStringList list{FileName};
    list.append(m_list.mid(0, m_numberToStore));
    m_list = list;
    // Stored at once, so the list outlives a crash.
    SaveRecentFilesList();
    RefreshRecentFilesList();
}

void TRecentFiles::LoadRecentFilesList()
{
    QString text;
    if (!LoadTextFile(m_fileName, &text)) {
        debugOut(m_debug, QStringLiteral("Error: TRecentFiles: LoadRecentFilesList: Could not read recent.dat"));
        m_list.clear();
        return;
    }
    m_list = splitTextLines(text);
}

bool TRecentFiles::SaveRecentFilesList()
{
    // SaveTextFile adds the line end after the last entry.
    if (!SaveTextFile(m_fileName, m_list.join(QStringLiteral("\r\n")))) {
        debugOut(m_debug, QStringLiteral("Error: TRecentFiles: SaveRecentFilesList: Could Not Save To File"));
        return false;
    }
    return true;
}

void TRecentFiles::RefreshRecentFilesList()
{
    Q_EMIT changed();
}

QStringList TRecentFiles::shownEntries() const
{
    return m_list.mid(0, m_numberToStore);
}

QList<TRecentRow> TRecentFiles::shownRows() const
{
    QList<TRecentRow> rows;
    for (const QString &path : shownEntries())
        rows.append({QFileInfo(path).fileName(), path});
    return rows;
}

QString TRecentFiles::menuCaption(const QString &path)
{
    QString shown = path;
    if (shown.size() > MenuCaptionLength) {
        // The start (the drive or home folder) and the end (the file name) say most.
        const qsizetype tail = MenuCaptionLength * 2 / 3;
        const qsizetype head = MenuCaptionLength - tail - 3;
        shown = shown.left(head) + QStringLiteral("...") + shown.right(tail);
    }
    return shown.replace(u'&', QStringLiteral("&&"));
}

TRecentFileCheck TRecentFiles::MenuItemClick(const QString &path)
{
    return QFileInfo(path).isFile() ? TRecentFileCheck::Open : TRecentFileCheck::NotFound;
}

TRecentFileCheck TRecentFiles::checkListViewPath(const QString &path)
{
    if (path.isEmpty())
        return TRecentFileCheck::Nothing;
    return MenuItemClick(path);
}

} // namespace Quorvant
