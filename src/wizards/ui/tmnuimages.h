// The image dialog: the picture's file with a folder browser, a preview and
// its size looked up from the file; "Done" writes the IMG element. The
// browser starts in the folder it showed last in this run, else the current
// document's folder, else the folder stored by an earlier run, else the
// home folder.
#pragma once

#include "imagewizard.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QFileSystemModel;
class QLabel;
class QLineEdit;
class QListView;
class QModelIndex;
class QTreeView;

namespace Quorvant {

class TForm1;

inline constexpr char ImageDialogCaption[] = "Insert Image.";
inline constexpr char ImageHelpTopic[] = "ImageMenu.Htm";

class Tmnuimages : public QDialog
{
    Q_OBJECT
public:
    explicit Tmnuimages(TForm1 &form, QWidget *parent = nullptr);

    TImageSettings settings() const;
    // A picture chosen by the browse button or the folder browser: its name,
    // preview and size, when the file exists.
    void pickImage(const QString &fileName);
    void pickLowResImage(const QString &fileName);
    // The folder the browser shows.
    QString browserFolder() const;
    void showFolder(const QString &folder);
    // "Done": writes the IMG element and closes.
    void doneClick();

protected:
    void done(int result) override;

private:
    QWidget *buildQuickPage();
    QWidget *buildAdvancedPage();
    void browseImage(bool lowResolution);
    void folderClicked(const QModelIndex &index);
    void fileClicked(const QModelIndex &index);
    void pathTyped(const QString &text);
    void rememberFolder(const QString &folder);
    void showFolder(const QString &folder, bool updatePath);

    TForm1 &m_form;
    QLineEdit *m_fileName = nullptr;
    QLineEdit *m_alternateText = nullptr;
    QLineEdit *m_width = nullptr;
    QLineEdit *m_height = nullptr;
    QLineEdit *m_border = nullptr;
    QComboBox *m_alignment = nullptr;
    QLineEdit *m_hSpacing = nullptr;
    QLineEdit *m_vSpacing = nullptr;
    QLabel *m_preview = nullptr;
    QLabel *m_measured = nullptr;
    QTreeView *m_folders = nullptr;
    QListView *m_files = nullptr;
    QFileSystemModel *m_folderModel = nullptr;
    QFileSystemModel *m_fileModel = nullptr;
    QLineEdit *m_path = nullptr;
    QLineEdit *m_useMap = nullptr;
    QCheckBox *m_isMap = nullptr;
    QLineEdit *m_lowRes = nullptr;
    QLabel *m_lowResPreview = nullptr;
};

} // namespace Quorvant
