// The source commands of the main window: case conversion, lists, line
// breaks, comments, links, tag selection, strip all tags, text file import
// and the colour bar.
#include "mainwindow.h"

#include "documentset.h"
#include "generalfilecommands.h"
#include "messageservice.h"
#include "pathsandcolours.h"
#include "tagscanning.h"
#include "tdcmemo.h"
#include "tmemosource.h"
#include "transformations.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QColorDialog>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QVBoxLayout>

namespace Quorvant {

namespace {

RgbColor toRgb(const QColor &c)
{
    return {c.red(), c.green(), c.blue()};
}

void setSwatch(QPushButton *b, const QColor &c)
{
    b->setStyleSheet(QStringLiteral("background-color: %1; border: 1px solid #555; min-height: 22px;").arg(c.name()));
}

} // namespace

void TForm1::withBuffer(const std::function<void(ITextBuffer *)> &command)
{
    if (TMemoSource *b = m_documents->currentBuffer()) {
        command(b);
        m_memo->setFocus();
    }
}

void TForm1::buildSourceCommands()
{
    auto add = [this](QMenu *menu, const char *name, const QString &caption, std::function<void()> handler) {
        QAction *a = menu->addAction(caption);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, std::move(handler));
        return a;
    };

    // Edit menu.
    QMenu *edit = menu(QStringLiteral("Edit1"));
    edit->addSeparator();
    QMenu *caseMenu = edit->addMenu(QStringLiteral("Convert Selected Text Case"));
    caseMenu->setObjectName(QStringLiteral("ConvertSelectedTextCase1"));
    add(caseMenu, "Upper1", QStringLiteral("Upper"), [this] { withBuffer([](ITextBuffer *b) { ConvertSelectedTextCase(b, true); }); });
    add(caseMenu, "Lower1", QStringLiteral("Lower"), [this] { withBuffer([](ITextBuffer *b) { ConvertSelectedTextCase(b, false); }); });
    add(edit, "PasteandConverttotables1", QStringLiteral("Paste and Convert to Tables"), [this] {
        const QMimeData *mime = QApplication::clipboard()->mimeData();
        if (!mime || !mime->hasText())
            return;
        const QString text = mime->text();
        withBuffer([&text](ITextBuffer *b) { PasteAndConvertToTables(b, text); });
    });
    add(edit, "SelectTagatCaret1", QStringLiteral("Select Tag at Caret"), [this] { withBuffer([](ITextBuffer *b) { SelectTagAtCaret(b); }); });

    // Editor pop-up menu.
    m_editorMenu->addSeparator();
    QMenu *selected = m_editorMenu->addMenu(QStringLiteral("Selected..."));
    selected->setObjectName(QStringLiteral("Selected1"));
    add(selected, "Touppercase1", QStringLiteral("To uppercase"), [this] { withBuffer([](ITextBuffer *b) { ConvertSelectedTextCase(b, true); }); });
    add(selected, "Tolowercase1", QStringLiteral("To lowercase"), [this] { withBuffer([](ITextBuffer *b) { ConvertSelectedTextCase(b, false); }); });
    add(selected, "Charactercount1", QStringLiteral("Character count"), [this] {
        if (TMemoSource *b = m_documents->currentBuffer())
            MessageService::information(this, CharacterCountMessage(b));
    });
    add(selected, "Addlinebreaksbr1", QStringLiteral("Add line breaks <br>"), [this] { withBuffer([](ITextBuffer *b) { AddLineBreaks(b); }); });
    add(selected, "Commentselectedtext1", QStringLiteral("Comment selected text"), [this] { withBuffer([](ITextBuffer *b) { CommentSelectedText(b); }); });
    add(selected, "Convertselectedtexttolist1", QStringLiteral("Convert selected text to un-ordered list"),
        [this] { withBuffer([](ITextBuffer *b) { ConvertSelectedTextToList(b, false); }); });
    add(selected, "Convertselectedtexttoorderedlist1", QStringLiteral("Convert selected text to ordered list"),
        [this] { withBuffer([](ITextBuffer *b) { ConvertSelectedTextToList(b, true); }); });
    add(m_editorMenu, "MakeLink1", QStringLiteral("Make Link..."), [this] { withBuffer([](ITextBuffer *b) { MakeLink(b); }); });
    add(m_editorMenu, "MakeEMailLink1", QStringLiteral("Make E-Mail Link..."), [this] { withBuffer([](ITextBuffer *b) { MakeEMailLink(b); }); });

    // Tools menu.
    add(menu(QStringLiteral("Tools1")), "Stripalltagsfromdocument1", QStringLiteral("Strip all tags from document"), [this] {
        TMemoSource *b = m_documents->currentBuffer();
        if (!b)
            return;
        if (MessageService::show(this, QLatin1String(StripAllTagsWarning), MessageIcon::Information, YesNo) == mbYes)
            StripAllTags(b);
    });

    // File menu: text files.
    QMenu *file = menu(QStringLiteral("File1"));
    QAction *before = action(QStringLiteral("Reopen1")) ? menu(QStringLiteral("Reopen1"))->menuAction() : nullptr;
    auto *import = new QAction(QStringLiteral("Import/Insert Textfile"), this);
    import->setObjectName(QStringLiteral("Import1"));
    auto *convert = new QAction(QStringLiteral("Convert Text File -> HTML Document"), this);
    convert->setObjectName(QStringLiteral("ConvertTextFileHTMLDocument1"));
    file->insertActions(before, {import, convert});
    file->insertSeparator(before);
    const QList<FileFilter> filters = {{QLatin1String(AllFilesFilterName), QLatin1String(AllFilesFilterPatterns)},
                                       {QLatin1String(TextFilesFilterName), QLatin1String(TextFilesFilterPatterns)}};
    connect(import, &QAction::triggered, this, [this, filters] {
        TMemoSource *b = m_documents->currentBuffer();
        if (!b)
            return;
        const QStringList files = MessageService::getOpenFileNames(this, QLatin1String(ImportTextFileDialogTitle),
                                                                   gDir.MainOpenDir, filters);
        if (files.isEmpty())
            return;
        TGeneralFileCommands(debugTarget()).ImportTextFile(b, files.first());
        m_memo->setFocus();
    });
    connect(convert, &QAction::triggered, this, [this, filters] {
        const QStringList files = MessageService::getOpenFileNames(this, QLatin1String(ImportTextFileDialogTitle),
                                                                   gDir.MainOpenDir, filters);
        if (files.isEmpty())
            return;
        const bool newPage = MessageService::show(this, QLatin1String(OpenAsNewPageQuestion), MessageIcon::Information, YesNo) == mbYes;
        if (newPage)
            m_documents->CreateNewPage();
        TMemoSource *b = m_documents->currentBuffer();
        if (!b)
            return;
        TGeneralFileCommands(debugTarget()).ConvertTextFileToHTML(b, files.first(), newPage);
        m_memo->setFocus();
    });

    buildColorBar();
}

void TForm1::buildColorBar()
{
    auto *layout = static_cast<QVBoxLayout *>(m_colorBar->layout());
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    m_firstColor = QColor(Qt::black);
    m_secondColor = QColor(Qt::white);
    auto *first = new QPushButton(m_colorBar);
    first->setObjectName(QStringLiteral("FirstColorSwatch"));
    first->setToolTip(QStringLiteral("First colour: click to choose"));
    auto *second = new QPushButton(m_colorBar);
    second->setObjectName(QStringLiteral("SecondColorSwatch"));
    second->setToolTip(QStringLiteral("Second colour: click to choose"));
    setSwatch(first, m_firstColor);
    setSwatch(second, m_secondColor);
    connect(first, &QPushButton::clicked, this, [this, first] {
        const QColor c = QColorDialog::getColor(m_firstColor, this);
        if (c.isValid()) {
            m_firstColor = c;
            setSwatch(first, c);
        }
    });
    connect(second, &QPushButton::clicked, this, [this, second] {
        const QColor c = QColorDialog::getColor(m_secondColor, this);
        if (c.isValid()) {
            m_secondColor = c;
            setSwatch(second, c);
        }
    });
    auto *fg = new QPushButton(QStringLiteral("FG Color"), m_colorBar);
    fg->setObjectName(QStringLiteral("ToolbarButton97127"));
    fg->setToolTip(QStringLiteral("Insert the current forground color into your document"));
    auto *bg = new QPushButton(QStringLiteral("BG Color"), m_colorBar);
    bg->setObjectName(QStringLiteral("ToolbarButton97128"));
    bg->setToolTip(QStringLiteral("Insert the current background color into your document"));
    m_colorTag = new QCheckBox(QStringLiteral("tag?"), m_colorBar);
    m_colorTag->setObjectName(QStringLiteral("ColorTagCheckBox"));
    m_colorTag->setToolTip(QStringLiteral("Use the <font> tag..."));
    connect(fg, &QPushButton::clicked, this, [this] {
        withBuffer([this](ITextBuffer *b) { InsertColor(b, toRgb(m_firstColor), m_colorTag->isChecked()); });
    });
    connect(bg, &QPushButton::clicked, this, [this] {
        withBuffer([this](ITextBuffer *b) { InsertColor(b, toRgb(m_secondColor), m_colorTag->isChecked()); });
    });
    for (QWidget *w : std::initializer_list<QWidget *>{first, second, fg, bg, m_colorTag})
        layout->addWidget(w);
    layout->addStretch(1);
}

void TForm1::setColorBarColors(const QColor &first, const QColor &second)
{
    m_firstColor = first;
    m_secondColor = second;
    if (auto *b = m_colorBar->findChild<QPushButton *>(QStringLiteral("FirstColorSwatch")))
        setSwatch(b, first);
    if (auto *b = m_colorBar->findChild<QPushButton *>(QStringLiteral("SecondColorSwatch")))
        setSwatch(b, second);
}

} // namespace Quorvant
