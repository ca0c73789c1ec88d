#include "datafolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QStandardPaths>

namespace Quorvant {

namespace {

QString &currentPath()
{
    static QString path;
    return path;
}

// The entry of dir whose name equals name ignoring case, or name itself.
QString matchEntry(const QDir &dir, const QString &name)
{
    if (!dir.exists() || QFileInfo::exists(dir.filePath(name)))
        return name;
    const QStringList entries = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &e : entries) {
        if (e.compare(name, Qt::CaseInsensitive) == 0)
            return e;
    }
    return name;
}

// Copies a shipped file to a name that is missing. Written under a
// temporary name and renamed, so a copy cut short never takes the real name
// (the next start copies it again). No sync to disk: QFile::copy's flush
// of every file kept the first start waiting on the disk for most of a
// second, and these are the program's own files, not the user's.
bool copyShippedFile(const QFileInfo &from, const QString &to)
{
    QFile in(from.filePath());
    if (!in.open(QIODevice::ReadOnly))
        return false;
    const QString part = to + QStringLiteral(".part");
    QFile out(part);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    bool ok = true;
    char buffer[64 * 1024];
    for (qint64 n; ok && (n = in.read(buffer, sizeof buffer)) != 0;)
        ok = n > 0 && out.write(buffer, n) == n;
    out.close();
    ok = ok && out.error() == QFileDevice::NoError;
    // Programs shipped with the data keep their execute bits.
    const QFileDevice::Permissions exec = QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther;
    if (ok && (from.permissions() & exec))
        out.setPermissions(from.permissions() | QFileDevice::WriteOwner | QFileDevice::ReadOwner);
    if (!ok || !QFile::rename(part, to)) {
        QFile::remove(part);
        return false;
    }
    return true;
}

} // namespace

QString DataFolder::path()
{
    return currentPath();
}

void DataFolder::setPath(const QString &path)
{
    currentPath() = QDir::cleanPath(QDir(path).absolutePath());
}

QString DataFolder::shippedDataDir()
{
    const QString appDir = QCoreApplication::applicationDirPath();
    const QString candidates[] = {
        QDir::cleanPath(appDir + QStringLiteral("/../share/quorvant")),
        QStringLiteral(QUORVANT_SHARE_DIR),
        QStringLiteral(QUORVANT_SOURCE_DATA_DIR),
    };
    for (const QString &c : candidates) {
        if (!c.isEmpty() && QFileInfo(c).isDir())
            return c;
    }
    return {};
}

bool DataFolder::initialise(const QStringList &args, QString *error)
{
    QString chosen;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (a == QLatin1String("--data-dir") && i + 1 < args.size()) {
            chosen = args.at(i + 1);
            break;
        }
        if (a.startsWith(QLatin1String("--data-dir="))) {
            chosen = a.mid(11);
            break;
        }
    }
    if (chosen.isEmpty())
        chosen = qEnvironmentVariable("QUORVANT_DATA_DIR");
    if (chosen.isEmpty()) {
        chosen = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Quorvant");
    }
    if (!QDir().mkpath(chosen)) {
        if (error)
            *error = QStringLiteral("Cannot create the data folder %1.").arg(chosen);
        return false;
    }
    setPath(chosen);
    const QString shipped = shippedDataDir();
    if (!shipped.isEmpty())
        seed(shipped, path());
    return true;
}

int DataFolder::seed(const QString &from, const QString &to)
{
    QDir source(from);
    if (!source.exists())
        return 0;
    QDir().mkpath(to);
    QDir target(to);
    // The target is listed once: a fresh folder gets every file, and asking
    // the folder again for each one made the first start slow.
    const QStringList present = target.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    QSet<QString> exact(present.cbegin(), present.cend());
    QHash<QString, QString> folded;
    for (const QString &e : present) {
        if (!folded.contains(e.toCaseFolded()))
            folded.insert(e.toCaseFolded(), e);
    }
    int copied = 0;
    const QFileInfoList entries = source.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QFileInfo &entry : entries) {
        const QString wanted = entry.fileName();
        const QString existing = exact.contains(wanted) ? wanted : folded.value(wanted.toCaseFolded());
        const QString destination = target.filePath(existing.isEmpty() ? wanted : existing);
        if (entry.isDir()) {
            copied += seed(entry.filePath(), destination);
        } else if (existing.isEmpty() && !QFileInfo::exists(destination)) {
            // Shipped files may be installed read-only; the copy is a new
            // file, the user's to change.
            if (copyShippedFile(entry, destination))
                ++copied;
        }
    }
    return copied;
}

QString DataFolder::resolve(const QString &base, const QString &relative)
{
    QString current = base;
    const QStringList parts = QString(relative).replace(u'\\', u'/').split(u'/', Qt::SkipEmptyParts);
    for (const QString &part : parts)
        current = QDir(current).filePath(matchEntry(QDir(current), part));
    return current;
}

QString DataFolder::file(const QString &relative)
{
    return resolve(path(), relative);
}

} // namespace Quorvant
