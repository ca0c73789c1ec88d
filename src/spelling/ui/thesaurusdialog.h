// The thesaurus dialog: the meanings of a word and their synonyms; a
// double click looks a word up, "Previous" goes back, "Replace" answers the
// chosen word.
#pragma once

#include "thesaurus.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QListWidget;

namespace Quorvant {

class TThesaurusDialog : public QDialog
{
    Q_OBJECT
public:
    TThesaurusDialog(const TThesaurus &thesaurus, QWidget *parent = nullptr);

    // Shows the dialog for word; the replacement chosen, or empty when closed without one.
    QString LookupWord(const QString &word);

    void lookUp(const QString &word);
    void previous();
    void replace();

    QComboBox *lookedUp() const { return m_lookedUp; }
    QListWidget *meanings() const { return m_meanings; }
    QListWidget *synonyms() const { return m_synonyms; }
    QLineEdit *replaceWith() const { return m_replaceWith; }

private:
    void showMeaning(int row);

    const TThesaurus &m_thesaurus;
    QList<ThesaurusMeaning> m_current;
    QStringList m_history;
    QComboBox *m_lookedUp = nullptr;
    QListWidget *m_meanings = nullptr;
    QListWidget *m_synonyms = nullptr;
    QLineEdit *m_replaceWith = nullptr;
    QString m_answer;
};

} // namespace Quorvant
