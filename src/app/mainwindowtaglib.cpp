// The sidebar's "Tags" page: the user's tag lists and their tags.
#include "datafolder.h"
#include "documentset.h"
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

void TForm1::installTagLibraryPage()
{
    auto *holder = m_sidebar->findChild<QWidget *>(QStringLiteral("TagsPage"));
    if (!holder)
        return;
    holder->setToolTip(QStringLiteral("You can add custom tags here..."));
    auto *layout = holder->layout() ? holder->layout() : new QVBoxLayout(holder);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *page = new TTagLibraryPage(holder);
    page->setObjectName(QStringLiteral("TagLibraryPage"));
    layout->addWidget(page);
    // The debug window exists only once the shell is attached, so it is looked up on each line.
    page->setDebugger([this](const QString &line) { debugOut(debugTarget(), line); });

    connect(page, &TTagLibraryPage::placeSelectedTag, this, [this](const QString &start, const QString &end) {
        TMemoSource *b = m_documents->currentBuffer();
        if (!b)
            return;
        if (PlaceSelectedTag(b, start, end))
            m_memo->setFocus();
    });
    connect(page, &TTagLibraryPage::placeExtendedTag, this, [this, page](const QString &extended) {
        if (!PlaceExtendedTag(m_documents->currentBuffer(), extended))
            MessageService::information(page, QString::fromLatin1(NoExtendedSectionMessage));
    });

    page->LoadTagLists(DataFolder::path());
}

} // namespace Quorvant
