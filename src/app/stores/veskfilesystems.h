// Whole-file text helpers shared by the small line-oriented stores, and the
// recent files store behind File > "Re-open..." and the Task Manager's
// "Most Recent" list.
#pragma once

#include "debugout.h"
#include "editortypes.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

namespace Quorvant {

// Reads the file (UTF-8, or Windows-1252 when it is not valid UTF-8) and
// gives its lines, each followed by CR LF, in *Result. Lines end at CR LF, CR
// or LF. Returns false, with *Result empty, when the file cannot be read.
[[nodiscard]] bool LoadTextFile(const QString &FileName, QString *Result);
// Creates or replaces the file (atomically, UTF-8) with Text and one CR LF.
// Returns false when it cannot be written.
[[nodiscard]] bool SaveTextFile(const QString &FileName, const QString &Text);

// The path of name in folder, taking the spelling of an existing entry whose
// name matches without regard to letter case; the given spelling otherwise.
QString findProgramFile(const QString &folder, const QString &name);

enum class TRecentFileCheck {
    Nothing,   // an empty path in the "Most Recent" list: do nothing
    Open,      // the file exists: open it
    NotFound,  // show the caller's not-found message
};

// One row of the "Most Recent" list: "File Name:" and "Path" columns.
struct TRecentRow
{
    QString FileName;
    QString Path;
    friend bool operator==(const TRecentRow &, const TRecentRow &) = default;
};

// Full paths of recently opened files, most recent first, kept in
// "Recent.Dat" of the data folder. A path already listed keeps its place;
// the list holds the latest path and up to NumberToStore earlier ones, and
// NumberToStore of them are shown. Each change is stored at once (the file
// replaced atomically). The window code binds the "Re-open..." menu and the
// "Most Recent" list to changed().
class TRecentFiles : public QObject
{
    Q_OBJECT
public:
    // Loads "Recent.Dat" from dataFolder.
    TRecentFiles(const QString &dataFolder, DebugOut debugger, int StoreNumber = 8, QObject *parent = nullptr);
    ~TRecentFiles() override;

    void AddToRecentFilesList(const QString &FileName);
    void LoadRecentFilesList();
    // Returns false (and writes a diagnostic line) when the file cannot be written.
    bool SaveRecentFilesList();
    // Tells the menu and the list to rebuild themselves from shownEntries().
    void RefreshRecentFilesList();

    const QStringList &RecentFilesList() const { return m_list; }
    int NumberToStore() const { return m_numberToStore; }
    QString fileName() const { return m_fileName; }

    // The entries the menu and the list show: the first NumberToStore.
    QStringList shownEntries() const;
    QList<TRecentRow> shownRows() const;

    // A menu item's text for a path: "&" doubled so it shows as itself, and
    // a long path shortened in its middle (the item's tooltip has it whole).
    static QString menuCaption(const QString &path);
    static constexpr qsizetype MenuCaptionLength = 64;
    // A "Re-open..." item chosen: Open, or NotFound (MsgFileNotFound).
    static TRecentFileCheck MenuItemClick(const QString &path);
    // A "Most Recent" row double-clicked: Nothing for an empty path, Open, or
    // NotFound (MsgUnableToOpenRecentFile).
    static TRecentFileCheck checkListViewPath(const QString &path);

Q_SIGNALS:
    void changed();

private:
    DebugOut m_debug;
    QString m_fileName;
    QStringList m_list;
    int m_numberToStore;
};

} // namespace Quorvant
