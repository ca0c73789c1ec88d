// The spell checker: the main dictionary (Hunspell "en_US"), the user's word
// list "USER.adu", learned suggestions "USER_sp.adl" (USER: the login name)
// and the words ignored for this session.
#pragma once

#include "debugout.h"
#include "spelloptions.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>

class Hunspell;

namespace Quorvant {

class TSpellChecker
{
public:
    // dataFolder holds the user's files; dictionaryFolder the main dictionary
    // (empty: the system's). A missing dictionary leaves isReady() false.
    TSpellChecker(const QString &dataFolder, const QString &dictionaryFolder = {}, DebugOut debug = {});
    ~TSpellChecker();

    bool isReady() const { return m_hunspell != nullptr; }
    static QString systemDictionaryFolder();
    static QString loginName();
    QString userListPath() const;
    QString learnedPath() const;
    QString optionsPath() const;

    const TSpellOptions &options() const { return m_options; }
    // Stores them in "Spell.cfg" too; false when that failed.
    bool setOptions(const TSpellOptions &options);

    // True for a word the checker accepts under the options.
    bool isCorrect(const QString &word) const;
    // Learned replacements first, then the dictionary's.
    QStringList suggestions(const QString &word) const;

    void ignoreAll(const QString &word);
    // Adds the word to the user's list file; false when the file could not be written.
    [[nodiscard]] bool addToUserList(const QString &word);
    // Remembers the user's choice as the first suggestion for next time.
    void learn(const QString &misspelled, const QString &replacement);
    QStringList userWords() const { return m_userWords.values(); }

private:
    bool dictionaryKnows(const QString &word) const;
    void loadUserFiles();

    QString m_dataFolder;
    DebugOut m_debug;
    std::unique_ptr<Hunspell> m_hunspell;
    TSpellOptions m_options;
    QSet<QString> m_userWords;
    QSet<QString> m_ignored;
    QHash<QString, QString> m_learned;
    mutable QHash<QString, bool> m_known;  // dictionary answers, by word
};

} // namespace Quorvant
