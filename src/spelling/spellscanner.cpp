#include "spellscanner.h"

#include "spellchecker.h"

namespace Quorvant {

QList<SpellWord> TSpellScanner::misspelled(const TSpellChecker &checker, const QString &text, qsizetype from)
{
    QList<SpellWord> out;
    TSpellWordWalker walker(text, checker.options().html, checker.options().internetAddresses);
    for (SpellWord w = walker.next(from); w.found(); w = walker.next(w.offset + w.length)) {
        const QString word = text.mid(w.offset, w.length);
        if (checker.isCorrect(word))
            continue;
        if (checker.options().abbreviations && w.offset + w.length < text.size()
            && text.at(w.offset + w.length) == QLatin1Char('.') && checker.isCorrect(word + QLatin1Char('.')))
            continue;
        out.append(w);
    }
    return out;
}

} // namespace Quorvant
