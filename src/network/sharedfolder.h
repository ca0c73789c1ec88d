// The local folder of downloaded project files: "Shared/<project>/" in the
// data folder. Names that could leave that folder are refused.
#pragma once

#include <QByteArray>
#include <QString>

namespace Quorvant::Network {

class SharedFolder
{
public:
    explicit SharedFolder(QString dataFolder);

    // False for an empty name, ".", "..", or one holding "/", "\", ".." or a
    // control character.
    static bool isSafeName(const QString &name);

    // The folder of a project (not created); empty for an unsafe name.
    QString projectFolder(const QString &project) const;

    // Writes a downloaded file atomically into the project's folder,
    // creating the folders. Returns the path, or an empty string when a name
    // is unsafe or the write fails.
    [[nodiscard]] QString storeDownloadedFile(const QString &project, const QString &fileName,
                                              const QByteArray &content) const;

private:
    QString mDataFolder;
};

} // namespace Quorvant::Network
