#include "spellingcommands.h"

#include "datafolder.h"
#include "documentset.h"
#include "mainwindow.h"
#include "messageservice.h"
#include "scintillawidget.h"
#include "spellcheckdialog.h"
#include "spellchecker.h"
#include "tagscanning.h"
#include "tdcmemo.h"
#include "thesaurus.h"
#include "thesaurusdialog.h"
#include "tmemosource.h"

#include <utility>

namespace Quorvant {

namespace {

const QString MsgSelectWordForThesaurus = QStringLiteral("Please select a word to run a thesaurus check on.");

// The blanks (line breaks included) before and after the words of text: a
// selection dragged over a word often takes the blank that follows it.
std::pair<QString, QString> surroundingBlanks(const QString &text)
{
    qsizetype start = 0;
    while (start < text.size() && text.at(start).isSpace())
        ++start;
    qsizetype end = text.size();
    while (end > start && text.at(end - 1).isSpace())
        --end;
    return {text.left(start), text.mid(end)};
}

} // namespace

TSpellingCommands::TSpellingCommands(TForm1 &form) : QObject(&form), m_form(form)
{
    lookupWord = [this](const QString &word) {
        TThesaurusDialog dialog(thesaurus(), &m_form);
        return dialog.LookupWord(word);
    };
}

TSpellingCommands::~TSpellingCommands()
{
    // The dialog puts its corrections back before the checker goes.
    delete m_spellDialog;
}

TSpellCheckDialog *TSpellingCommands::spellDialog() const
{
    return m_spellDialog;
}

TSpellChecker &TSpellingCommands::checker()
{
    if (!m_checker)
        m_checker = std::make_unique<TSpellChecker>(DataFolder::path(), QString(), m_form.debugTarget());
    return *m_checker;
}

TThesaurus &TSpellingCommands::thesaurus()
{
    if (!m_thesaurus)
        m_thesaurus = std::make_unique<TThesaurus>();
    return *m_thesaurus;
}

void TSpellingCommands::CheckSpelling()
{
    TMemoSource *buffer = m_form.documents()->currentBuffer();
    if (!buffer)
        return;
    if (!checker().isReady()) {
        MessageService::error(&m_form, QStringLiteral("The spelling dictionary en_US was not found in %1.")
                                           .arg(TSpellChecker::systemDictionaryFolder()));
        return;
    }
    if (!m_spellDialog) {
        m_spellDialog = new TSpellCheckDialog(checker(), &m_form);
        connect(m_spellDialog, &TSpellCheckDialog::checkEnded, this, &TSpellingCommands::checkEnded);
        // The checked document may no longer be the current one: its own flag holds the change.
        m_spellDialog->documentChanged = [this] {
            if (TMemoSource *current = m_form.documents()->currentBuffer())
                gDocumentModified = current->isModified();
        };
        m_spellDialog->wordRect = [this](CaretPoint p) -> QRect {
            ScintillaWidget *w = m_form.DCMemo1()->widget();
            if (!w || !w->isVisible())
                return {};
            const long pos = w->positionFromLineIndex(p.y, p.x);
            w->ensureLineVisible(p.y);
            const int x = int(w->SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0, pos));
            const int y = int(w->SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0, pos));
            const int h = int(w->SendScintilla(QsciScintillaBase::SCI_TEXTHEIGHT, p.y));
            return QRect(w->viewport()->mapToGlobal(QPoint(x, y)), QSize(80, h));
        };
    }
    if (m_spellDialog->running()) {
        m_spellDialog->raise();
        m_spellDialog->activateWindow();
        return;
    }
    m_spellDialog->start(buffer);
}

void TSpellingCommands::TheasurusLookup1Click()
{
    TMemoSource *buffer = m_form.documents()->currentBuffer();
    if (!buffer)
        return;
    const QString selected = buffer->selText();
    const QString word = RemoveCharFromStr(QLatin1Char('\n'), RemoveCharFromStr(QLatin1Char('\r'), selected));
    if (word.isEmpty()) {
        MessageService::information(&m_form, MsgSelectWordForThesaurus);
        return;
    }
    const QString answer = lookupWord(word);
    if (answer.isEmpty() || !m_form.documents()->currentBuffer())
        return;
    // The synonym takes the word's place; the blanks around it stay.
    const auto [before, after] = surroundingBlanks(selected);
    buffer->beginUndoAction();
    buffer->setSelText(before + answer + after);
    buffer->endUndoAction();
    m_form.documents()->markModified();
}

} // namespace Quorvant
