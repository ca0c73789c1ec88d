// The user's spelling options, kept in "Spell.cfg" in the data folder.
#pragma once

#include <QString>

namespace Quorvant {

struct TSpellOptions
{
    bool html = true;              // skip tags, attribute values and entities
    bool internetAddresses = true; // skip web and mail addresses
    bool abbreviations = true;     // accept a known word followed by a full stop
    bool repeatedWords = true;     // report "the the"
    bool wordsInCapitals = false;  // check words written all in capitals
    bool wordsWithDigits = false;  // check words that hold digits
    bool mainDictionaryOnly = false;

    static TSpellOptions load(const QString &path);
    [[nodiscard]] bool save(const QString &path) const;
    bool operator==(const TSpellOptions &) const = default;
};

} // namespace Quorvant
