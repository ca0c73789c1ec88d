// Names on the session bus, shared by the editor and quorvant-ctl. Each data
// folder has its own service, so one instance runs per data folder.
#pragma once

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QString>

namespace Quorvant::Bus {

inline constexpr char ServicePrefix[] = "org.quorvant.Editor.i";
inline constexpr char ObjectPath[] = "/Quorvant";
// The automation interface: on only with --automation or QUORVANT_AUTOMATION=1.
inline constexpr char EditorInterface[] = "org.quorvant.Editor";
// The hand-over of files to the running instance: always on.
inline constexpr char InstanceInterface[] = "org.quorvant.Instance";
inline constexpr char ErrorPrefix[] = "org.quorvant.Editor.Error.";

// The service of a data folder. Symbolic links are resolved, so two spellings
// of one folder share an instance.
inline QString serviceName(const QString &dataFolder)
{
    const QFileInfo info(dataFolder);
    QString path = info.canonicalFilePath();
    if (path.isEmpty())
        path = QDir::cleanPath(info.absoluteFilePath());
    const QByteArray hash = QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha1).toHex();
    return QLatin1String(ServicePrefix) + QString::fromLatin1(hash.left(16));
}

} // namespace Quorvant::Bus
