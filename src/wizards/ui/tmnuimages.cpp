#include "tmnuimages.h"

#include "html5markup.h"
#include "mainwindow.h"
#include "wizardsupport.h"

#include "appglobals.h"
#include "messageservice.h"
#include "settingsglobals.h"
#include "setuptools.h"
#include "tagplacement.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace Quorvant {

namespace {

constexpr int PreviewSide = 180;
// Larger pictures are measured but not previewed: decoding them would
// hold the dialog up and take hundreds of megabytes.
constexpr qint64 MaxPreviewPixels = 40'000'000;

// The picture scaled into the preview, decoded at the reduced size where
// the format allows it.
void showPreview(QLabel *label, const QString &fileName)
{
    QImageReader reader(fileName);
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > MaxPreviewPixels) {
        label->setPixmap({});
        label->setText(QStringLiteral("(too large to preview)"));
        return;
    }
    if (size.isValid() && (size.width() > PreviewSide || size.height() > PreviewSide))
        reader.setScaledSize(size.scaled(PreviewSide, PreviewSide, Qt::KeepAspectRatio));
    const QImage image = reader.read();
    if (image.isNull()) {
        label->setPixmap({});
        label->setText(QStringLiteral("(no preview)"));
        return;
    }
    label->setText({});
    label->setPixmap(QPixmap::fromImage(image));
}

// The main window keeps the folder the browser showed last, for the next
// image dialog of this run.
constexpr char LastBrowserFolderProperty[] = "imageDialogLastFolder";

// The current document's folder, empty for a document never saved.
QString documentFolder()
{
    return gCurrentFilePath.isEmpty() ? QString() : QFileInfo(gCurrentFilePath).absolutePath();
}

// The first of the folders that exists, else the home folder.
QString firstExistingFolder(const QStringList &folders)
{
    for (const QString &folder : folders) {
        if (!folder.isEmpty() && QFileInfo(folder).isDir())
            return folder;
    }
    return QDir::homePath();
}

QList<FileFilter> imageFilters()
{
    return {{QStringLiteral("Jpeg Images (*.JPG)"), QStringLiteral("*.JPG")},
            {QStringLiteral("Gif Images (*.Gif)"), QStringLiteral("*.GIF")},
            {QStringLiteral("Bitmap Images (*.BMP)"), QStringLiteral("*.BMP")},
            {QStringLiteral("PNG Images (*.PNG)"), QStringLiteral("*.PNG")},
            {QStringLiteral("All Supported Image Types"), QStringLiteral("*.JPG;*.GIF;*.BMP;*.PNG")}};
}

} // namespace

Tmnuimages::Tmnuimages(TForm1 &form, QWidget *parent)
    : QDialog(parent)
    , m_form(form)
{
    setObjectName(QStringLiteral("mnuimages"));
    setWindowTitle(QLatin1String(ImageDialogCaption));
    setModal(true);
    fitToScreen(this);

    auto *tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("PageControl1"));
    tabs->addTab(buildQuickPage(), QStringLiteral("Quick Image"));
    tabs->addTab(buildAdvancedPage(), QStringLiteral("Advanced Images"));

    QHBoxLayout *buttons = doneCancelRow(this, form, [this] { doneClick(); }, QLatin1String(ImageHelpTopic));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tabs, 1);
    layout->addLayout(buttons);

    // The folder used last in this run, else the document's, else the one
    // stored by an earlier run.
    const QString stored = gSetupTools ? gSetupTools->LoadLastImageDirectory() : QString();
    const QString lastUsed = m_form.property(LastBrowserFolderProperty).toString();
    showFolder(firstExistingFolder({lastUsed, documentFolder(), stored}));
    m_fileName->setFocus();
}

QWidget *Tmnuimages::buildQuickPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("QuickImagePage"));

    m_fileName = named(new QLineEdit(page), "ImageFileNameEdit");
    QHBoxLayout *file = withBrowseButton(m_fileName, "BrowseImageButton", [this] { browseImage(false); });
    m_alternateText = named(new QLineEdit(page), "AlternateTextEdit");
    m_width = named(new QLineEdit(page), "WidthEdit");
    m_height = named(new QLineEdit(page), "HeightEdit");
    m_border = named(new QLineEdit(QStringLiteral("0"), page), "BorderEdit");
    m_alignment = editableChoice(page, "AlignmentBox", imageAlignments());
    m_hSpacing = named(new QLineEdit(page), "HSpacingEdit");
    m_vSpacing = named(new QLineEdit(page), "VSpacingEdit");

    auto *fields = new QFormLayout;
    fields->addRow(fieldLabel(QStringLiteral("Image file name:"), m_fileName), file);
    fields->addRow(QStringLiteral("Alternate Text:"), m_alternateText);
    fields->addRow(QStringLiteral("Width:"), m_width);
    fields->addRow(QStringLiteral("Height:"), m_height);
    fields->addRow(QStringLiteral("Border:"), m_border);
    fields->addRow(QStringLiteral("Alignment:"), m_alignment);
    fields->addRow(QStringLiteral("HSpacing:"), m_hSpacing);
    fields->addRow(QStringLiteral("VSpacing:"), m_vSpacing);

    auto *previewBox = new QGroupBox(QStringLiteral("Quick Image Preview Window..."), page);
    m_preview = new QLabel(previewBox);
    m_preview->setObjectName(QStringLiteral("ImagePreview"));
    m_preview->setAlignment(Qt::AlignCenter);
    m_preview->setFixedSize(PreviewSide + 8, PreviewSide + 8);
    m_measured = new QLabel(previewBox);
    m_measured->setObjectName(QStringLiteral("MeasuredSizeLabel"));
    m_measured->setAlignment(Qt::AlignCenter);
    auto *previewLayout = new QVBoxLayout(previewBox);
    previewLayout->addWidget(m_preview, 0, Qt::AlignCenter);
    previewLayout->addWidget(m_measured);

    auto *top = new QHBoxLayout;
    top->addLayout(fields, 1);
    top->addWidget(previewBox);

    // The folder browser: a folder tree over the chosen folder's files.
    m_folderModel = new QFileSystemModel(this);
    m_folderModel->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_folderModel->setRootPath(QDir::rootPath());
    m_folders = new QTreeView(page);
    m_folders->setObjectName(QStringLiteral("DirectoryTree"));
    m_folders->setModel(m_folderModel);
    for (int column = 1; column < m_folderModel->columnCount(); ++column)
        m_folders->hideColumn(column);
    m_folders->header()->hide();
    m_folders->setAccessibleName(QStringLiteral("Folders"));
    connect(m_folders, &QTreeView::clicked, this, &Tmnuimages::folderClicked);
    // The tree fills as folders are read: show the current folder once its
    // parents are in. Another folder read (one the user opens) leaves the
    // tree where the user has it.
    connect(m_folderModel, &QFileSystemModel::directoryLoaded, this, [this](const QString &loaded) {
        const QString folder = browserFolder();
        const QString prefix = loaded.endsWith(QLatin1Char('/')) ? loaded : loaded + QLatin1Char('/');
        if (folder != loaded && !folder.startsWith(prefix))
            return;
        const QModelIndex current = m_folderModel->index(folder);
        if (current.isValid()) {
            m_folders->setCurrentIndex(current);
            m_folders->scrollTo(current, QAbstractItemView::PositionAtCenter);
        }
    });

    m_fileModel = new QFileSystemModel(this);
    // Folders too: the list's root must pass the filter to be shown.
    m_fileModel->setFilter(QDir::AllDirs | QDir::Files | QDir::NoDotAndDotDot);
    m_files = new QListView(page);
    m_files->setObjectName(QStringLiteral("FileList"));
    m_files->setModel(m_fileModel);
    m_files->setAccessibleName(QStringLiteral("Files"));
    connect(m_files, &QListView::clicked, this, &Tmnuimages::fileClicked);
    connect(m_files, &QListView::doubleClicked, this, [this](const QModelIndex &index) {
        if (m_fileModel->isDir(index))
            folderClicked(m_folderModel->index(m_fileModel->filePath(index)));
    });
    // A file reached by the keys is picked; the current row the list takes
    // with the focus, selecting nothing, is no choice.
    connect(m_files->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex &current) {
        if (m_files->selectionModel()->isSelected(current))
            fileClicked(current);
    });

    m_path = named(new QLineEdit(page), "PathEdit");
    connect(m_path, &QLineEdit::textEdited, this, &Tmnuimages::pathTyped);

    auto *browser = new QSplitter(Qt::Horizontal, page);
    browser->addWidget(m_folders);
    browser->addWidget(m_files);
    auto *pathRow = new QHBoxLayout;
    pathRow->addWidget(fieldLabel(QStringLiteral("Path:"), m_path));
    pathRow->addWidget(m_path, 1);

    auto *layout = new QVBoxLayout(page);
    layout->addLayout(top);
    layout->addLayout(pathRow);
    layout->addWidget(browser, 1);
    return page;
}

QWidget *Tmnuimages::buildAdvancedPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("AdvancedImagesPage"));
    m_useMap = named(new QLineEdit(page), "UseMapEdit");
    m_isMap = new QCheckBox(QStringLiteral("ISMAP"), page);
    m_isMap->setObjectName(QStringLiteral("IsMapCheck"));
    m_lowRes = named(new QLineEdit(page), "LowResImageEdit");
    QHBoxLayout *lowRes = withBrowseButton(m_lowRes, "BrowseLowResButton", [this] { browseImage(true); });

    auto *fields = new QFormLayout;
    fields->addRow(QStringLiteral("Use Map:"), m_useMap);
    fields->addRow(QString(), m_isMap);
    fields->addRow(QStringLiteral("Low resolution image:"), lowRes);

    auto *previewBox = new QGroupBox(QStringLiteral("Low Resolution Image - Preview..."), page);
    m_lowResPreview = new QLabel(previewBox);
    m_lowResPreview->setObjectName(QStringLiteral("LowResPreview"));
    m_lowResPreview->setAlignment(Qt::AlignCenter);
    m_lowResPreview->setFixedSize(PreviewSide + 8, PreviewSide + 8);
    auto *previewLayout = new QVBoxLayout(previewBox);
    previewLayout->addWidget(m_lowResPreview, 0, Qt::AlignCenter);

    auto *layout = new QVBoxLayout(page);
    layout->addLayout(fields);
    layout->addWidget(previewBox, 0, Qt::AlignLeft);
    layout->addStretch(1);
    return page;
}

void Tmnuimages::browseImage(bool lowResolution)
{
    QString &remembered = lowResolution ? gDir.LowResImages : gDir.HighResImages;
    const QStringList files = MessageService::getOpenFileNames(
        this, QStringLiteral("Open"), firstExistingFolder({remembered, documentFolder()}), imageFilters());
    if (files.isEmpty())
        return;
    const QString chosen = files.first();
    remembered = QFileInfo(chosen).absolutePath();
    if (lowResolution)
        pickLowResImage(chosen);
    else
        pickImage(chosen);
}

void Tmnuimages::pickImage(const QString &fileName)
{
    m_fileName->setText(fileName);
    if (!QFileInfo(fileName).isFile())
        return;
    showPreview(m_preview, fileName);
    const QSize size = imageSize(fileName);
    if (!size.isValid()) {
        m_measured->clear();
        return;
    }
    m_width->setText(QString::number(size.width()));
    m_height->setText(QString::number(size.height()));
    m_measured->setText(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height()));
}

void Tmnuimages::pickLowResImage(const QString &fileName)
{
    m_lowRes->setText(fileName);
    if (QFileInfo(fileName).isFile())
        showPreview(m_lowResPreview, fileName);
}

QString Tmnuimages::browserFolder() const
{
    return m_fileModel->rootPath();
}

void Tmnuimages::showFolder(const QString &folder)
{
    showFolder(folder, true);
}

void Tmnuimages::showFolder(const QString &folder, bool updatePath)
{
    const QString path = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    const QModelIndex index = m_folderModel->index(path);
    m_folders->setCurrentIndex(index);
    m_folders->scrollTo(index);
    m_files->setRootIndex(m_fileModel->setRootPath(path));
    if (updatePath)
        m_path->setText(path);
}

void Tmnuimages::folderClicked(const QModelIndex &index)
{
    const QString folder = m_folderModel->filePath(index);
    showFolder(folder);
    rememberFolder(folder);
}

void Tmnuimages::fileClicked(const QModelIndex &index)
{
    if (!index.isValid())
        return;
    const QString fileName = m_fileModel->filePath(index);
    if (isBrowsableImage(fileName))
        pickImage(fileName);
}

void Tmnuimages::pathTyped(const QString &text)
{
    if (text.endsWith(QLatin1Char(':')) || !QFileInfo(text).isDir())
        return;
    // The typed text stays as typed.
    showFolder(text, false);
    rememberFolder(browserFolder());
}

void Tmnuimages::rememberFolder(const QString &folder)
{
    m_form.setProperty(LastBrowserFolderProperty, folder);
    if (gSetupTools)
        (void)gSetupTools->SaveLastImageDirectory(folder);
}

TImageSettings Tmnuimages::settings() const
{
    TImageSettings s;
    s.fileName = m_fileName->text();
    s.alternateText = m_alternateText->text();
    s.width = m_width->text();
    s.height = m_height->text();
    s.border = m_border->text();
    s.alignment = m_alignment->currentText();
    s.hSpacing = m_hSpacing->text();
    s.vSpacing = m_vSpacing->text();
    s.useMap = m_useMap->text();
    s.isMap = m_isMap->isChecked();
    s.lowResFileName = m_lowRes->text();
    return s;
}

void Tmnuimages::doneClick()
{
    const QString start = wizardMarkup() == MarkupStyle::Html5 ? html5ImageStartText(settings(), gCurrentFilePath)
                                                             : imageStartText(settings(), gCurrentFilePath);
    m_form.withBuffer([&start](ITextBuffer *buffer) { ptext(buffer, start, QString()); });
    accept();
}

void Tmnuimages::done(int result)
{
    rememberFolder(browserFolder());
    QDialog::done(result);
}

} // namespace Quorvant
