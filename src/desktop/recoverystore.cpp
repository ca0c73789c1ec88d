#include "recoverystore.h"

#include "datafolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRandomGenerator>
#include <QSaveFile>

namespace Quorvant {

namespace {

const QString EntrySuffix = QStringLiteral(".qrec");
const QString LockSuffix = QStringLiteral(".lock");

std::unique_ptr<QLockFile> lockFor(const QString &sessionFolder)
{
    auto lock = std::make_unique<QLockFile>(sessionFolder + LockSuffix);
    // Only a dead owner makes a lock stale, never its age: a program may
    // run for weeks.
    lock->setStaleLockTime(0);
    return lock;
}

} // namespace

TRecoveryStore::TRecoveryStore(const QString &dataFolder)
    : m_folder(folderIn(dataFolder))
{
}

TRecoveryStore::~TRecoveryStore()
{
    if (!m_session.isEmpty()) {
        QDir session(m_session);
        if (session.entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty())
            session.removeRecursively();
    }
    m_lock.reset();
    m_claimed.clear();
}

QString TRecoveryStore::folderIn(const QString &dataFolder)
{
    return DataFolder::resolve(dataFolder, QStringLiteral("Recovery"));
}

bool TRecoveryStore::openSession(QString *error)
{
    if (!QDir().mkpath(m_folder)) {
        if (error)
            *error = QStringLiteral("Cannot create the recovery folder %1.").arg(m_folder);
        return false;
    }
    for (int attempt = 0; attempt < 8; ++attempt) {
        const QString name = QStringLiteral("%1-%2")
                                 .arg(QCoreApplication::applicationPid())
                                 .arg(QRandomGenerator::global()->generate64(), 16, 16, QLatin1Char('0'));
        const QString session = QDir(m_folder).filePath(name);
        auto lock = lockFor(session);
        if (!lock->tryLock(0))
            continue;
        if (QFileInfo::exists(session) || !QDir().mkpath(session))
            continue;
        m_session = session;
        m_lock = std::move(lock);
        return true;
    }
    if (error)
        *error = QStringLiteral("Cannot create a session folder in %1.").arg(m_folder);
    return false;
}

QString TRecoveryStore::entryPath(const QString &sessionFolder, const QString &id) const
{
    return QDir(sessionFolder).filePath(id + EntrySuffix);
}

bool TRecoveryStore::writeEntry(const TRecoveryEntry &entry, QString *error) const
{
    return writeEntry(entry, contentHash(entry.text), error);
}

bool TRecoveryStore::writeEntry(const TRecoveryEntry &entry, quint64 textHash, QString *error) const
{
    if (m_session.isEmpty()) {
        if (error)
            *error = QStringLiteral("no session folder");
        return false;
    }
    QSaveFile file(entryPath(m_session, entry.id));
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const QByteArray head = entry.header(textHash);
    if (file.write(head) != head.size() || file.write(entry.text) != entry.text.size()) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

void TRecoveryStore::removeEntry(const QString &id) const
{
    if (!m_session.isEmpty())
        QFile::remove(entryPath(m_session, id));
}

QList<TRecoveryEntry> TRecoveryStore::claimOrphans(QStringList *problems)
{
    QMutexLocker locker(&m_mutex);
    QList<TRecoveryEntry> found;
    QDir root(m_folder);
    const QFileInfoList sessions = root.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo &info : sessions) {
        const QString session = info.absoluteFilePath();
        if (session == QFileInfo(m_session).absoluteFilePath() || m_claimed.count(session))
            continue;
        auto lock = lockFor(session);
        if (!lock->tryLock(0))
            continue;  // a running program's
        const QFileInfoList files = QDir(session).entryInfoList({QLatin1Char('*') + EntrySuffix}, QDir::Files);
        int kept = 0;
        for (const QFileInfo &file : files) {
            QByteArray bytes;
            QString why;
            TRecoveryEntry entry;
            if (!readWholeFile(file.absoluteFilePath(), &bytes, &why) || !TRecoveryEntry::decode(bytes, &entry, &why)) {
                if (problems)
                    problems->append(QStringLiteral("%1: %2").arg(file.absoluteFilePath(), why));
                QFile::remove(file.absoluteFilePath());
                continue;
            }
            // Ids are unique per session only.
            entry.id = QFileInfo(session).fileName() + QLatin1Char('/') + file.completeBaseName();
            m_claimedEntries[entry.id] = session;
            found.append(entry);
            ++kept;
        }
        m_claimed[session] = std::move(lock);
        if (kept == 0) {
            locker.unlock();
            dropSessionIfEmpty(session);
            locker.relock();
        }
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const TRecoveryEntry &a, const TRecoveryEntry &b) { return a.savedAt < b.savedAt; });
    return found;
}

void TRecoveryStore::discardOrphan(const TRecoveryEntry &entry)
{
    QString session;
    {
        QMutexLocker locker(&m_mutex);
        auto it = m_claimedEntries.find(entry.id);
        if (it == m_claimedEntries.end())
            return;
        session = it->second;
        m_claimedEntries.erase(it);
    }
    QFile::remove(entryPath(session, entry.id.section(QLatin1Char('/'), 1)));
    dropSessionIfEmpty(session);
}

void TRecoveryStore::dropSessionIfEmpty(const QString &session)
{
    QMutexLocker locker(&m_mutex);
    auto held = m_claimed.find(session);
    if (held == m_claimed.end())
        return;
    QDir dir(session);
    if (!dir.entryList({QLatin1Char('*') + EntrySuffix}, QDir::Files).isEmpty())
        return;
    // Leftover temporary files of an interrupted write go with it.
    dir.removeRecursively();
    m_claimed.erase(held);  // unlocks and removes the lock file
}

} // namespace Quorvant
