#include "asciitext.h"
#include "inifile.h"

#include "editortypes.h"
#include "textfileformat.h"

#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QSaveFile>

#include <limits>

#include <sys/stat.h>
#include <ctime>

namespace Quorvant {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\v' || c == u'\f';
}

QStringView trimmedView(QStringView s)
{
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && isBlank(s[begin]))
        ++begin;
    while (end > begin && isBlank(s[end - 1]))
        --end;
    return s.sliced(begin, end - begin);
}

QString trimmed(QStringView s)
{
    return trimmedView(s).toString();
}

bool hasLineBreak(QStringView s)
{
    return s.contains(u'\r') || s.contains(u'\n');
}

// A name that would read back as something else cannot be written.
bool storableSection(QStringView name)
{
    return !name.isEmpty() && !hasLineBreak(name);
}

bool storableKey(QStringView key)
{
    return !key.isEmpty() && !hasLineBreak(key) && !key.contains(u'=')
        && !key.startsWith(u';') && !key.startsWith(u'[');
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Decimal with an optional sign, or "0x"/"0X" and up to 32 bits of hex
// (so 0xFFFFFFFF is -1). Anything else, or a number out of range, is not a
// number.
bool parseInteger(QStringView s, int *out)
{
    if (s.size() > 2 && s[0] == u'0' && (s[1] == u'x' || s[1] == u'X')) {
        quint64 v = 0;
        for (QChar c : s.sliced(2)) {
            const int d = hexDigit(c);
            if (d < 0)
                return false;
            v = v * 16 + quint64(d);
            if (v > 0xFFFFFFFFull)
                return false;
        }
        *out = int(quint32(v));
        return true;
    }
    bool negative = false;
    if (!s.isEmpty() && (s[0] == u'-' || s[0] == u'+')) {
        negative = s[0] == u'-';
        s = s.sliced(1);
    }
    if (s.isEmpty())
        return false;
    qint64 v = 0;
    for (QChar c : s) {
        if (!isDigit(c))
            return false;
        v = v * 10 + (c.unicode() - u'0');
        if (v > qint64(std::numeric_limits<int>::max()) + 1)
            return false;
    }
    if (negative)
        v = -v;
    if (v > std::numeric_limits<int>::max())
        return false;
    *out = int(v);
    return true;
}

QFile::Permissions permissionsFromMode(int mode)
{
    QFile::Permissions p;
    if (mode & 0400) p |= QFile::ReadOwner | QFile::ReadUser;
    if (mode & 0200) p |= QFile::WriteOwner | QFile::WriteUser;
    if (mode & 0100) p |= QFile::ExeOwner | QFile::ExeUser;
    if (mode & 0040) p |= QFile::ReadGroup;
    if (mode & 0020) p |= QFile::WriteGroup;
    if (mode & 0010) p |= QFile::ExeGroup;
    if (mode & 0004) p |= QFile::ReadOther;
    if (mode & 0002) p |= QFile::WriteOther;
    if (mode & 0001) p |= QFile::ExeOther;
    return p;
}

QString asciiLower(QStringView s)
{
    QString out = s.toString();
    for (QChar &c : out) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + 32);
    }
    return out;
}

// Keeps the first position of a name, as lookups find the first one.
void addFirst(QHash<QString, qsizetype> &index, const QString &name, qsizetype at)
{
    if (!index.contains(name))
        index.insert(name, at);
}

// What identifies one version of a file on disk.
struct Stamp
{
    bool exists = false;
    qint64 size = 0;
    qint64 inode = 0;
    qint64 mtimeNs = 0;
    bool operator==(const Stamp &) const = default;
};

Stamp stampOf(const QString &path)
{
    struct stat st{};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return {true, qint64(st.st_size), qint64(st.st_ino), qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

} // namespace

void IniFile::Section::reindex()
{
    keyIndex.clear();
    indexed = false;
}

void IniFile::Content::reindex()
{
    sectionIndex.clear();
    for (qsizetype i = 0; i < sections.size(); ++i)
        addFirst(sectionIndex, asciiLower(sections[i].name), i);
}

namespace {

struct CachedIni
{
    Stamp stamp;
    std::shared_ptr<const void> content;
    // A file changed again within the clock's resolution of being read
    // might keep its stamp: such an entry is not trusted.
    bool trusted = true;
};

qint64 nowNs()
{
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

QMutex &cacheLock()
{
    static QMutex lock;
    return lock;
}

QHash<QString, CachedIni> &cache()
{
    static QHash<QString, CachedIni> entries;
    return entries;
}

} // namespace

IniFile::IniFile(QString path)
    : m_path(std::move(path))
{
    reload();
}

bool IniFile::reload()
{
    bool ok = true;
    m_content = load(&ok);
    return ok;
}

std::shared_ptr<const IniFile::Content> IniFile::load(bool *ok) const
{
    *ok = true;
    const Stamp stamp = stampOf(m_path);
    if (!stamp.exists)
        return std::make_shared<const Content>();
    {
        QMutexLocker locker(&cacheLock());
        const auto it = cache().constFind(m_path);
        if (it != cache().cend() && it->trusted && it->stamp == stamp)
            return std::static_pointer_cast<const Content>(it->content);
    }
    const qint64 readAt = nowNs();
    auto content = std::make_shared<Content>();
    if (!readContent(content.get())) {
        *ok = false;
        return std::make_shared<const Content>();
    }
    // Only when the file did not change while it was read.
    if (stampOf(m_path) == stamp) {
        QMutexLocker locker(&cacheLock());
        cache().insert(m_path, {stamp, content, stamp.mtimeNs < readAt - 100 * 1000000});
    }
    return content;
}

void IniFile::remember(Content &&content)
{
    auto shared = std::make_shared<const Content>(std::move(content));
    const Stamp stamp = stampOf(m_path);
    QMutexLocker locker(&cacheLock());
    if (stamp.exists)
        cache().insert(m_path, {stamp, shared, true});
    else
        cache().remove(m_path);
    m_content = std::move(shared);
}

bool IniFile::readContent(Content *out) const
{
    *out = {};
    if (!QFileInfo::exists(m_path))
        return true;
    QByteArray bytes;
    if (!readDataFile(m_path, &bytes, nullptr))
        return false;
    DecodedText decoded = decodeTextFile(bytes);
    bytes = QByteArray();
    out->format = decoded.format;
    const QString text = std::move(decoded.text);
    for (QStringView raw : lineViews(text, false)) {
        const QStringView t = trimmedView(raw);
        if (t.startsWith(u'[')) {
            const qsizetype close = t.lastIndexOf(u']');
            if (close > 0) {
                out->sections.append({trimmed(t.sliced(1, close - 1)), raw.toString(), {}});
                continue;
            }
        }
        Line line{raw.toString(), {}, {}};
        const qsizetype equals = t.indexOf(u'=');
        if (!t.startsWith(u';') && equals > 0) {
            line.key = trimmed(t.first(equals));
            line.value = trimmed(t.sliced(equals + 1));
        }
        if (out->sections.isEmpty())
            out->preamble.append(line.text);
        else
            out->sections.last().lines.append(line);
    }
    out->reindex();
    return true;
}

bool IniFile::writeContent(const Content &content) const
{
    QString text;
    const auto add = [&text](const QString &line) {
        text += line;
        text += QLatin1String("\r\n");
    };
    for (const QString &line : content.preamble)
        add(line);
    for (const Section &section : content.sections) {
        add(section.header);
        for (const Line &line : section.lines)
            add(line.text);
    }
    TextFileFormat format = content.format;
    const QByteArray bytes = encodeTextFile(text, &format);

    const QFileInfo info(m_path);
    const bool existed = info.exists();
    if (existed) {
        // A file marked read-only stays unwritten even for a user the
        // system would let through.
        const auto anyWrite = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
        if (!info.isFile() || !info.isWritable() || !(info.permissions() & anyWrite))
            return false;
    } else if (!QDir().mkpath(info.absolutePath())) {
        return false;
    }

    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // Set on the temporary file before any content is written, so a
    // private file is never readable by others.
    if (m_mode != 0 && !file.setPermissions(permissionsFromMode(m_mode))) {
        file.cancelWriting();
        return false;
    }
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

const IniFile::Section *IniFile::findSection(const Content &content, const QString &name)
{
    const auto it = content.sectionIndex.constFind(asciiLower(trimmedView(name)));
    return it == content.sectionIndex.cend() ? nullptr : &content.sections[*it];
}

IniFile::Section *IniFile::findSection(Content &content, const QString &name)
{
    // Non-const indexing: the list detaches from the copies that share it.
    const auto it = content.sectionIndex.constFind(asciiLower(trimmedView(name)));
    return it == content.sectionIndex.cend() ? nullptr : &content.sections[*it];
}

qsizetype IniFile::indexOfKey(const Section &section, const QString &key)
{
    const QStringView wanted = trimmedView(key);
    // A short section is looked through; a long one gets an index once.
    constexpr qsizetype IndexFrom = 64;
    if (section.lines.size() < IndexFrom) {
        for (qsizetype i = 0; i < section.lines.size(); ++i) {
            const Line &line = section.lines[i];
            if (!line.key.isEmpty() && asciiEqualsIgnoreCase(line.key, wanted))
                return i;
        }
        return -1;
    }
    QMutexLocker locker(&cacheLock());
    if (!section.indexed) {
        for (qsizetype i = 0; i < section.lines.size(); ++i) {
            if (!section.lines[i].key.isEmpty())
                addFirst(section.keyIndex, asciiLower(section.lines[i].key), i);
        }
        section.indexed = true;
    }
    return section.keyIndex.value(asciiLower(wanted), -1);
}

const IniFile::Line *IniFile::findValue(const QString &section, const QString &key) const
{
    const Section *s = findSection(*m_content, section);
    if (!s)
        return nullptr;
    const qsizetype i = indexOfKey(*s, key);
    return i < 0 ? nullptr : &s->lines[i];
}

QString IniFile::readString(const QString &section, const QString &key, const QString &defaultValue) const
{
    const Line *line = findValue(section, key);
    return line ? line->value : defaultValue;
}

int IniFile::readInteger(const QString &section, const QString &key, int defaultValue) const
{
    const Line *line = findValue(section, key);
    int value = 0;
    return line && parseInteger(line->value, &value) ? value : defaultValue;
}

bool IniFile::readBool(const QString &section, const QString &key, bool defaultValue) const
{
    const Line *line = findValue(section, key);
    int value = 0;
    return line && parseInteger(line->value, &value) ? value != 0 : defaultValue;
}

bool IniFile::sectionExists(const QString &section) const
{
    return findSection(*m_content, section) != nullptr;
}

bool IniFile::valueExists(const QString &section, const QString &key) const
{
    return findValue(section, key) != nullptr;
}

QStringList IniFile::sections() const
{
    QStringList names;
    for (const Section &section : m_content->sections) {
        if (findSection(*m_content, section.name) == &section)
            names.append(section.name);
    }
    return names;
}

QStringList IniFile::keys(const QString &section) const
{
    QStringList names;
    const Section *s = findSection(*m_content, section);
    if (!s)
        return names;
    for (qsizetype i = 0; i < s->lines.size(); ++i) {
        const QString &key = s->lines[i].key;
        if (!key.isEmpty() && indexOfKey(*s, key) == i)
            names.append(key);
    }
    return names;
}

bool IniFile::writeString(const QString &section, const QString &key, const QString &value)
{
    const QString sectionName = trimmed(section);
    const QString keyName = trimmed(key);
    if (!storableSection(sectionName) || !storableKey(keyName) || hasLineBreak(value))
        return false;
    bool ok = true;
    const std::shared_ptr<const Content> current = load(&ok);
    if (!ok)
        return false;
    Content content = *current;

    Section *target = findSection(content, sectionName);
    if (!target) {
        // A blank line before a new section, unless the file ends in one.
        QString *last = nullptr;
        if (!content.sections.isEmpty()) {
            Section &s = content.sections.last();
            last = s.lines.isEmpty() ? &s.header : &s.lines.last().text;
        } else if (!content.preamble.isEmpty()) {
            last = &content.preamble.last();
        }
        if (last && !trimmedView(*last).isEmpty()) {
            if (content.sections.isEmpty())
                content.preamble.append(QString());
            else
                content.sections.last().lines.append(Line{});
        }
        content.sections.append({sectionName, u'[' + sectionName + u']', {}, {}});
        addFirst(content.sectionIndex, asciiLower(sectionName), content.sections.size() - 1);
        target = &content.sections.last();
    }

    const qsizetype existing = indexOfKey(*target, keyName);
    if (existing >= 0) {
        Line &line = target->lines[existing];
        line.text = line.key + u'=' + value;
        line.value = trimmed(value);
    } else {
        // After the section's last non-blank line, so the blank line that
        // separates it from the next section stays in place.
        qsizetype at = target->lines.size();
        while (at > 0 && trimmedView(target->lines[at - 1].text).isEmpty())
            --at;
        target->lines.insert(at, Line{keyName + u'=' + value, keyName, trimmed(value)});
        target->reindex();
    }

    if (!writeContent(content))
        return false;
    remember(std::move(content));
    return true;
}

bool IniFile::writeInteger(const QString &section, const QString &key, int value)
{
    return writeString(section, key, QString::number(value));
}

bool IniFile::writeBool(const QString &section, const QString &key, bool value)
{
    return writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

bool IniFile::eraseSection(const QString &section)
{
    bool ok = true;
    const std::shared_ptr<const Content> current = load(&ok);
    if (!ok)
        return false;
    Content content = *current;
    const QStringView name = trimmedView(section);
    const qsizetype removed = content.sections.removeIf([name](const Section &s) { return asciiEqualsIgnoreCase(s.name, name); });
    if (removed == 0) {
        m_content = current;
        return true;
    }
    content.reindex();
    if (!writeContent(content))
        return false;
    remember(std::move(content));
    return true;
}

bool IniFile::deleteKey(const QString &section, const QString &key)
{
    bool ok = true;
    const std::shared_ptr<const Content> current = load(&ok);
    if (!ok)
        return false;
    Content content = *current;
    const QStringView sectionName = trimmedView(section);
    const QStringView keyName = trimmedView(key);
    qsizetype removed = 0;
    for (Section &s : content.sections) {
        if (asciiEqualsIgnoreCase(s.name, sectionName)) {
            const qsizetype n = s.lines.removeIf([keyName](const Line &line) {
                return !line.key.isEmpty() && asciiEqualsIgnoreCase(line.key, keyName);
            });
            if (n > 0)
                s.reindex();
            removed += n;
        }
    }
    if (removed == 0) {
        m_content = current;
        return true;
    }
    if (!writeContent(content))
        return false;
    remember(std::move(content));
    return true;
}

} // namespace Quorvant
