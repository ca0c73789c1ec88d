#include "thesaurus.h"

#include <mythes.hxx>

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace Quorvant {

TThesaurus::TThesaurus(const QString &folder)
{
    const QDir dir(folder.isEmpty() ? systemFolder() : folder);
    const QString idx = dir.filePath(QStringLiteral("th_en_US_v2.idx"));
    const QString dat = dir.filePath(QStringLiteral("th_en_US_v2.dat"));
    if (!QFileInfo::exists(idx) || !QFileInfo::exists(dat))
        return;
    m_thes = std::make_unique<MyThes>(QFile::encodeName(idx).constData(), QFile::encodeName(dat).constData());
    const char *encoding = m_thes->get_th_encoding();
    m_utf8 = !encoding || qstrnicmp(encoding, "UTF-8", 5) == 0;
}

TThesaurus::~TThesaurus() = default;

QString TThesaurus::systemFolder()
{
    return QStringLiteral("/usr/share/mythes");
}

QList<ThesaurusMeaning> TThesaurus::lookup(const QString &word) const
{
    QList<ThesaurusMeaning> out;
    const QString w = word.trimmed();
    if (!m_thes || w.isEmpty())
        return out;
    auto decode = [this](const char *s) { return m_utf8 ? QString::fromUtf8(s) : QString::fromLatin1(s); };
    for (const QString &candidate : {w, w.toLower()}) {
        const QByteArray bytes = m_utf8 ? candidate.toUtf8() : candidate.toLatin1();
        mentry *entries = nullptr;
        const int count = m_thes->Lookup(bytes.constData(), int(bytes.size()), &entries);
        for (int i = 0; i < count; ++i) {
            ThesaurusMeaning m;
            m.definition = decode(entries[i].defn).trimmed();
            for (int j = 0; j < entries[i].count; ++j)
                m.synonyms.append(decode(entries[i].psyns[j]).trimmed());
            // The first "synonym" repeats the definition.
            if (!m.synonyms.isEmpty() && m.synonyms.first() == m.definition)
                m.synonyms.removeFirst();
            out.append(m);
        }
        if (entries)
            m_thes->CleanUpAfterLookup(&entries, count);
        if (!out.isEmpty() || candidate == w.toLower())
            break;
    }
    return out;
}

} // namespace Quorvant
