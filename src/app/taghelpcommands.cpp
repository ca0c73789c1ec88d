// Tag help (F1, Help > "Help for current tag") and the editor's entity keys.
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

void TForm1::showTagHelpForCurrent()
{
    TMemoSource *buffer = m_documents->currentBuffer();
    if (!buffer || m_tabholder->currentIndex() == 2)
        return;
    const TTagHelpResult help = ShowTagHelp(DataFolder::path(), TagHelpWord(buffer), debugTarget());
    switch (help.Status) {
    case TTagHelpStatus::Nothing:
        return;
    case TTagHelpStatus::NoIndex:
        MessageService::error(this, QLatin1String(MsgNoInternalHelp));
        return;
    case TTagHelpStatus::Found:
        m_documentation->navigate(QUrl::fromLocalFile(help.Page));
        m_tabholder->setCurrentIndex(2);
        return;
    }
}

void TForm1::buildTagHelpCommands()
{
    QAction *help = menu(QStringLiteral("Help1"))->addAction(QStringLiteral("Help for current tag"));
    help->setObjectName(QStringLiteral("Helpforcurrenttag1"));
    connect(help, &QAction::triggered, this, &TForm1::showTagHelpForCurrent);

    // Ctrl+Enter and Ctrl+Insert insert a line break tag and a hard space
    // instead of the editor's own action for the keystroke.
    m_memo->widget()->keyInterceptor = [this](QKeyEvent *e) {
        if (!(e->modifiers() & Qt::ControlModifier))
            return false;
        QString text;
        if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)
            text = QStringLiteral("<BR />");
        else if (e->key() == Qt::Key_Insert)
            text = QStringLiteral("&nbsp;");
        else
            return false;
        if (TMemoSource *b = m_documents->currentBuffer())
            ptext(b, text, QString());
        return true;
    };
}

} // namespace Quorvant
