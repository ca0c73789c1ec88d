#include "sharedfolder.h"

#include "veskfilesystems.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace Quorvant::Network {

SharedFolder::SharedFolder(QString dataFolder)
    : mDataFolder(std::move(dataFolder))
{
}

bool SharedFolder::isSafeName(const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name.contains(QLatin1String("..")))
        return false;
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() < 0x20 || c.unicode() == 0x7f
            || c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}

QString SharedFolder::projectFolder(const QString &project) const
{
    if (!isSafeName(project))
        return {};
    return findProgramFile(findProgramFile(mDataFolder, QStringLiteral("Shared")), project);
}

QString SharedFolder::storeDownloadedFile(const QString &project, const QString &fileName, const QByteArray &content) const
{
    const QString folder = projectFolder(project);
    if (folder.isEmpty() || !isSafeName(fileName))
        return {};
    if (!QDir().mkpath(folder))
        return {};
    const QString path = folder + QLatin1Char('/') + fileName;
    if (QFileInfo(path).isDir())
        return {};
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    if (file.write(content) != content.size()) {
        file.cancelWriting();
        return {};
    }
    return file.commit() ? path : QString();
}

} // namespace Quorvant::Network
