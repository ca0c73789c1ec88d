// The texts the desktop features show, in one place for the windows and
// their tests.
#pragma once

#include <QString>

namespace Quorvant::DesktopText {

inline QString folderDropped(const QString &path)
{
    return QStringLiteral("%1 is a folder. Only files can be opened: drop the files inside it instead.").arg(path);
}
inline QString reloadedNote(const QString &name)
{
    return QStringLiteral("%1 was changed by another program and has been reloaded.").arg(name);
}
inline QString changedWhileModified(const QString &path)
{
    return QStringLiteral("%1\n\nThis file has been changed by another program, and your document has changes "
                          "that are not saved.\n\nReload it from disk and lose your changes?\n"
                          "(No keeps your version; saving it will then replace the file.)")
        .arg(path);
}
inline QString changedBeforeSave(const QString &path)
{
    return QStringLiteral("%1\n\nThis file has been changed by another program since you opened or saved it. "
                          "Saving now replaces those changes.\n\nOverwrite it with your version?")
        .arg(path);
}
inline QString deletedOnDisk(const QString &path)
{
    return QStringLiteral("%1\n\nThis file has been deleted or moved by another program. The document stays open "
                          "and is marked as modified: save it to write the file again.")
        .arg(path);
}
inline QString notSavedNote(const QString &name)
{
    return QStringLiteral("%1 was not saved: the file on disk was changed by another program.").arg(name);
}
inline QString discardRecovered(const QString &caption)
{
    return QStringLiteral("Discard the recovered text of %1? It cannot be brought back afterwards.").arg(caption);
}
inline const QString LivePreviewCaption = QStringLiteral("Live preview");
inline const QString RecoveredCaption = QStringLiteral("Recovered Documents");
inline const QString RecoveredIntro = QStringLiteral(
    "Quorvant did not close properly last time. These documents had changes that were not saved:");

} // namespace Quorvant::DesktopText
