// The source commands of the main window: case conversion, lists, line
// breaks, comments, links, tag selection, strip all tags, text file import
// and the colour bar.
#include "installtoolkit.h"

#include "colorbar.h"
#include "mainwindow.h"

#include "documentset.h"
#include "generalfilecommands.h"
#include "messageservice.h"
#include "pathsandcolours.h"
#include "settingsglobals.h"
#include "setuptools.h"
#include "tagplacement.h"
#include "tagscanning.h"
#include "tdcmemo.h"
#include "tmemosource.h"
#include "transformations.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QTabWidget>

namespace Quorvant {

void installToolkit(TForm1 &form)
{
    auto add = [&form](QMenu *menu, const char *name, const QString &caption, std::function<void()> handler) {
        QAction *a = menu->addAction(caption);
        a->setObjectName(QLatin1String(name));
        QObject::connect(a, &QAction::triggered, &form, std::move(handler));
        return a;
    };

    // Edit menu.
    QMenu *edit = form.menu(QStringLiteral("Edit1"));
    edit->addSeparator();
    QMenu *caseMenu = edit->addMenu(QStringLiteral("Convert Selected Text Case"));
    caseMenu->setObjectName(QStringLiteral("ConvertSelectedTextCase1"));
    add(caseMenu, "Upper1", QStringLiteral("Upper"), [&form] { form.withBuffer([](ITextBuffer *b) { ConvertSelectedTextCase(b, true); }); });
    add(caseMenu, "Lower1", QStringLiteral("Lower"), [&form] { form.withBuffer([](ITextBuffer *b) { ConvertSelectedTextCase(b, false); }); });
    add(edit, "PasteandConverttotables1", QStringLiteral("Paste and Convert to Tables"), [&form] {
        const QMimeData *mime = QApplication::clipboard()->mimeData();
        if (!mime || !mime->hasText())
            return;
        const QString text = mime->text();
        form.withBuffer([&text](ITextBuffer *b) { PasteAndConvertToTables(b, text); });
    });
    add(edit, "SelectTagatCaret1", QStringLiteral("Select Tag at Caret"), [&form] { form.withBuffer([](ITextBuffer *b) { SelectTagAtCaret(b); }); });

    // Editor pop-up menu.
    form.editorMenu()->addSeparator();
    QMenu *selected = form.editorMenu()->addMenu(QStringLiteral("Selected..."));
    selected->setObjectName(QStringLiteral("Selected1"));
    add(selected, "Touppercase1", QStringLiteral("To uppercase"), [&form] { form.withBuffer([](ITextBuffer *b) { ConvertSelectedTextCase(b, true); }); });
    add(selected, "Tolowercase1", QStringLiteral("To lowercase"), [&form] { form.withBuffer([](ITextBuffer *b) { ConvertSelectedTextCase(b, false); }); });
    add(selected, "Charactercount1", QStringLiteral("Character count"), [&form] {
        if (TMemoSource *b = form.documents()->currentBuffer())
            MessageService::plain(&form, CharacterCountMessage(b));
    });
    add(selected, "Addlinebreaksbr1", QStringLiteral("Add line breaks <br>"), [&form] { form.withBuffer([](ITextBuffer *b) { AddLineBreaks(b); }); });
    add(selected, "Commentselectedtext1", QStringLiteral("Comment selected text"), [&form] { form.withBuffer([](ITextBuffer *b) { CommentSelectedText(b); }); });
    add(selected, "Convertselectedtexttolist1", QStringLiteral("Convert selected text to un-ordered list"),
        [&form] { form.withBuffer([](ITextBuffer *b) { ConvertSelectedTextToList(b, false); }); });
    add(selected, "Convertselectedtexttoorderedlist1", QStringLiteral("Convert selected text to ordered list"),
        [&form] { form.withBuffer([](ITextBuffer *b) { ConvertSelectedTextToList(b, true); }); });
    add(form.editorMenu(), "MakeLink1", QStringLiteral("Make Link..."), [&form] { form.withBuffer([](ITextBuffer *b) { MakeLink(b); }); });
    add(form.editorMenu(), "MakeEMailLink1", QStringLiteral("Make E-Mail Link..."), [&form] { form.withBuffer([](ITextBuffer *b) { MakeEMailLink(b); }); });

    // Tools menu.
    add(form.menu(QStringLiteral("Tools1")), "Stripalltagsfromdocument1", QStringLiteral("Strip all tags from document"), [&form] {
        TMemoSource *b = form.documents()->currentBuffer();
        if (!b)
            return;
        if (MessageService::show(&form, QLatin1String(StripAllTagsWarning), MessageIcon::Information, YesNo) == mbYes)
            StripAllTags(b);
    });

    // File menu: text files.
    QMenu *file = form.menu(QStringLiteral("File1"));
    // Above "Re-open...", which is a submenu (no action of that name).
    QMenu *reopen = form.menu(QStringLiteral("Reopen1"));
    QAction *before = reopen ? reopen->menuAction() : nullptr;
    auto *import = new QAction(QStringLiteral("Import/Insert Textfile"), &form);
    import->setObjectName(QStringLiteral("Import1"));
    auto *convert = new QAction(QStringLiteral("Convert Text File -> HTML Document"), &form);
    convert->setObjectName(QStringLiteral("ConvertTextFileHTMLDocument1"));
    file->insertActions(before, {import, convert});
    file->insertSeparator(before);
    const QList<FileFilter> filters = {{QLatin1String(AllFilesFilterName), QLatin1String(AllFilesFilterPatterns)},
                                       {QLatin1String(TextFilesFilterName), QLatin1String(TextFilesFilterPatterns)}};
    QObject::connect(import, &QAction::triggered, &form, [&form, filters] {
        TMemoSource *b = form.documents()->currentBuffer();
        if (!b)
            return;
        const QStringList files = MessageService::getOpenFileNames(&form, QLatin1String(ImportTextFileDialogTitle),
                                                                   gDir.MainOpenDir, filters);
        if (files.isEmpty())
            return;
        TGeneralFileCommands(form.debugTarget()).ImportTextFile(b, files.first());
        form.DCMemo1()->setFocus();
    });
    QObject::connect(convert, &QAction::triggered, &form, [&form, filters] {
        const QStringList files = MessageService::getOpenFileNames(&form, QLatin1String(ImportTextFileDialogTitle),
                                                                   gDir.MainOpenDir, filters);
        if (files.isEmpty())
            return;
        const bool newPage = MessageService::show(&form, QLatin1String(OpenAsNewPageQuestion), MessageIcon::Information, YesNo) == mbYes;
        if (newPage)
            form.documents()->CreateNewPage();
        TMemoSource *b = form.documents()->currentBuffer();
        if (!b)
            return;
        const MarkupStyle markup = gSetupTools ? gSetupTools->LoadWizardMarkup() : MarkupStyle::Classic;
        TGeneralFileCommands(form.debugTarget()).ConvertTextFileToHTML(b, files.first(), newPage, markup);
        form.DCMemo1()->setFocus();
    });

    new TColorBar(form.colorBar(), &form);

    // Drops from the tag list and the snippet list go where the caret is.
    TDCMemo *memo = form.DCMemo1();
    QObject::connect(memo, &IEditorView::tagDropped, &form, [&form](const QString &start, const QString &end) {
        if (TMemoSource *b = form.documents()->currentBuffer(); b && PlaceSelectedTag(b, start, end))
            form.DCMemo1()->setFocus();
    });
    QObject::connect(memo, &IEditorView::snippetDropped, &form, [&form](const QString &snippet) {
        const DropTexts parts = splitSnippetForDrop(snippet);
        if (form.tabholder()->currentIndex() == 0)
            form.DCMemo1()->setFocus();
        if (TMemoSource *b = form.documents()->currentBuffer())
            ptext(b, parts.startText, parts.endText);
    });
}

} // namespace Quorvant
