#include "spelloptions.h"

#include "inifile.h"

namespace Quorvant {

namespace {

const QString Section = QStringLiteral("Options");

struct Key
{
    const char *name;
    bool TSpellOptions::*field;
};

const Key Keys[] = {
    {"HTML", &TSpellOptions::html},
    {"InternetAddresses", &TSpellOptions::internetAddresses},
    {"Abbreviations", &TSpellOptions::abbreviations},
    {"RepeatedWords", &TSpellOptions::repeatedWords},
    {"WordsInCapitals", &TSpellOptions::wordsInCapitals},
    {"WordsWithDigits", &TSpellOptions::wordsWithDigits},
    {"MainDictionaryOnly", &TSpellOptions::mainDictionaryOnly},
};

} // namespace

TSpellOptions TSpellOptions::load(const QString &path)
{
    IniFile ini(path);
    TSpellOptions options;
    for (const Key &k : Keys)
        options.*k.field = ini.readBool(Section, QLatin1String(k.name), options.*k.field);
    return options;
}

bool TSpellOptions::save(const QString &path) const
{
    IniFile ini(path);
    bool ok = true;
    for (const Key &k : Keys)
        ok = ini.writeBool(Section, QLatin1String(k.name), this->*k.field) && ok;
    return ok;
}

} // namespace Quorvant
