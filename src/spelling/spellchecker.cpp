#include "spellchecker.h"

#include "veskfilesystems.h"

#include <hunspell.hxx>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace Quorvant {

namespace {

QStringList readLines(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll()).split(QRegularExpression(QStringLiteral("\r\n|\r|\n")), Qt::SkipEmptyParts);
}

bool appendLine(const QString &path, const QString &line)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    const QByteArray bytes = (line + QStringLiteral("\r\n")).toUtf8();
    return f.write(bytes) == bytes.size() && f.flush();
}

bool isAllCapitals(const QString &word)
{
    bool letter = false;
    for (QChar c : word) {
        if (c.isLower())
            return false;
        letter = letter || c.isLetter();
    }
    return letter;
}

bool hasDigit(const QString &word)
{
    for (QChar c : word)
        if (c.isDigit())
            return true;
    return false;
}

} // namespace

TSpellChecker::TSpellChecker(const QString &dataFolder, const QString &dictionaryFolder, DebugOut debug)
    : m_dataFolder(dataFolder), m_debug(std::move(debug))
{
    const QString folder = dictionaryFolder.isEmpty() ? systemDictionaryFolder() : dictionaryFolder;
    const QString aff = QDir(folder).filePath(QStringLiteral("en_US.aff"));
    const QString dic = QDir(folder).filePath(QStringLiteral("en_US.dic"));
    if (QFileInfo::exists(aff) && QFileInfo::exists(dic))
        m_hunspell = std::make_unique<Hunspell>(QFile::encodeName(aff).constData(), QFile::encodeName(dic).constData());
    else if (m_debug)
        m_debug(QStringLiteral("Error: TSpellChecker.Create: no dictionary en_US in ") + folder);
    m_options = TSpellOptions::load(optionsPath());
    loadUserFiles();
}

TSpellChecker::~TSpellChecker() = default;

QString TSpellChecker::systemDictionaryFolder()
{
    return QStringLiteral("/usr/share/hunspell");
}

QString TSpellChecker::loginName()
{
    for (const char *var : {"USER", "LOGNAME", "USERNAME"}) {
        const QString name = qEnvironmentVariable(var);
        if (!name.isEmpty())
            return name;
    }
    const QString home = QDir::home().dirName();
    return home.isEmpty() ? QStringLiteral("user") : home;
}

QString TSpellChecker::userListPath() const
{
    return findProgramFile(m_dataFolder, loginName() + QStringLiteral(".adu"));
}

QString TSpellChecker::learnedPath() const
{
    return findProgramFile(m_dataFolder, loginName() + QStringLiteral("_sp.adl"));
}

QString TSpellChecker::optionsPath() const
{
    return findProgramFile(m_dataFolder, QStringLiteral("Spell.cfg"));
}

void TSpellChecker::loadUserFiles()
{
    for (const QString &w : readLines(userListPath()))
        m_userWords.insert(w.trimmed());
    for (const QString &line : readLines(learnedPath())) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq > 0)
            m_learned.insert(line.left(eq), line.mid(eq + 1));
    }
}

bool TSpellChecker::setOptions(const TSpellOptions &options)
{
    m_options = options;
    const bool ok = options.save(optionsPath());
    if (!ok && m_debug)
        m_debug(QStringLiteral("Error: TSpellChecker.SetOptions: cannot write ") + optionsPath());
    return ok;
}

bool TSpellChecker::dictionaryKnows(const QString &word) const
{
    if (!m_hunspell)
        return true;  // without a dictionary nothing is reported
    auto it = m_known.constFind(word);
    if (it != m_known.constEnd())
        return *it;
    const bool known = m_hunspell->spell(word.toStdString());
    m_known.insert(word, known);
    return known;
}

bool TSpellChecker::isCorrect(const QString &word) const
{
    if (word.isEmpty())
        return true;
    if (!m_options.wordsWithDigits && hasDigit(word))
        return true;
    if (!m_options.wordsInCapitals && word.size() > 1 && isAllCapitals(word))
        return true;
    if (m_ignored.contains(word))
        return true;
    if (!m_options.mainDictionaryOnly && m_userWords.contains(word))
        return true;
    QString w = word;
    w.replace(QChar(0x2019), QLatin1Char('\''));
    return dictionaryKnows(w);
}

QStringList TSpellChecker::suggestions(const QString &word) const
{
    QStringList out;
    const auto learned = m_learned.constFind(word);
    if (learned != m_learned.constEnd())
        out.append(*learned);
    if (m_hunspell) {
        for (const std::string &s : m_hunspell->suggest(word.toStdString())) {
            const QString q = QString::fromStdString(s);
            if (!out.contains(q))
                out.append(q);
        }
    }
    return out;
}

void TSpellChecker::ignoreAll(const QString &word)
{
    m_ignored.insert(word);
}

bool TSpellChecker::addToUserList(const QString &word)
{
    if (word.isEmpty())
        return false;
    if (m_userWords.contains(word))
        return true;
    m_userWords.insert(word);
    const bool ok = appendLine(userListPath(), word);
    if (!ok && m_debug)
        m_debug(QStringLiteral("Error: TSpellChecker.AddToUserList: cannot write ") + userListPath());
    return ok;
}

void TSpellChecker::learn(const QString &misspelled, const QString &replacement)
{
    if (misspelled.isEmpty() || replacement.isEmpty() || m_learned.value(misspelled) == replacement)
        return;
    m_learned.insert(misspelled, replacement);
    if (!appendLine(learnedPath(), misspelled + QLatin1Char('=') + replacement) && m_debug)
        m_debug(QStringLiteral("Error: TSpellChecker.Learn: cannot write ") + learnedPath());
}

} // namespace Quorvant
