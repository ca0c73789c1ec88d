// The shared project's file manager: local files on the left to add to the
// project, the project's files on the right to book out, book in or remove,
// and the project menu of the owner's commands. Uploads go one at a time,
// each sent when the server has answered the one before.
#pragma once

#include <QDialog>
#include <QPointer>
#include <QWidget>

#include <functional>

class QFileSystemModel;
class QLabel;
class QListWidget;
class QTreeView;
class QTreeWidget;

namespace Quorvant {
class TForm1;
}

namespace Quorvant::Network {

struct SharedFileRow;

class TProjectFileManager : public QWidget
{
    Q_OBJECT
public:
    // bookedOut: whether the booking store holds a booking of a file of a
    // project (by any user).
    TProjectFileManager(TForm1 &form, QString dataFolder,
                        std::function<bool(const QString &project, const QString &file)> bookedOut,
                        QWidget *parent = nullptr);

    void RefreshList();
    void setFileList(const QList<SharedFileRow> &rows);
    QList<SharedFileRow> fileList() const;

    // The local side: the folder whose files are listed.
    void setLocalFolder(const QString &folder);
    QString localFolder() const { return mFolder; }
    void selectLocalFiles(const QStringList &names);
    void selectSharedFiles(const QStringList &names);

    // The buttons.
    void AddFileToProject();
    void RemoveFile();
    void BookFileOut();
    void BookFileBackIn();

    // The project menu: each asks for what it needs, then hands it on.
    void RemoveMember();
    void ChangeProjectPassword();
    std::function<void(const QString &member)> removeMember;
    std::function<void(const QString &password)> changePassword;

    // From the dispatcher: an "ADDP" answered, the connection ended.
    void fileAdded();
    void connectionEnded();
    bool uploading() const { return mUploading; }
    QDialog *transferWindow() const { return mTransfer; }

    QListWidget *LocalFiles = nullptr;
    QTreeWidget *SharedFiles = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QList<SharedFileRow> selectedSharedRows() const;
    void sendNextUpload();
    void finishUpload();
    // Saves and closes an open document of the path; false stops the book-in.
    bool releaseDocument(const QString &path, const QString &fileName);

    TForm1 &mForm;
    QString mDataFolder;
    std::function<bool(const QString &, const QString &)> mBookedOut;
    QString mFolder;
    QFileSystemModel *mFolders = nullptr;
    QTreeView *mFolderTree = nullptr;
    QStringList mUploads;
    bool mUploading = false;
    QPointer<QDialog> mTransfer;
    QLabel *mTransferText = nullptr;
};

} // namespace Quorvant::Network
