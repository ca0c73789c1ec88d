// "Check Spelling" and "Theasurus Lookup...": hand the current document's
// text to the checker or the selected word to the thesaurus and put the
// answer back. The checker, thesaurus and their dialogs are made on first use.
#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

namespace Quorvant {

class TForm1;
class TSpellCheckDialog;
class TSpellChecker;
class TThesaurus;
class TThesaurusDialog;

class TSpellingCommands : public QObject
{
    Q_OBJECT
public:
    explicit TSpellingCommands(TForm1 &form);
    ~TSpellingCommands() override;

    void CheckSpelling();
    void TheasurusLookup1Click();

    TSpellChecker &checker();
    TThesaurus &thesaurus();
    TSpellCheckDialog *spellDialog() const;
    // The thesaurus dialog's answer for a word; tests put their own here.
    std::function<QString(const QString &word)> lookupWord;

Q_SIGNALS:
    // A spelling check ended; words may have been added to the user's list.
    void checkEnded();

private:
    TForm1 &m_form;
    std::unique_ptr<TSpellChecker> m_checker;
    std::unique_ptr<TThesaurus> m_thesaurus;
    QPointer<TSpellCheckDialog> m_spellDialog;
};

} // namespace Quorvant
