// The thesaurus: meanings of a word, each with its synonyms (MyThes "en_US").
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

class MyThes;

namespace Quorvant {

struct ThesaurusMeaning
{
    QString definition;
    QStringList synonyms;
};

class TThesaurus
{
public:
    // folder: where "th_en_US_v2.idx" and ".dat" lie (empty: the system's).
    explicit TThesaurus(const QString &folder = {});
    ~TThesaurus();

    bool isReady() const { return m_thes != nullptr; }
    static QString systemFolder();
    // Nothing when the word is unknown; a capitalised word is also tried in lower case.
    QList<ThesaurusMeaning> lookup(const QString &word) const;

private:
    std::unique_ptr<MyThes> m_thes;
    bool m_utf8 = true;
};

} // namespace Quorvant
