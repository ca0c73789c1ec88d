#include "insertwizards.h"

#include "html5markup.h"
#include "tlocalfilespage.h"
#include "tmnuanchorlink.h"
#include "tmnuemail.h"
#include "tmnuimages.h"
#include "tmnutables.h"
#include "tquicktablesmenu.h"
#include "wizardsupport.h"

#include "mainwindow.h"

#include "appglobals.h"
#include "lazypage.h"
#include "linkwizard.h"
#include "messageservice.h"
#include "pathsandcolours.h"
#include "settingsglobals.h"
#include "tagplacement.h"

#include <QAction>
#include <QMenu>
#include <QTabWidget>

namespace Quorvant {

namespace {

template <class Dialog>
void runDialog(TForm1 &form)
{
    Dialog dialog(form, &form);
    dialog.exec();
}

void linkToLocalFile(TForm1 &form)
{
    const QList<FileFilter> filters = {
        {QStringLiteral("All Supported Documents"),
         QStringLiteral("*.htm;*.shtml;*.html;*.asp;*.txt;*.asc;*.text;*.sql;*.java;*.pl;*.cgi")},
        {QStringLiteral("All Files"), QStringLiteral("*")},
    };
    const QStringList files = MessageService::getOpenFileNames(&form, QStringLiteral("Link to local file"),
                                                               gDir.MainOpenDir, filters);
    if (files.isEmpty())
        return;
    const QString link = convertfilename(files.first(), gCurrentFilePath);
    const MarkupPair texts = wizardMarkup() == MarkupStyle::Html5 ? html5FileLinkTexts(link) : fileLinkTexts(link);
    form.withBuffer([&texts](ITextBuffer *b) { ptext(b, texts.start, texts.end); });
}

} // namespace

void installInsertWizards(TForm1 &form)
{
    form.commands().add(QStringLiteral("TableWizard"), [&form] { runDialog<Tmnutables>(form); });
    form.commands().add(QStringLiteral("QuickTables"), [&form] { Tquicktablesmenu::open(form); });
    form.commands().add(QStringLiteral("ImageWizard"), [&form] { runDialog<Tmnuimages>(form); });
    form.commands().add(QStringLiteral("LinkWizard"), [&form] { runDialog<TMnuAnchorLink>(form); });

    QMenu *insert = form.menu(QStringLiteral("Insert1"));
    auto add = [&form, insert](const char *name, const QString &caption, std::function<void()> handler) {
        QAction *a = insert->addAction(caption);
        a->setObjectName(QLatin1String(name));
        QObject::connect(a, &QAction::triggered, &form, std::move(handler));
    };
    add("Tables1", QStringLiteral("Tables..."), [&form] { form.commands().run(QStringLiteral("TableWizard")); });
    add("Image1", QStringLiteral("Image..."), [&form] { form.commands().run(QStringLiteral("ImageWizard")); });
    add("AnchorLink1", QStringLiteral("Anchor/Link..."), [&form] { form.commands().run(QStringLiteral("LinkWizard")); });
    add("Email1", QStringLiteral("Email..."), [&form] { runDialog<TMnuEmail>(form); });
    add("Linktolocalfile1", QStringLiteral("Link to local file"), [&form] { linkToLocalFile(form); });
    add("QuorvantLinkButton1", QStringLiteral("Quorvant - Link Button"),
        [&form] { form.withBuffer([](ITextBuffer *b) { ptext(b, wizardMarkup() == MarkupStyle::Html5 ? html5LinkButtonText() : linkButtonText(), QString()); }); });
    insert->addSeparator();

    if (QWidget *local = form.sidebar()->findChild<QWidget *>(QStringLiteral("LocalPage")))
        buildOnFirstShow(local, [&form, local] { new TLocalFilesPage(form, local); });
}

} // namespace Quorvant
