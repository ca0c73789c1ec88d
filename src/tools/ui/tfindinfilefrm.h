// "Find In Files...": a folder tree, a file pattern, a text, the result list
// and a live progress line while the search runs on its worker.
#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QFileSystemModel;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;
class QTreeWidget;
class QTreeWidgetItem;

namespace Quorvant {

class TFindInFiles;
class TForm1;

class TFindInFileFrm : public QDialog
{
    Q_OBJECT
public:
    explicit TFindInFileFrm(TForm1 &form, QWidget *parent = nullptr);
    ~TFindInFileFrm() override;

    TFindInFiles *engine() const { return m_engine; }
    QTreeView *folderTree() const { return m_tree; }
    QComboBox *patternBox() const { return m_pattern; }
    QLineEdit *textEdit() const { return m_text; }
    QCheckBox *subFoldersBox() const { return m_subFolders; }
    QCheckBox *matchCaseBox() const { return m_matchCase; }
    QTreeWidget *results() const { return m_results; }
    QLabel *statusLine() const { return m_status; }
    QLabel *progressLine() const { return m_progress; }

    QString chosenFolder() const;
    void setChosenFolder(const QString &path);
    void search();  // "Search!"
    void stop();    // "Stop!"
    void openResult(QTreeWidgetItem *item);

private:
    void showSingleRow(const QString &text);
    void addNoteRow(const QString &text);

    TForm1 &m_form;
    TFindInFiles *m_engine;
    QFileSystemModel *m_model;
    QTreeView *m_tree;
    QComboBox *m_pattern;
    QLineEdit *m_text;
    QCheckBox *m_subFolders;
    QCheckBox *m_matchCase;
    QTreeWidget *m_results;
    QLabel *m_status;
    QLabel *m_progress;
    QPushButton *m_searchButton;
    QPushButton *m_stopButton;
    int m_hits = 0;
    QString m_searchedText;
    bool m_searchedMatchCase = false;
};

} // namespace Quorvant
