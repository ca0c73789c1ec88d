// Finds the misspelled words of a piece of text in one go (the underline
// shown while typing), without asking anything.
#pragma once

#include "spellwordwalker.h"

#include <QList>
#include <QString>

namespace Quorvant {

class TSpellChecker;

class TSpellScanner
{
public:
    // Words of text from offset from on that the checker does not accept.
    static QList<SpellWord> misspelled(const TSpellChecker &checker, const QString &text, qsizetype from = 0);
    // True when the checker accepts the word w of text, alone or, with
    // abbreviations on, with the period that follows it.
    static bool accepted(const TSpellChecker &checker, const QString &text, const SpellWord &w);
};

} // namespace Quorvant
