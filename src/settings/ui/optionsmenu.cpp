#include "optionsmenu.h"

#include "messageservice.h"
#include "settingsglobals.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QShowEvent>
#include <QSplitter>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace Quorvant {

namespace {

// Item index == syntax mode number.
const char *const kParserCaptions[] = {
    "HTML", "Perl", "VBScript", "JavaScript", "C", "C++", "Python", "Delphi (pas)", "Delphi (dfm)", "Custom",
};

QCheckBox *checkBox(const char *name, const QString &caption, QWidget *parent)
{
    auto *box = new QCheckBox(caption, parent);
    box->setObjectName(QLatin1String(name));
    return box;
}

QPushButton *button(const char *name, const QString &caption, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

QLabel *textLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

QLabel *noteLabel(const QString &text, QWidget *parent)
{
    QLabel *label = textLabel(text, parent);
    QFont font = label->font();
    font.setItalic(true);
    label->setFont(font);
    return label;
}

QLineEdit *lineEdit(const char *name, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    return edit;
}

} // namespace

TOptionsMenu::TOptionsMenu(std::function<void()> applyAll,
                           std::function<void(const TSystemSettings &)> systemSettingsReloaded, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
    , m_applyAll(std::move(applyAll))
    , m_systemSettingsReloaded(std::move(systemSettingsReloaded))
{
    setObjectName(QStringLiteral("OptionsMenu"));
    setWindowTitle(QStringLiteral("Quorvant: Options Menu"));

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("PageControl1"));
    m_tabs->addTab(buildGeneralPage(), QStringLiteral("General Preferences"));
    m_browserPage = buildBrowserPage();
    m_tabs->addTab(m_browserPage, QStringLiteral("Browser Options"));
    // The folder views read the disk only once someone looks at them.
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int) {
        if (m_tabs->currentWidget() == m_browserPage)
            ensureShellModels();
    });

    // The network pages hold the fields the sign-in reads; they are never
    // offered to the user here.
    m_hiddenPages = new QStackedWidget(this);
    m_hiddenPages->setObjectName(QStringLiteral("HalvornPages"));
    m_hiddenPages->addWidget(buildHalvornUserPage());
    m_hiddenPages->addWidget(buildHalvornNetworkPage());
    m_hiddenPages->setVisible(false);

    QPushButton *done = button("Image46", QStringLiteral("Done"), this);
    QPushButton *cancel = button("Image16", QStringLiteral("Cancel"), this);
    done->setDefault(true);
    connect(done, &QPushButton::clicked, this, &TOptionsMenu::Image46Click);
    connect(cancel, &QPushButton::clicked, this, &TOptionsMenu::Image16Click);
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &TOptionsMenu::Image16Click);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(done);
    buttons->addWidget(cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs, 1);
    layout->addWidget(m_hiddenPages);
    layout->addLayout(buttons);

    // The window opens on its first option, not on whatever had the focus before.
    m_lineNumbers->setFocus();
    resize(680, 600);
}

QWidget *TOptionsMenu::buildGeneralPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("GeneralPreferencesPage"));

    m_lineNumbers = checkBox("CheckBox1", QStringLiteral("Show line numbers"), page);
    m_wordWrap = checkBox("CheckBox3", QStringLiteral("Enable wordwrap"), page);
    m_gutter = checkBox("CheckBox4", QStringLiteral("Enable document gutter"), page);
    m_tagCompletion = checkBox("CheckBox5", QStringLiteral("Enable automatic tag completion"), page);
    m_pureTags = checkBox("CheckBox6", QStringLiteral("Show pure tags bar"), page);
    m_largeButtons = checkBox("CheckBox7", QStringLiteral("Show large button bar"), page);
    m_controlBar = checkBox("CheckBox8", QStringLiteral("Show control bar"), page);
    m_sideBar = checkBox("CheckBox9", QStringLiteral("Show sidebar"), page);
    m_colorBar = checkBox("CheckBox10", QStringLiteral("Show color bar"), page);
    m_characters = checkBox("CheckBox11", QStringLiteral("Show special characters"), page);
    m_lowerCase = checkBox("CheckBox12", QStringLiteral("Insert tags in lowercase"), page);

    m_parser = new QComboBox(page);
    m_parser->setObjectName(QStringLiteral("ComboBox1"));
    for (const char *caption : kParserCaptions)
        m_parser->addItem(QLatin1String(caption));
    auto *parserLabel = new QLabel(QStringLiteral("Current Parser:"), page);
    parserLabel->setBuddy(m_parser);

    auto *editorBox = new QGroupBox(QStringLiteral("Editor"), page);
    auto *editorLayout = new QVBoxLayout(editorBox);
    for (QCheckBox *box : {m_lineNumbers, m_wordWrap, m_gutter, m_tagCompletion, m_lowerCase})
        editorLayout->addWidget(box);
    auto *parserRow = new QHBoxLayout;
    parserRow->addWidget(parserLabel);
    parserRow->addWidget(m_parser, 1);
    editorLayout->addLayout(parserRow);
    editorLayout->addStretch(1);

    auto *windowBox = new QGroupBox(QStringLiteral("Main window"), page);
    auto *windowLayout = new QVBoxLayout(windowBox);
    for (QCheckBox *box : {m_pureTags, m_largeButtons, m_controlBar, m_sideBar, m_colorBar, m_characters})
        windowLayout->addWidget(box);
    windowLayout->addStretch(1);

    auto *boxes = new QHBoxLayout;
    boxes->addWidget(editorBox, 1);
    boxes->addWidget(windowBox, 1);

    auto *markupBox = new QGroupBox(QStringLiteral("Markup written by the wizards"), page);
    markupBox->setObjectName(QStringLiteral("WizardMarkupBox"));
    m_classicMarkup = new QRadioButton(QStringLiteral("Classic (as the wizards always wrote)"), markupBox);
    m_classicMarkup->setObjectName(QStringLiteral("WizardMarkupClassic"));
    m_html5Markup = new QRadioButton(QStringLiteral("HTML5 with CSS"), markupBox);
    m_html5Markup->setObjectName(QStringLiteral("WizardMarkupHtml5"));
    auto *markupLayout = new QHBoxLayout(markupBox);
    markupLayout->addWidget(m_classicMarkup);
    markupLayout->addWidget(m_html5Markup);
    markupLayout->addStretch(1);

    auto *layout = new QVBoxLayout(page);
    layout->addWidget(textLabel(QStringLiteral("The following is a list of general preferences for Quorvant 's main "
                                               "interface. To change preferences for editor options  please goto "
                                               "Options | Environment Options"),
                                page));
    layout->addWidget(noteLabel(QStringLiteral("Every setting here takes effect as soon as you press Done; there is "
                                               "no need to restart Quorvant."),
                                page));
    layout->addSpacing(6);
    layout->addLayout(boxes);
    layout->addWidget(markupBox);
    layout->addStretch(1);
    return page;
}

QWidget *TOptionsMenu::buildBrowserPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("BrowserOptionsPage"));

    m_browserList = new QTreeWidget(page);
    m_browserList->setObjectName(QStringLiteral("BrowserListView"));
    m_browserList->setColumnCount(2);
    m_browserList->setHeaderLabels({QStringLiteral("Browser Name:"), QStringLiteral("Browser Path")});
    m_browserList->setRootIsDecorated(false);
    m_browserList->setUniformRowHeights(true);
    m_browserList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_browserList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_browserList->setColumnWidth(0, 180);
    m_browserList->setMinimumHeight(90);
    auto *listLabel = new QLabel(QStringLiteral("Browsers Currently Available"), page);
    listLabel->setBuddy(m_browserList);

    m_shellTree = new QTreeView;
    m_shellTree->setObjectName(QStringLiteral("ShellTree1"));
    m_shellTree->setAccessibleName(QStringLiteral("Folders"));
    m_shellTree->setHeaderHidden(true);
    m_shellList = new QListView;
    m_shellList->setObjectName(QStringLiteral("ShellList1"));
    m_shellList->setAccessibleName(QStringLiteral("Files"));
    auto *shell = new QSplitter(Qt::Horizontal, page);
    shell->addWidget(m_shellTree);
    shell->addWidget(m_shellList);
    shell->setStretchFactor(0, 1);
    shell->setStretchFactor(1, 1);
    shell->setChildrenCollapsible(false);
    shell->setMinimumHeight(140);

    m_browserPath = lineEdit("Edit1", page);
    QPushButton *browse = button("Image19", QStringLiteral("..."), page);
    browse->setToolTip(QStringLiteral("Use open dialog to find file..."));
    browse->setFixedWidth(browse->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 24);
    connect(browse, &QPushButton::clicked, this, &TOptionsMenu::Image19Click);

    QPushButton *add = button("Image18", QStringLiteral("Add To Available Browsers"), page);
    QPushButton *remove = button("Image20", QStringLiteral("Remove Browser From List"), page);
    QPushButton *find = button("Image17", QStringLiteral("Find My Default Browser!"), page);
    connect(add, &QPushButton::clicked, this, &TOptionsMenu::Image18Click);
    connect(remove, &QPushButton::clicked, this, &TOptionsMenu::Image20Click);
    connect(find, &QPushButton::clicked, this, &TOptionsMenu::Image17Click);

    auto *pathRow = new QHBoxLayout;
    pathRow->addWidget(new QLabel(QStringLiteral("Path:"), page));
    pathRow->addWidget(m_browserPath, 1);
    pathRow->addWidget(browse);

    auto *commands = new QHBoxLayout;
    commands->addWidget(add);
    commands->addWidget(remove);
    commands->addStretch(1);
    commands->addWidget(find);

    auto *layout = new QVBoxLayout(page);
    layout->addWidget(textLabel(QStringLiteral("Please choose the browsers you want to use. These browsers will become "
                                               "available in the Preview In Browser section on the File menu."),
                                page));
    layout->addWidget(noteLabel(QStringLiteral("The Preview page always shows your document in Quorvant's built-in "
                                               "browser; the System Default Browser entry opens it in your "
                                               "desktop's default browser."),
                                page));
    layout->addSpacing(4);
    layout->addWidget(listLabel);
    layout->addWidget(m_browserList, 2);
    layout->addSpacing(4);
    layout->addWidget(new QLabel(QStringLiteral("Browse to a browser's program, or type its path:"), page));
    layout->addWidget(shell, 3);
    layout->addLayout(pathRow);
    layout->addLayout(commands);
    return page;
}

QWidget *TOptionsMenu::buildHalvornUserPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("HalvornUserPreferencesPage"));
    page->setWindowTitle(QStringLiteral("Halvorn User Preferences"));

    m_userName = lineEdit("HalvornUsernameedit", page);
    m_password = lineEdit("HalvornPasswordedit", page);
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));  // '*'
    m_autoConnect = checkBox("HalvornAutoConnect", QStringLiteral("Automatically Connect To Halvorn?"), page);
    QPushButton *save = button("Image37", QStringLiteral("Save user settings."), page);
    connect(save, &QPushButton::clicked, this, &TOptionsMenu::Image37Click);

    auto *fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("UserName:"), page), 0, 0);
    fields->addWidget(m_userName, 0, 1);
    fields->addWidget(new QLabel(QStringLiteral("Password:"), page), 1, 0);
    fields->addWidget(m_password, 1, 1);

    auto *layout = new QVBoxLayout(page);
    layout->addWidget(textLabel(QStringLiteral("The information in this window is used to automatically log you into "
                                               "the Halvorn network when you start the program."),
                                page));
    layout->addLayout(fields);
    layout->addWidget(m_autoConnect);
    layout->addWidget(save, 0, Qt::AlignLeft);
    layout->addStretch(1);
    return page;
}

QWidget *TOptionsMenu::buildHalvornNetworkPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("HalvornNetworkPage"));
    page->setWindowTitle(QStringLiteral("Halvorn Network"));

    m_networkAddress = lineEdit("HalvornNetworkAddress", page);
    QPushButton *save = button("Label18", QStringLiteral("Save New Network Settings"), page);
    connect(save, &QPushButton::clicked, this, &TOptionsMenu::Label18Click);

    auto *row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("Network Location:"), page));
    row->addWidget(m_networkAddress, 1);

    auto *layout = new QVBoxLayout(page);
    layout->addWidget(textLabel(QStringLiteral("Do not change unless specifically asked to do so by an Quorvant "
                                               "Halvorn Network Administrator."),
                                page));
    layout->addWidget(textLabel(QStringLiteral("Please do not change the information contained within this window, "
                                               "unless specifically asked to do so by an Quorvant Halvorn Network "
                                               "administrator."),
                                page));
    layout->addLayout(row);
    layout->addWidget(textLabel(QStringLiteral("Changing this without request may cause you to be unable to connect "
                                               "to the network."),
                                page));
    layout->addWidget(save, 0, Qt::AlignLeft);
    layout->addStretch(1);
    return page;
}

void TOptionsMenu::ensureShellModels()
{
    if (m_folderModel)
        return;
    const QString home = QDir::homePath();

    m_folderModel = new QFileSystemModel(this);
    m_folderModel->setFilter(QDir::AllDirs | QDir::Drives | QDir::NoDotAndDotDot);
    m_folderModel->setRootPath(QDir::rootPath());
    m_shellTree->setModel(m_folderModel);
    for (int column = 1; column < m_folderModel->columnCount(); ++column)
        m_shellTree->hideColumn(column);

    m_fileModel = new QFileSystemModel(this);
    m_fileModel->setFilter(QDir::AllDirs | QDir::Files | QDir::NoDotAndDotDot);
    m_shellList->setModel(m_fileModel);

    connect(m_shellTree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) { ShellTree1Change(current); });
    connect(m_shellList->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) { ShellList1Change(current); });
    // Opening a folder in the file list walks the tree into it.
    connect(m_shellList, &QListView::activated, this, [this](const QModelIndex &index) {
        if (!m_fileModel->isDir(index))
            return;
        const QModelIndex folder = m_folderModel->index(m_fileModel->filePath(index));
        m_shellTree->setCurrentIndex(folder);
        m_shellTree->scrollTo(folder);
    });

    const QModelIndex start = m_folderModel->index(home);
    m_shellTree->setCurrentIndex(start);
    ShellTree1Change(start);
    // The folders above home are listed and sorted a little later, each
    // time moving the rows: keep home in view until the user takes over.
    m_shellTree->scrollTo(start, QAbstractItemView::PositionAtCenter);
    const auto scrollHome = [this, home] {
        if (!m_followHome)
            return;
        QMetaObject::invokeMethod(this, [this, home] {
            if (m_followHome)
                m_shellTree->scrollTo(m_folderModel->index(home), QAbstractItemView::PositionAtCenter);
        }, Qt::QueuedConnection);
    };
    connect(m_folderModel, &QFileSystemModel::directoryLoaded, this, scrollHome);
    connect(m_folderModel, &QAbstractItemModel::layoutChanged, this, scrollHome);
    connect(m_shellTree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { m_followHome = false; });
    for (QObject *part : {static_cast<QObject *>(m_shellTree), static_cast<QObject *>(m_shellTree->viewport()),
                          static_cast<QObject *>(m_shellTree->verticalScrollBar())})
        part->installEventFilter(this);
}

bool TOptionsMenu::eventFilter(QObject *watched, QEvent *event)
{
    if (m_shellTree && (watched == m_shellTree || watched == m_shellTree->viewport()
                        || watched == m_shellTree->verticalScrollBar())) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::Wheel:
        case QEvent::KeyPress:
            m_followHome = false;
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TOptionsMenu::ShellTree1Change(const QModelIndex &index)
{
    if (!index.isValid())
        return;
    const QString folder = m_folderModel->filePath(index);
    m_shellList->setRootIndex(m_fileModel->setRootPath(folder));
}

void TOptionsMenu::ShellList1Change(const QModelIndex &index)
{
    if (index.isValid() && !m_fileModel->isDir(index))
        m_browserPath->setText(m_fileModel->filePath(index));
}

void TOptionsMenu::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    if (!m_centred) {
        m_centred = true;
        centreOnDesktop();
    }
    FormShow();
    if (m_tabs->currentWidget() == m_browserPage)
        ensureShellModels();
}

void TOptionsMenu::centreOnDesktop()
{
    const QScreen *desktop = screen();
    if (!desktop)
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(desktop->availableGeometry().center());
    move(frame.topLeft());
}

void TOptionsMenu::FormShow()
{
    if (!gSetupTools)
        return;
    bool pureTags = false, largeButton = false, controlBar = false, sideBar = false, colorBar = false,
         gutter = false, characterList = false;
    gSetupTools->LoadMainFormViewState(pureTags, largeButton, controlBar, sideBar, colorBar, gutter, characterList);
    bool lineNumbers = false, wordWrap = false, tagCompletion = false, lowerCase = false;
    gSetupTools->LoadFormViewStates2(lineNumbers, wordWrap, tagCompletion, lowerCase);

    m_pureTags->setChecked(pureTags);
    m_largeButtons->setChecked(largeButton);
    m_controlBar->setChecked(controlBar);
    m_sideBar->setChecked(sideBar);
    m_colorBar->setChecked(colorBar);
    m_gutter->setChecked(gutter);
    m_characters->setChecked(characterList);
    m_lineNumbers->setChecked(lineNumbers);
    m_wordWrap->setChecked(wordWrap);
    m_tagCompletion->setChecked(tagCompletion);
    m_lowerCase->setChecked(lowerCase);

    // A number outside the list (or -1) leaves the list without selection.
    const int parser = gSetupTools->LoadParserNumber();
    m_parser->setCurrentIndex(parser >= 0 && parser < m_parser->count() ? parser : -1);

    const bool html5 = gSetupTools->LoadWizardMarkup() == MarkupStyle::Html5;
    m_html5Markup->setChecked(html5);
    m_classicMarkup->setChecked(!html5);
}

void TOptionsMenu::Image46Click()
{
    if (gSetupTools) {
        // A save that fails has shown its error: keep the dialog open with the
        // user's choices rather than apply the old values over them.
        if (!gSetupTools->SaveMainFormViewState(m_pureTags->isChecked(), m_largeButtons->isChecked(),
                                                m_controlBar->isChecked(), m_sideBar->isChecked(),
                                                m_colorBar->isChecked(), m_gutter->isChecked(),
                                                m_characters->isChecked()))
            return;
        if (!gSetupTools->SaveFormViewStates2(m_lineNumbers->isChecked(), m_wordWrap->isChecked(),
                                              m_tagCompletion->isChecked(), m_lowerCase->isChecked()))
            return;
        if (!gSetupTools->SaveParserNumber(m_parser->currentIndex()))
            return;
        if (!gSetupTools->SaveWizardMarkup(m_html5Markup->isChecked() ? MarkupStyle::Html5 : MarkupStyle::Classic))
            return;
        if (m_applyAll)
            m_applyAll();
    }
    hide();
}

void TOptionsMenu::Image16Click()
{
    hide();
}

void TOptionsMenu::Image19Click()
{
    // Start beside the typed path when it names a folder, else where the
    // file list is.
    const QFileInfo typed(m_browserPath->text());
    QString directory = typed.absolutePath();
    if (m_browserPath->text().isEmpty() || typed.isRelative() || !QFileInfo(directory).isDir())
        directory = m_fileModel ? m_fileModel->rootPath() : QDir::homePath();
    // A file dialog cannot filter by permission: both filters list every
    // file, and the choice is checked afterwards.
    const QStringList chosen = MessageService::getOpenFileNames(
        this, QStringLiteral("Open"), directory,
        {{QStringLiteral("All Files"), QStringLiteral("*")}, {QStringLiteral("Executable Files"), QStringLiteral("*")}},
        1);
    if (chosen.isEmpty())
        return;
    const QString path = chosen.first();
    const QFileInfo info(path);
    if (!info.isFile() || !info.isExecutable()) {
        MessageService::information(this, QStringLiteral("\"%1\" is not a program you can run, so it cannot be used "
                                                         "as a browser. Please choose an executable file.")
                                              .arg(path));
        return;
    }
    m_browserPath->setText(path);
}

void TOptionsMenu::Image18Click()
{
    const QString path = m_browserPath->text();
    if (path.isEmpty()) {
        MessageService::information(
            this, QStringLiteral("The path for your browser is empty!, you must enter a path for your browser."));
        return;
    }
    QString name;
    if (!MessageService::getText(this, QStringLiteral("Browser Name"),
                                 QStringLiteral("Please Enter a name for the browser you are adding: "), &name)
        || name.isEmpty()) {
        MessageService::information(this, QStringLiteral("You must set a name for the browser before you can add it."));
        return;
    }
    if (!gSetupTools)
        return;
    gSetupTools->AddBrowser(name, path);
    refreshSystemSettings();
}

void TOptionsMenu::Image20Click()
{
    const QList<QTreeWidgetItem *> selected = m_browserList->selectedItems();
    if (selected.isEmpty())
        return;
    const QString name = selected.first()->text(0);
    const MessageButton answer = MessageService::show(
        this, QStringLiteral("Are you sure you want to remove \"%1\" from your browsers list?").arg(name),
        MessageIcon::Information, YesNo);
    if (answer != mbYes || !gSetupTools)
        return;
    gSetupTools->RemoveBrowser(name);
    refreshSystemSettings();
}

void TOptionsMenu::Image17Click()
{
    for (int row = 0; row < m_browserList->topLevelItemCount(); ++row) {
        if (m_browserList->topLevelItem(row)->text(0) == TSetupTools::SystemBrowserName()) {
            MessageService::information(this, QStringLiteral("Your default browser is already installed... to "
                                                             "re-install it you must first delete it from the list."));
            return;
        }
    }
    if (!gSetupTools)
        return;
    gSetupTools->FindIE();
    refreshSystemSettings();
    MessageService::information(this,
                                QStringLiteral("Your default browser has been found and added to the previews menu."));
}

void TOptionsMenu::Image37Click()
{
    if (!gSetupTools)
        return;
    const QString name = m_userName->text();
    const QString password = m_password->text();
    const bool saved = gSetupTools->SaveHalvornUserNameAndPassword(name, password, m_autoConnect->isChecked());
    // Empty fields store nothing yet still get the message; a file that
    // could not be written has shown its own error instead.
    if (saved || name.isEmpty() || password.isEmpty())
        MessageService::information(this, QStringLiteral("Your network user settings have been saved."));
}

void TOptionsMenu::Label18Click()
{
    const MessageButton answer = MessageService::show(
        this, QStringLiteral("Are you sure you want to change the Halvorn Network settings?"),
        MessageIcon::Information, YesNo);
    if (answer != mbYes || !gSetupTools)
        return;
    if (gSetupTools->SaveHalvornNetworkSettings(m_networkAddress->text()))
        MessageService::information(this, QStringLiteral("Your new network settings have been saved!"));
}

void TOptionsMenu::refreshSystemSettings()
{
    TSystemSettings settings;
    gSetupTools->LoadSystemSettings(&settings);
    fillSystemSettings(settings);
    if (m_systemSettingsReloaded)
        m_systemSettingsReloaded(settings);
}

void TOptionsMenu::fillSystemSettings(const TSystemSettings &settings)
{
    m_browserList->clear();
    for (const TBrowserEntry &entry : settings.Browsers)
        m_browserList->addTopLevelItem(new QTreeWidgetItem(QStringList{entry.Name, entry.Path}));
    m_networkAddress->setText(settings.HalvornNetworkAddress);
    m_userName->setText(settings.HalvornUsernameedit);
    m_password->setText(settings.HalvornPasswordedit);
    m_autoConnect->setChecked(settings.HalvornAutoConnect);
}

QString TOptionsMenu::networkAddress() const
{
    return m_networkAddress->text();
}

QString TOptionsMenu::userName() const
{
    return m_userName->text();
}

QString TOptionsMenu::password() const
{
    return m_password->text();
}

bool TOptionsMenu::autoConnect() const
{
    return m_autoConnect->isChecked();
}

} // namespace Quorvant
