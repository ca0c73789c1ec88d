#include "spellscanner.h"

#include "spellchecker.h"

namespace Quorvant {

QList<SpellWord> TSpellScanner::misspelled(const TSpellChecker &checker, const QString &text, qsizetype from)
{
    QList<SpellWord> out;
    TSpellWordWalker walker(text, checker.options().html, checker.options().internetAddresses);
    for (SpellWord w = walker.next(from); w.found(); w = walker.next(w.offset + w.length)) {
        if (!accepted(checker, text, w))
            out.append(w);
    }
    return out;
}

bool TSpellScanner::accepted(const TSpellChecker &checker, const QString &text, const SpellWord &w)
{
    const QString word = text.mid(w.offset, w.length);
    if (checker.isCorrect(word))
        return true;
    const qsizetype end = w.offset + w.length;
    return checker.options().abbreviations && end < text.size() && text.at(end) == QLatin1Char('.')
           && checker.isCorrect(word + QLatin1Char('.'));
}

} // namespace Quorvant
