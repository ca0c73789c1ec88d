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
            if (QFile::copy(entry.filePath(), destination)) {
                // Shipped files may be installed read-only; the user's copy is theirs to change.
                if (!entry.permissions().testFlag(QFileDevice::WriteOwner))
                    QFile::setPermissions(destination, QFile::permissions(destination) | QFileDevice::WriteOwner);
                ++copied;
            }
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
