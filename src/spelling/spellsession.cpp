#include "spellsession.h"

#include "spellchecker.h"
#include "spellscanner.h"

namespace Quorvant {

TSpellSession::TSpellSession(TSpellChecker &checker, QString text)
    : m_checker(checker), m_text(std::move(text)), m_walker(m_text, checker.options().html, checker.options().internetAddresses)
{
}

bool TSpellSession::next()
{
    if (m_finished)
        return false;
    const TSpellOptions &options = m_checker.options();
    for (;;) {
        const SpellWord w = m_walker.next(m_pos);
        if (!w.found()) {
            m_finished = true;
            m_current = {};
            return false;
        }
        m_pos = w.offset + w.length;
        const QString word = m_text.mid(w.offset, w.length);
        // A repeat counts only when nothing but blanks stands between the two.
        bool repeated = false;
        if (options.repeatedWords && m_previousEnd >= 0 && word.compare(m_previousWord, Qt::CaseInsensitive) == 0
            && w.offset > m_previousEnd) {
            repeated = true;
            for (qsizetype i = m_previousEnd; i < w.offset && repeated; ++i)
                repeated = m_text.at(i).isSpace();
        }
        const qsizetype previousEnd = m_previousEnd;
        m_previousWord = word;
        m_previousEnd = m_pos;
        if (repeated) {
            m_current = {w.offset, w.length, word, true, previousEnd};
            return true;
        }
        const auto all = m_changeAll.constFind(word);
        if (all != m_changeAll.constEnd()) {
            replace(w.offset, w.length, *all);
            continue;
        }
        if (TSpellScanner::accepted(m_checker, m_text, w))
            continue;
        m_current = {w.offset, w.length, word, false, -1};
        return true;
    }
}

void TSpellSession::replace(qsizetype offset, qsizetype length, const QString &text)
{
    if (text == m_text.mid(offset, length))
        return;
    m_replacements.append({offset, length, text});
}

void TSpellSession::change(const QString &replacement)
{
    if (m_current.offset < 0)
        return;
    replace(m_current.offset, m_current.length, replacement);
    if (!m_current.repeated)
        m_checker.learn(m_current.word, replacement);
}

void TSpellSession::changeAll(const QString &replacement)
{
    if (m_current.offset < 0)
        return;
    change(replacement);
    m_changeAll.insert(m_current.word, replacement);
}

void TSpellSession::ignoreAll()
{
    if (m_current.offset >= 0)
        m_checker.ignoreAll(m_current.word);
}

bool TSpellSession::addToUserList()
{
    return m_current.offset >= 0 && m_checker.addToUserList(m_current.word);
}

void TSpellSession::deleteRepeated()
{
    if (m_current.offset < 0 || !m_current.repeated)
        return;
    replace(m_current.repeatStart, m_current.offset + m_current.length - m_current.repeatStart, QString());
}

QString TSpellSession::result() const
{
    QString out;
    out.reserve(m_text.size());
    qsizetype at = 0;
    for (const Replacement &r : m_replacements) {
        out.append(QStringView(m_text).mid(at, r.offset - at));
        out.append(r.text);
        at = r.offset + r.length;
    }
    out.append(QStringView(m_text).mid(at));
    return out;
}

qsizetype TSpellSession::mapOffset(qsizetype original) const
{
    qsizetype shift = 0;
    for (const Replacement &r : m_replacements) {
        if (r.offset >= original)
            break;
        if (original < r.offset + r.length)
            return r.offset + shift + r.text.size();
        shift += r.text.size() - r.length;
    }
    return original + shift;
}

} // namespace Quorvant
