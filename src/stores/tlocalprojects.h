// Local project files ("Projects/<title>.QPJ"): a header of four values and
// one row per file with its to-do status.
#pragma once

#include "debugout.h"

#include <QList>
#include <QString>

namespace Quorvant {

struct TProjectRow
{
    QString FileName;
    QString TodoStatus;
    QString FilePath;
    friend bool operator==(const TProjectRow &, const TProjectRow &) = default;
};

class TLocalProjects
{
public:
    TLocalProjects(const QString &dataFolder, DebugOut debugger = {});

    // The rows live in the caller's list; these read and write them.
    [[nodiscard]] bool NewProjectFile(const QString &FileName, QList<TProjectRow> *ListView, const QString &ProjectName,
                                      const QString &WebsiteType, const QString &Language, const QString &Notes);
    [[nodiscard]] bool SaveProjectFile(const QString &FileName, const QList<TProjectRow> &ListView);
    [[nodiscard]] bool LoadProjectFile(const QString &FileName, QList<TProjectRow> *ListView);

    QString CurrentProjectName;
    QString CurrentWebsiteType;
    QString CurrentLanguage;
    QString CurrentNotes;

    QString projectsFolder() const { return m_folder; }
    // The path a project file name is written to; empty for a name that is
    // not a plain file name inside the folder ("..", "a/b", ...).
    QString projectPath(const QString &FileName) const;
    static bool isValidTitle(const QString &title);

    // The file's text: fields holding a separator, a quote or a line break
    // are quoted, so they read back whole; plain fields are written as they
    // stand.
    static QByteArray encode(const QString &name, const QString &type, const QString &language, const QString &notes,
                             const QList<TProjectRow> &rows);
    static void decode(const QString &text, QStringList *header, QList<TProjectRow> *rows);

private:
    DebugOut m_debug;
    QString m_folder;
};

} // namespace Quorvant
