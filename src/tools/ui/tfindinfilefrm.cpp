#include "tfindinfilefrm.h"

#include "appglobals.h"
#include "documentset.h"
#include "mainwindow.h"
#include "messageservice.h"
#include "tfindinfiles.h"
#include "tmemosource.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace Quorvant {

namespace {

const QString NoResults = QStringLiteral("Search Produced No Results...");
const QString Searching = QStringLiteral("Searching...");

QString counted(int n, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}

// The last row of the results: "Search finished: 3 matches in 12 files."
QString summary(bool stopped, int matches, int filesSearched)
{
    return QStringLiteral("%1: %2 in %3.")
        .arg(stopped ? QStringLiteral("Search stopped") : QStringLiteral("Search finished"),
             counted(matches, "match", "matches"), counted(filesSearched, "file", "files"));
}

} // namespace

TFindInFileFrm::TFindInFileFrm(TForm1 &form, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint)
    , m_form(form)
    , m_engine(new TFindInFiles(this))
{
    setObjectName(QStringLiteral("FindInFileFrm"));
    setWindowTitle(QStringLiteral("Find In Files..."));
    auto *column = new QVBoxLayout(this);
    // Each caption names the field under it, for screen readers.
    auto caption = [this, column](const QString &text, QWidget *field) {
        auto *label = new QLabel(text, this);
        label->setBuddy(field);
        column->addWidget(label);
    };
    m_model = new QFileSystemModel(this);
    m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    m_model->setRootPath(QStringLiteral("/"));
    m_tree = new QTreeView(this);
    m_tree->setObjectName(QStringLiteral("FolderTree"));
    m_tree->setModel(m_model);
    for (int c = 1; c < m_model->columnCount(); ++c)
        m_tree->hideColumn(c);
    m_tree->setHeaderHidden(true);
    m_tree->setAccessibleName(QStringLiteral("Folders"));
    caption(QStringLiteral("Choose the path to search:"), m_tree);
    // The model fills in the background: show the chosen folder once its
    // parents are there.
    connect(m_model, &QFileSystemModel::directoryLoaded, this, [this] {
        if (m_tree->currentIndex().isValid())
            m_tree->scrollTo(m_tree->currentIndex(), QAbstractItemView::PositionAtCenter);
    });
    column->addWidget(m_tree, 2);
    // The current document's folder, else the home folder.
    setChosenFolder(gCurrentFilePath.isEmpty() ? QDir::homePath() : QFileInfo(gCurrentFilePath).absolutePath());

    m_pattern = new QComboBox(this);
    m_pattern->setObjectName(QStringLiteral("FileTypeBox"));
    m_pattern->setEditable(true);
    m_pattern->addItems({QStringLiteral("*.htm"), QStringLiteral("*.html"), QStringLiteral("*.txt")});
    m_pattern->setCurrentText(QString());
    // The choices are offered in a list; what was typed stays as typed ("*" is every file).
    m_pattern->completer()->setCompletionMode(QCompleter::PopupCompletion);
    caption(QStringLiteral("Please enter or choose a file type: (e.g. *.HTM or Index.Html):"), m_pattern);
    column->addWidget(m_pattern);
    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("ContainingTextEdit"));
    caption(QStringLiteral("Containing Text:"), m_text);
    column->addWidget(m_text);
    auto *boxes = new QHBoxLayout;
    m_subFolders = new QCheckBox(QStringLiteral("Search In Sub Directories?"), this);
    m_subFolders->setObjectName(QStringLiteral("SubDirectoriesBox"));
    m_subFolders->setChecked(true);
    m_matchCase = new QCheckBox(QStringLiteral("Match Case?"), this);
    m_matchCase->setObjectName(QStringLiteral("MatchCaseBox"));
    boxes->addWidget(m_subFolders);
    boxes->addWidget(m_matchCase);
    boxes->addStretch(1);
    m_searchButton = new QPushButton(QStringLiteral("Search!"), this);
    m_searchButton->setObjectName(QStringLiteral("SearchButton"));
    m_stopButton = new QPushButton(QStringLiteral("Stop!"), this);
    m_stopButton->setObjectName(QStringLiteral("StopButton"));
    m_searchButton->setAutoDefault(false);
    m_searchButton->setDefault(true);
    m_stopButton->setAutoDefault(false);
    boxes->addWidget(m_searchButton);
    boxes->addWidget(m_stopButton);
    column->addLayout(boxes);

    m_results = new QTreeWidget(this);
    m_results->setObjectName(QStringLiteral("ResultList"));
    m_results->setHeaderLabels({QStringLiteral("FileName"), QStringLiteral("File Location")});
    m_results->setRootIsDecorated(false);
    m_results->setAccessibleName(QStringLiteral("Files found"));
    m_results->header()->resizeSection(0, 180);
    column->addWidget(m_results, 3);
    m_progress = new QLabel(this);
    m_progress->setObjectName(QStringLiteral("ProgressLine"));
    column->addWidget(m_progress);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("StatusLine"));
    m_status->setTextFormat(Qt::PlainText);
    m_status->setMinimumWidth(100);
    m_status->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    column->addWidget(m_status);

    connect(m_searchButton, &QPushButton::clicked, this, &TFindInFileFrm::search);
    connect(m_stopButton, &QPushButton::clicked, this, &TFindInFileFrm::stop);
    connect(m_results, &QTreeWidget::itemDoubleClicked, this, &TFindInFileFrm::openResult);
    // A closed dialog searches no further, whether or not it is deleted.
    connect(this, &QDialog::finished, this, &TFindInFileFrm::stop);
    m_pattern->setFocus();
    connect(m_engine, &TFindInFiles::progress, this, [this](int searched, int total, const QString &where) {
        m_status->setText(where);
        m_progress->setText(total > 0 ? QStringLiteral("Files searched: %1 of %2").arg(searched).arg(total)
                                      : QStringLiteral("Looking for files..."));
    });
    connect(m_engine, &TFindInFiles::found, this, [this](const QString &name, const QString &path) {
        if (m_hits == 0)
            m_results->clear();
        ++m_hits;
        m_results->addTopLevelItem(new QTreeWidgetItem(QStringList{name, path}));
    });
    connect(m_engine, &TFindInFiles::finished, this, [this](bool stopped, int filesSearched) {
        m_status->clear();
        m_progress->setText(stopped ? QStringLiteral("Search stopped.") : QString());
        if (m_hits == 0)
            showSingleRow(NoResults);
        addNoteRow(summary(stopped, m_hits, filesSearched));
    });
    resize(560, 640);
}

TFindInFileFrm::~TFindInFileFrm()
{
    // The engine's destructor stops its worker and waits for it, before the
    // result list it reports to is gone.
    delete m_engine;
}

QString TFindInFileFrm::chosenFolder() const
{
    return m_model->filePath(m_tree->currentIndex());
}

void TFindInFileFrm::setChosenFolder(const QString &path)
{
    const QModelIndex index = m_model->index(path);
    m_tree->setCurrentIndex(index);
    m_tree->scrollTo(index);
    m_tree->expand(index);
}

void TFindInFileFrm::showSingleRow(const QString &text)
{
    m_results->clear();
    addNoteRow(text);
}

void TFindInFileFrm::addNoteRow(const QString &text)
{
    // A row without a file: across both columns, not selectable.
    auto *row = new QTreeWidgetItem(QStringList{text});
    row->setFlags(Qt::ItemIsEnabled);
    m_results->addTopLevelItem(row);
    row->setFirstColumnSpanned(true);
}

void TFindInFileFrm::search()
{
    if (m_engine->RunningSearch())
        return;
    m_hits = 0;
    m_searchedText = m_text->text();
    m_searchedMatchCase = m_matchCase->isChecked();
    showSingleRow(Searching);
    m_progress->setText(QStringLiteral("Looking for files..."));
    m_engine->FindInFiles(m_searchedText, chosenFolder(), m_pattern->currentText(), m_subFolders->isChecked(),
                          m_searchedMatchCase);
}

void TFindInFileFrm::stop()
{
    if (m_engine->RunningSearch())
        m_engine->StopSearch();
}

void TFindInFileFrm::openResult(QTreeWidgetItem *item)
{
    // Only the rows of files have a location.
    if (item && !item->text(1).isEmpty()) {
        const QString path = item->text(1);
        if (!QFileInfo(path).isFile() || !m_form.documents()->openOrShow(path)) {
            MessageService::information(this, QStringLiteral("Error! Unable to open selected file in editor."));
        } else if (TMemoSource *buffer = m_form.documents()->currentBuffer(); buffer && !m_searchedText.isEmpty()) {
            // The caret goes to the first match, selected.
            const Qt::CaseSensitivity cs = m_searchedMatchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
            for (int y = 0; y < buffer->lineCount(); ++y) {
                const qsizetype x = buffer->line(y).indexOf(m_searchedText, 0, cs);
                if (x >= 0) {
                    buffer->setSelection({{int(x), y}, {int(x + m_searchedText.size()), y}});
                    break;
                }
            }
        }
    }
    close();
}

} // namespace Quorvant
