// The sidebar's "Tags" page: the user's tag lists and their tags.
#include "datafolder.h"
#include "documentset.h"
#include "installtags.h"
#include "mainwindow.h"
#include "messageservice.h"
#include "taglibrarypage.h"
#include "tagplacement.h"
#include "tdcmemo.h"
#include "tmemosource.h"

#include <QLayout>
#include <QTabWidget>
#include <QVBoxLayout>

namespace Quorvant {

void installTagLibraryPage(TForm1 &form)
{
    auto *holder = form.sidebar()->findChild<QWidget *>(QStringLiteral("TagsPage"));
    if (!holder)
        return;
    holder->setToolTip(QStringLiteral("You can add custom tags here..."));
    auto *layout = holder->layout() ? holder->layout() : new QVBoxLayout(holder);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *page = new TTagLibraryPage(holder);
    page->setObjectName(QStringLiteral("TagLibraryPage"));
    layout->addWidget(page);
    // The debug window exists only once the shell is attached, so it is looked up on each line.
    page->setDebugger([&form](const QString &line) { debugOut(form.debugTarget(), line); });

    QObject::connect(page, &TTagLibraryPage::placeSelectedTag, &form, [&form](const QString &start, const QString &end) {
        TMemoSource *b = form.documents()->currentBuffer();
        if (!b)
            return;
        if (PlaceSelectedTag(b, start, end))
            form.DCMemo1()->setFocus();
    });
    QObject::connect(page, &TTagLibraryPage::placeExtendedTag, &form, [&form, page](const QString &extended) {
        if (!PlaceExtendedTag(form.documents()->currentBuffer(), extended))
            MessageService::information(page, QString::fromLatin1(NoExtendedSectionMessage));
    });

    page->LoadTagLists(DataFolder::path());
}

} // namespace Quorvant
