#include "projectfilemanager.h"

#include "appglobals.h"
#include "client.h"
#include "documentset.h"
#include "mainwindow.h"
#include "messageservice.h"
#include "namecheck.h"
#include "networkglobals.h"
#include "networkrequests.h"
#include "networkui.h"
#include "sharedfolder.h"

#include <QCloseEvent>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSet>
#include <QTabBar>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <memory>

namespace Quorvant::Network {

namespace {
QString quoted(const QString &name)
{
    return QLatin1Char('"') + name + QLatin1Char('"');
}

QList<SharedFileRow> sharedRows(const QTreeWidget *list, bool selectedOnly)
{
    QList<SharedFileRow> rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = list->topLevelItem(i);
        if (!selectedOnly || item->isSelected())
            rows.append({item->text(0), item->text(1), item->text(2)});
    }
    return rows;
}
} // namespace

TProjectFileManager::TProjectFileManager(TForm1 &form, QString dataFolder,
                                         std::function<bool(const QString &, const QString &)> bookedOut,
                                         QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint)
    , mForm(form)
    , mDataFolder(std::move(dataFolder))
    , mBookedOut(std::move(bookedOut))
{
    setObjectName(QStringLiteral("TProjectFileManager"));
    setWindowTitle(QStringLiteral("Halvorn Network : Project File Manager"));
    resize(820, 460);
    auto *row = new QHBoxLayout(this);
    auto *menus = new QMenuBar(this);
    QMenu *project = menus->addMenu(QStringLiteral("&Project"));
    project->setObjectName(QStringLiteral("ProjectMenu"));
    QAction *remove = project->addAction(QStringLiteral("Remove Member..."), this, &TProjectFileManager::RemoveMember);
    remove->setObjectName(QStringLiteral("RemoveMemberAction"));
    QAction *password = project->addAction(QStringLiteral("Change Project Password..."), this,
                                           &TProjectFileManager::ChangeProjectPassword);
    password->setObjectName(QStringLiteral("ChangeProjectPasswordAction"));
    row->setMenuBar(menus);

    auto *local = new QVBoxLayout;
    local->addWidget(new QLabel(QStringLiteral("Local Computer"), this));
    mFolders = new QFileSystemModel(this);
    mFolders->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    mFolders->setRootPath(QDir::rootPath());
    mFolderTree = new QTreeView(this);
    mFolderTree->setObjectName(QStringLiteral("FolderTree"));
    mFolderTree->setModel(mFolders);
    for (int c = 1; c < mFolders->columnCount(); ++c)
        mFolderTree->hideColumn(c);
    mFolderTree->setHeaderHidden(true);
    local->addWidget(mFolderTree, 2);
    LocalFiles = new QListWidget(this);
    LocalFiles->setObjectName(QStringLiteral("LocalFiles"));
    LocalFiles->setSelectionMode(QAbstractItemView::ExtendedSelection);
    local->addWidget(LocalFiles, 2);
    auto *add = new QPushButton(QStringLiteral("Add File To Project"), this);
    add->setObjectName(QStringLiteral("AddFileButton"));
    local->addWidget(add);
    row->addLayout(local, 1);

    auto *shared = new QVBoxLayout;
    shared->addWidget(new QLabel(QStringLiteral("Files Currently Being Shared:"), this));
    SharedFiles = new QTreeWidget(this);
    SharedFiles->setObjectName(QStringLiteral("SharedFiles"));
    SharedFiles->setHeaderLabels({QStringLiteral("File Name"), QStringLiteral("Booking Status"),
                                  QStringLiteral("User Shared")});
    SharedFiles->setRootIsDecorated(false);
    SharedFiles->setSelectionMode(QAbstractItemView::ExtendedSelection);
    SharedFiles->setEditTriggers(QAbstractItemView::NoEditTriggers);
    SharedFiles->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    shared->addWidget(SharedFiles, 1);
    auto *buttons = new QHBoxLayout;
    const struct { const char *name; const char *caption; void (TProjectFileManager::*slot)(); } commands[] = {
        {"BookInButton", "Book File Back In", &TProjectFileManager::BookFileBackIn},
        {"BookOutButton", "Book File Out!", &TProjectFileManager::BookFileOut},
        {"RemoveButton", "Remove File", &TProjectFileManager::RemoveFile},
    };
    for (const auto &c : commands) {
        auto *b = new QPushButton(QLatin1String(c.caption), this);
        b->setObjectName(QLatin1String(c.name));
        connect(b, &QPushButton::clicked, this, c.slot);
        buttons->addWidget(b);
    }
    shared->addLayout(buttons);
    row->addLayout(shared, 1);

    connect(add, &QPushButton::clicked, this, &TProjectFileManager::AddFileToProject);
    // The folders load in the background: show the current one once its
    // parents are there.
    auto once = std::make_shared<QMetaObject::Connection>();
    *once = connect(mFolders, &QFileSystemModel::directoryLoaded, this, [this, once](const QString &loaded) {
        const QString folder = QDir(mFolder).absolutePath();
        const QString parent = QFileInfo(folder).absolutePath();
        const QString dirLoaded = QDir(loaded).absolutePath();
        if (!folder.startsWith(dirLoaded))
            return;
        if (dirLoaded == parent || dirLoaded == folder)
            QObject::disconnect(*once);
        const QModelIndex index = mFolders->index(folder);
        mFolderTree->setCurrentIndex(index);
        mFolderTree->scrollTo(index);
    });
    connect(mFolderTree, &QTreeView::clicked, this,
            [this](const QModelIndex &index) { setLocalFolder(mFolders->filePath(index)); });
    setLocalFolder(QDir::homePath());
}

void TProjectFileManager::setLocalFolder(const QString &folder)
{
    mFolder = folder;
    LocalFiles->clear();
    const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo &f : files)
        LocalFiles->addItem(f.fileName());
    const QModelIndex index = mFolders->index(folder);
    if (index.isValid()) {
        mFolderTree->setCurrentIndex(index);
        mFolderTree->scrollTo(index);
    }
}

void TProjectFileManager::selectLocalFiles(const QStringList &names)
{
    LocalFiles->clearSelection();
    for (int i = 0; i < LocalFiles->count(); ++i)
        if (names.contains(LocalFiles->item(i)->text()))
            LocalFiles->item(i)->setSelected(true);
}

void TProjectFileManager::selectSharedFiles(const QStringList &names)
{
    SharedFiles->clearSelection();
    for (int i = 0; i < SharedFiles->topLevelItemCount(); ++i)
        if (names.contains(SharedFiles->topLevelItem(i)->text(0)))
            SharedFiles->topLevelItem(i)->setSelected(true);
}

void TProjectFileManager::RefreshList()
{
    gProjectFileManagerOpen = true;
    if (gLastProjectName.isEmpty()) {
        MessageService::information(this, QStringLiteral("Un-Expected Error: Project Name = Nil, "
                                                         "TPROJECTFILEMANAGER.FORMSHOW"));
        return;
    }
    if (gMyClient)
        SendFileList(*gMyClient);
}

void TProjectFileManager::setFileList(const QList<SharedFileRow> &rows)
{
    SharedFiles->clear();
    for (const SharedFileRow &r : rows)
        new QTreeWidgetItem(SharedFiles, {r.FileName, r.BookingStatus, r.UserShared});
}

QList<SharedFileRow> TProjectFileManager::fileList() const
{
    return sharedRows(SharedFiles, false);
}

QList<SharedFileRow> TProjectFileManager::selectedSharedRows() const
{
    return sharedRows(SharedFiles, true);
}

void TProjectFileManager::AddFileToProject()
{
    if (LocalFiles->selectedItems().isEmpty()) {
        MessageService::information(this, QStringLiteral("You must select the file(s) which you want to share."));
        return;
    }
    if (mUploading)
        return;  // one upload loop at a time
    QStringList paths;
    for (int i = 0; i < LocalFiles->count(); ++i) {
        if (!LocalFiles->item(i)->isSelected())
            continue;
        const QString name = LocalFiles->item(i)->text();
        const QString path = QDir(mFolder).filePath(name);
        if (QFileInfo(path).suffix().isEmpty() || paths.contains(path) || !acceptName(this, name, NameKind::File))
            continue;
        paths.append(path);
    }
    if (paths.isEmpty())
        return;
    mUploads = paths;
    mUploading = true;
    mTransfer = new QDialog(this, Qt::Dialog | Qt::WindowStaysOnTopHint);
    mTransfer->setObjectName(QStringLiteral("TTransferDataWindow"));
    mTransfer->setAttribute(Qt::WA_DeleteOnClose);
    mTransfer->setWindowTitle(QStringLiteral("Transferring Data"));
    mTransferText = new QLabel(QStringLiteral("..."), mTransfer);
    mTransferText->setObjectName(QStringLiteral("TransferText"));
    (new QVBoxLayout(mTransfer))->addWidget(mTransferText);
    mTransfer->show();
    sendNextUpload();
}

void TProjectFileManager::sendNextUpload()
{
    while (!mUploads.isEmpty()) {
        const QString path = mUploads.takeFirst();
        gNextFile = false;
        QFile file(path);
        if (!file.exists())
            continue;
        if (!file.open(QIODevice::ReadOnly)) {
            MessageService::information(this, QStringLiteral("The file ") + quoted(path)
                                                  + QStringLiteral(" could not be read and has not been shared."));
            continue;
        }
        const QByteArray content = file.readAll();
        if (!gMyClient)
            break;
        if (mTransferText)
            mTransferText->setText(QStringLiteral("Transferring: ") + path + QStringLiteral(" : ")
                                   + QString::number(665 + 4 + content.size()) + QStringLiteral(" Bytes"));
        SendAddFile(*gMyClient, QFileInfo(path).fileName(), content);
        return;  // the "ADDP" reply sends the next one
    }
    finishUpload();
}

void TProjectFileManager::fileAdded()
{
    if (mUploading)
        sendNextUpload();
}

void TProjectFileManager::connectionEnded()
{
    if (!mUploading)
        return;
    mUploads.clear();
    mUploading = false;
    if (mTransfer)
        mTransfer->close();
}

void TProjectFileManager::finishUpload()
{
    mUploading = false;
    if (mTransfer)
        mTransfer->close();
    RefreshList();
}

void TProjectFileManager::RemoveFile()
{
    const QList<SharedFileRow> rows = selectedSharedRows();
    if (rows.isEmpty()) {
        MessageService::information(this, QStringLiteral("You must select a file from the list before you may remove it."));
        return;
    }
    for (const SharedFileRow &r : rows) {
        if (r.BookingStatus == QLatin1String("TRUE"))
            MessageService::information(this, QStringLiteral("The File ") + quoted(r.FileName)
                                                  + QStringLiteral(" is currently booked out and cannot be removed."));
        else if (gMyClient)
            SendProjectFileRequest(*gMyClient, "REMP", r.FileName);
    }
    RefreshList();
}

void TProjectFileManager::BookFileOut()
{
    const QList<SharedFileRow> rows = selectedSharedRows();
    if (rows.isEmpty()) {
        MessageService::information(this, QStringLiteral("You must select a file from the list before you may book it out."));
        return;
    }
    for (const SharedFileRow &r : rows) {
        if (r.BookingStatus == QLatin1String("TRUE")) {
            MessageService::information(this, QStringLiteral("The File: ") + quoted(r.FileName)
                                                  + QStringLiteral(" is currently booked out. Sorry."));
        } else if (gMyClient) {
            // The download follows once the server has confirmed the booking.
            SendBookOut(*gMyClient, r.FileName);
        }
    }
    RefreshList();
}

bool TProjectFileManager::releaseDocument(const QString &path, const QString &fileName)
{
    TDocumentSet *docs = mForm.documents();
    if (!docs || !docs->IsFileOpen(path))
        return true;
    docs->SaveSelectedPageToArray();
    int index = -1;
    for (int i = 0; i < gDocumentHolder.size(); ++i)
        if (gDocumentHolder[i].FileName.compare(path, Qt::CaseInsensitive) == 0)
            index = i;
    if (index < 0)
        return true;
    if (docs->currentIndex() != index)
        mForm.PageSelector()->setCurrentIndex(index);
    docs->SaveSelectedPageToArray();
    if (gDocumentModified || gDocumentHolder[index].Modified) {
        const MessageButton answer = MessageService::show(
            this,
            QStringLiteral("The document ") + quoted(fileName)
                + QStringLiteral(" has been modified. Would you like to save it before uploading it to the server?"),
            MessageIcon::Information, YesNo);
        if (answer == mbYes && docs->save() != SaveResult::Saved)
            return false;  // the save said why; nothing is uploaded
        if (answer != mbYes) {
            // Unsaved edits stay open; what is on disk goes up.
            return true;
        }
    }
    docs->close();
    return true;
}

void TProjectFileManager::BookFileBackIn()
{
    const QList<SharedFileRow> rows = selectedSharedRows();
    if (rows.isEmpty()) {
        MessageService::information(this, QStringLiteral("You must select a file before you can book it back into the project."));
        return;
    }
    for (const SharedFileRow &r : rows) {
        const QString name = r.FileName;
        if (mBookedOut && mBookedOut(gCurrentProjectName, name)) {
            const QString folder = SharedFolder(mDataFolder).projectFolder(gCurrentProjectName);
            if (folder.isEmpty() || !SharedFolder::isSafeName(name))
                continue;
            const QString path = QDir(folder).filePath(name);
            gFileBeingBookedIn = path;
            if (!releaseDocument(path, name))
                continue;
            // An empty upload would wipe the shared copy: a missing or
            // unreadable local file is not booked in.
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly)) {
                MessageService::information(this, QStringLiteral("The file ") + quoted(name)
                                                      + QStringLiteral(" could not be read from ") + path
                                                      + QStringLiteral(", so it has not been booked back in."));
                continue;
            }
            const QByteArray content = file.readAll();
            if (!gMyClient)
                continue;
            // The booking is given back once the server has stored the upload.
            SendBookInUpload(*gMyClient, name, content);
        } else if (r.BookingStatus != QLatin1String("TRUE")) {
            MessageService::information(this, QStringLiteral("The file ") + quoted(name)
                                                  + QStringLiteral(" is currently booked IN."));
        } else {
            const MessageButton answer = MessageService::show(
                this,
                QStringLiteral("Your user does not currently have ") + quoted(name)
                    + QStringLiteral("file booked out someone else in your project does. Would you like to forcibly "
                                     "book this file back in without their permission? Note: They will not be able "
                                     "to book the new file back in if there is one."),
                MessageIcon::Information, YesNo);
            if (answer == mbYes && gMyClient) {
                SendBookIn(*gMyClient, name);
                RefreshList();
            }
        }
    }
}

void TProjectFileManager::RemoveMember()
{
    QString member;
    if (!MessageService::getText(this, QStringLiteral("Remove Member"),
                                 QStringLiteral("Please enter the name of the member to remove from this project: "),
                                 &member)
        || !acceptName(this, member, NameKind::User))
        return;
    if (removeMember)
        removeMember(member);
}

void TProjectFileManager::ChangeProjectPassword()
{
    const QString title = QStringLiteral("Change Project Password");
    QString password, again;
    if (!MessageService::getText(this, title, QStringLiteral("Please enter the new password for this project: "),
                                 &password)
        || !MessageService::getText(this, title, QStringLiteral("Please re-type the new password: "), &again))
        return;
    // Exactly: a password differing in letter case is a different password.
    if (again != password) {
        MessageService::information(this, QStringLiteral("The passwords do not match, so the project password has "
                                                         "not been changed."));
        return;
    }
    if (changePassword)
        changePassword(password);
}

void TProjectFileManager::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        RefreshList();
}

void TProjectFileManager::closeEvent(QCloseEvent *event)
{
    gProjectFileManagerOpen = false;
    event->accept();
}

} // namespace Quorvant::Network
