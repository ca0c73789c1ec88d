#include "benchwindow.h"

#include "documentset.h"
#include "mainwindow.h"
#include "messageservice.h"
#include "subsystems.h"
#include "tmemosource.h"

#include <QCoreApplication>
#include <QTest>

#include <cstdio>

namespace QuorvantBench {

using namespace Quorvant;

std::unique_ptr<TForm1> showMainWindow(QSize size)
{
    auto window = std::make_unique<TForm1>();
    installSubsystems(*window);
    if (size.isValid())
        window->resize(size);
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        std::fprintf(stderr, "warning: the window was not exposed\n");
    QCoreApplication::processEvents();
    return window;
}

void closeAllDocuments(TDocumentSet *docs)
{
    while (docs->PagesOpen() > 0) {
        if (TMemoSource *b = docs->currentBuffer())
            b->setModified(false);
        docs->CloseSelectedPage();
    }
    MessageService::takeRecorded();
    QCoreApplication::processEvents();
}

bool failIfDialogs(benchmark::State &state, bool longLineWarningExpected)
{
    for (const RecordedDialog &box : MessageService::takeRecorded()) {
        if (longLineWarningExpected && box.text.contains(QLatin1String(" has a line of ")))
            continue;
        state.SkipWithError(("unexpected message box: " + box.text).toUtf8().constData());
        return true;
    }
    return false;
}

} // namespace QuorvantBench
