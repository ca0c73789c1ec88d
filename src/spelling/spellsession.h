// One pass of the spell checker over a text: finds each word to ask about
// in turn, and collects the user's answers as replacements of the original
// text, so the walk stays linear and the result is applied in one go.
#pragma once

#include "spellwordwalker.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace Quorvant {

class TSpellChecker;

class TSpellSession
{
public:
    struct Question
    {
        qsizetype offset = -1;  // in the original text
        qsizetype length = 0;
        QString word;
        bool repeated = false;  // the same word twice in a row
        qsizetype repeatStart = -1;  // where deleting a repeated word starts
    };
    struct Replacement
    {
        qsizetype offset;
        qsizetype length;
        QString text;
    };

    TSpellSession(TSpellChecker &checker, QString text);

    // Moves to the next word to ask about; false when the text is done.
    bool next();
    const Question &current() const { return m_current; }
    bool finished() const { return m_finished; }

    // Answers to the current question; each moves on by itself when next() is called.
    void change(const QString &replacement);
    void changeAll(const QString &replacement);
    void ignoreAll();
    [[nodiscard]] bool addToUserList();
    // A repeated word: removes the second one with the blank before it.
    void deleteRepeated();

    const QString &original() const { return m_text; }
    const QList<Replacement> &replacements() const { return m_replacements; }
    bool changed() const { return !m_replacements.isEmpty(); }
    // The text with every replacement made.
    QString result() const;
    // Where a point of the original text lies in the result.
    qsizetype mapOffset(qsizetype original) const;

private:
    void replace(qsizetype offset, qsizetype length, const QString &text);

    TSpellChecker &m_checker;
    QString m_text;
    TSpellWordWalker m_walker;
    qsizetype m_pos = 0;
    Question m_current;
    bool m_finished = false;
    QString m_previousWord;
    qsizetype m_previousEnd = -1;
    QHash<QString, QString> m_changeAll;
    QList<Replacement> m_replacements;  // in ascending order, never overlapping
};

} // namespace Quorvant
