// Tag help (F1) and the editor's entity keys.
#include "installtags.h"

#include "mainwindow.h"

#include "browserpage.h"
#include "datafolder.h"
#include "documentset.h"
#include "messageservice.h"
#include "scintillawidget.h"
#include "tagplacement.h"
#include "taghelp.h"
#include "tdcmemo.h"
#include "tmemosource.h"

#include <QKeyEvent>
#include <QMenu>
#include <QTabWidget>
#include <QUrl>

namespace Quorvant {

void showTagHelpForCurrent(TForm1 &form)
{
    TMemoSource *buffer = form.documents()->currentBuffer();
    if (!buffer || form.tabholder()->currentIndex() == 2)
        return;
    const TTagHelpResult help = ShowTagHelp(DataFolder::path(), TagHelpWord(buffer), form.debugTarget());
    switch (help.Status) {
    case TTagHelpStatus::Nothing:
        return;
    case TTagHelpStatus::NoIndex:
        MessageService::error(&form, QLatin1String(MsgNoInternalHelp));
        return;
    case TTagHelpStatus::Found:
        form.documentationPage()->navigate(QUrl::fromLocalFile(help.Page));
        form.tabholder()->setCurrentIndex(2);
        return;
    }
}

void installTagHelpCommands(TForm1 &form)
{
    // Ctrl+Enter and Ctrl+Insert insert a line break tag and a hard space
    // instead of the editor's own action for the keystroke.
    form.DCMemo1()->widget()->keyInterceptor = [&form](QKeyEvent *e) {
        if (!(e->modifiers() & Qt::ControlModifier))
            return false;
        QString text;
        if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)
            text = QStringLiteral("<BR />");
        else if (e->key() == Qt::Key_Insert)
            text = QStringLiteral("&nbsp;");
        else
            return false;
        if (TMemoSource *b = form.documents()->currentBuffer())
            ptext(b, text, QString());
        return true;
    };
}

} // namespace Quorvant
