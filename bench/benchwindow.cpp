#include "benchwindow.h"

#include "documentset.h"
#include "messageservice.h"
#include "tmemosource.h"

#include <QCoreApplication>

namespace QuorvantBench {

using namespace Quorvant;

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
