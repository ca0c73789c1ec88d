#include "tscriptlibrarywindow.h"

#include "choicelist.h"
#include "messageservice.h"
#include "tscriptinserter.h"
#include "tscriptpreview.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace Quorvant {

namespace {

struct KindTexts
{
    const char *objectName;
    const char *caption;
    const char *browserName;
    const char *error;
};

KindTexts textsOf(TScriptLibraryWindow::Kind kind)
{
    if (kind == TScriptLibraryWindow::Kind::JavaScript)
        return {"MnuJavaScript", "Insert Javascript", "JavaScriptPreview",
                "Error!: There was an error adding the JavaScript HTML file to your project! Please see help to find "
                "out what to do with Error! messages..."};
    return {"MnuDHTML", "Insert DHTML", "DHTMLPreview",
            "Error!: There was an error adding the Dynamic HTML file to your project! Please see help to find out "
            "what to do with Error! messages..."};
}

// Pages with more scripts, opened in the user's browser.
struct OutsidePage
{
    const char *name;
    const char *caption;
    const char *hint;
    const char *address;
};
const OutsidePage OutsidePages[] = {
    {"ScriptReferenceButton", "JavaScript reference", "The JavaScript reference and guides on MDN",
     "https://developer.mozilla.org/en-US/docs/Web/JavaScript"},
    {"ScriptExamplesButton", "More examples", "Worked examples of the web platform's features",
     "https://developer.mozilla.org/en-US/docs/Learn"},
    {"WebHostingButton", "Free web hosting", "Put your pages on the web for free with GitHub Pages",
     "https://pages.github.com/"},
};

} // namespace

TScriptLibraryWindow::TScriptLibraryWindow(Kind kind, const QString &folder, std::function<ITextBuffer *()> insertTarget,
                                           QWidget *host)
    : QWidget(host)
    , m_kind(kind)
    , m_folder(folder)
    , m_target(std::move(insertTarget))
    , m_host(host)
{
    const KindTexts texts = textsOf(kind);
    setObjectName(QLatin1String(texts.objectName) + QStringLiteral("Panel"));
    host->setObjectName(QLatin1String(texts.objectName));
    host->setWindowTitle(QLatin1String(texts.caption));
    host->setWindowModality(Qt::ApplicationModal);
    host->resize(820, 560);
    auto *hostLayout = host->layout() ? host->layout() : new QVBoxLayout(host);
    hostLayout->setContentsMargins(0, 0, 0, 0);
    hostLayout->addWidget(this);

    auto *layout = new QVBoxLayout(this);
    auto *split = new QSplitter(Qt::Horizontal, this);
    m_list = new ChoiceList(split);
    m_list->setObjectName(kind == Kind::JavaScript ? QStringLiteral("JavaScriptList") : QStringLiteral("DHTMLList"));
    m_list->setHeaderLabels({kind == Kind::JavaScript ? QStringLiteral("Javascript") : QStringLiteral("DHTML")});
    m_list->setRootIsDecorated(false);
    m_list->setAccessibleName(QStringLiteral("Scripts"));
    m_list->header()->setStretchLastSection(true);
    auto *right = new QWidget(split);
    auto *rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    m_preview = new TScriptPreview(QLatin1String(texts.browserName), right);
    rightLayout->addWidget(new QLabel(QStringLiteral("Preview:"), right));
    rightLayout->addWidget(m_preview, 3);
    m_description = new QPlainTextEdit(right);
    m_description->setObjectName(QStringLiteral("Memo1"));
    m_description->setTabChangesFocus(true);
    auto *descriptionLabel = new QLabel(QStringLiteral("Description:"), right);
    descriptionLabel->setBuddy(m_description);
    rightLayout->addWidget(descriptionLabel);
    m_description->setReadOnly(true);
    m_description->setMaximumHeight(90);
    rightLayout->addWidget(m_description, 1);
    split->addWidget(m_list);
    split->addWidget(right);
    split->setStretchFactor(1, 3);
    split->setSizes({220, 580});
    layout->addWidget(split, 1);

    auto *buttons = new QHBoxLayout;
    for (const OutsidePage &page : OutsidePages) {
        auto *b = new QToolButton(this);
        b->setObjectName(QLatin1String(page.name));
        b->setText(QLatin1String(page.caption));
        b->setToolTip(QLatin1String(page.hint));
        b->setAutoRaise(true);
        const QUrl address(QLatin1String(page.address));
        connect(b, &QToolButton::clicked, this, [address] { QDesktopServices::openUrl(address); });
        buttons->addWidget(b);
    }
    buttons->addStretch(1);
    m_done = new QPushButton(QStringLiteral("Done"), this);
    m_done->setObjectName(QStringLiteral("DoneButton"));
    m_done->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    buttons->addWidget(m_done);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    connect(m_list, &QTreeWidget::currentItemChanged, this, &TScriptLibraryWindow::selectionChanged);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &TScriptLibraryWindow::itemDoubleClicked);
    connect(m_done, &QPushButton::clicked, this, [this] { done(); });
    connect(cancel, &QPushButton::clicked, host, &QWidget::close);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), host), &QShortcut::activated, host, &QWidget::close);
}

void TScriptLibraryWindow::ListAllScripts()
{
    QList<TScriptEntry> entries;
    if (!TScriptLibrary::ListScripts(m_folder, &entries))
        return;  // a missing folder keeps the last list
    m_entries = entries;
    m_list->clear();
    for (const TScriptEntry &e : std::as_const(m_entries))
        new QTreeWidgetItem(m_list, {e.Title});
    m_description->clear();
}

void TScriptLibraryWindow::showLibrary()
{
    ListAllScripts();
    // The first time, over the window it was opened from.
    if (!m_placed) {
        m_placed = true;
        if (QWidget *from = QApplication::activeWindow(); from && from != m_host)
            m_host->move(from->geometry().center() - QPoint(m_host->width() / 2, m_host->height() / 2));
    }
    m_host->show();
    m_host->raise();
    m_host->activateWindow();
}

const TScriptEntry *TScriptLibraryWindow::selectedEntry() const
{
    const int row = m_list->indexOfTopLevelItem(m_list->currentItem());
    return row >= 0 && row < m_entries.size() ? &m_entries.at(row) : nullptr;
}

void TScriptLibraryWindow::selectionChanged()
{
    const TScriptEntry *e = selectedEntry();
    if (!e || !QFileInfo(e->Path).isFile())
        return;
    m_preview->navigate(QUrl::fromLocalFile(e->Path));
    m_description->setPlainText(e->Description);
}

void TScriptLibraryWindow::itemDoubleClicked(QTreeWidgetItem *)
{
    if (m_kind == Kind::DHTML)
        done();
}

bool TScriptLibraryWindow::done()
{
    const TScriptEntry *e = selectedEntry();
    if (!e)
        return true;
    if (!QFileInfo(e->Path).isFile()) {
        MessageService::error(m_host, QLatin1String(textsOf(m_kind).error));
        return false;
    }
    // Without a document there is nothing to insert into.
    if (ITextBuffer *buffer = m_target ? m_target() : nullptr) {
        TScriptInserter(buffer, [this](const QString &text) { MessageService::information(m_host, text); })
            .InsertScript(e->Path);
    }
    m_host->close();
    Q_EMIT inserted();
    return true;
}

} // namespace Quorvant
