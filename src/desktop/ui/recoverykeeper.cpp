#include "recoverykeeper.h"

#include "appglobals.h"
#include "documentset.h"
#include "mainwindow.h"
#include "recoverystore.h"
#include "recoverywriter.h"
#include "tmemosource.h"

#include <utility>

namespace Quorvant {

TRecoveryKeeper::TRecoveryKeeper(TForm1 &form, const QString &dataFolder)
    : QObject(&form)
    , m_form(form)
{
    setObjectName(QStringLiteral("RecoveryKeeper"));
    auto store = std::make_shared<TRecoveryStore>(dataFolder);
    QString error;
    if (dataFolder.isEmpty() || !store->openSession(&error)) {
        if (DebugOut out = form.debugTarget())
            out(QStringLiteral("Error: TRecoveryKeeper: no recovery folder: %1").arg(error));
        return;
    }
    m_writer = std::make_unique<TRecoveryWriter>(store);
    connect(m_writer.get(), &TRecoveryWriter::failed, this, [this](const QString &id, const QString &why) {
        if (DebugOut out = m_form.debugTarget())
            out(QStringLiteral("Error: TRecoveryKeeper: %1 could not be written: %2").arg(id, why));
    });
    m_quiet.setSingleShot(true);
    connect(&m_quiet, &QTimer::timeout, this, &TRecoveryKeeper::writeDue);
    connect(form.documents(), &TDocumentSet::documentAdded, this, &TRecoveryKeeper::track);
    for (TMemoSource *b : std::as_const(gMemoData))
        track(b);
}

TRecoveryKeeper::~TRecoveryKeeper()
{
    // The writer finishes its queue before the store lets go of the folder.
    m_writer.reset();
}

TRecoveryStore *TRecoveryKeeper::store() const
{
    return m_writer ? m_writer->store() : nullptr;
}

void TRecoveryKeeper::setDelays(int quietMs, int longestMs)
{
    m_quietMs = quietMs;
    m_longestMs = longestMs;
}

void TRecoveryKeeper::track(TMemoSource *buffer)
{
    if (!m_writer)
        return;
    connect(buffer, &ITextBuffer::textChanged, this, [this, buffer] { changed(buffer); });
    connect(buffer, &ITextBuffer::modificationChanged, this, [this, buffer](bool modified) {
        if (modified)
            changed(buffer);
        else
            forget(buffer);
    });
    connect(buffer, &QObject::destroyed, this, [this, buffer] { forget(buffer); });
}

QString TRecoveryKeeper::idOf(TMemoSource *buffer)
{
    auto it = m_ids.find(buffer);
    if (it == m_ids.end())
        it = m_ids.insert(buffer, QStringLiteral("doc-%1").arg(m_nextId++));
    return *it;
}

void TRecoveryKeeper::changed(TMemoSource *buffer)
{
    if (m_due.isEmpty())
        m_oldestChange.start();
    m_due.insert(buffer);
    // Long typing still gets a copy, at a pause between keys: taking it never
    // holds up a key typed in a burst.
    constexpr int ShortPauseMs = 300;
    m_quiet.start(m_oldestChange.elapsed() >= m_longestMs ? qMin(ShortPauseMs, m_quietMs) : m_quietMs);
}

void TRecoveryKeeper::forget(TMemoSource *buffer)
{
    m_due.remove(buffer);
    const auto it = m_ids.find(buffer);
    if (it == m_ids.end())
        return;
    m_writer->remove(*it);
    m_ids.erase(it);
}

void TRecoveryKeeper::writeDue()
{
    m_quiet.stop();
    const QSet<TMemoSource *> due = std::exchange(m_due, {});
    for (TMemoSource *buffer : due)
        writeNow(buffer);
}

void TRecoveryKeeper::writeNow(TMemoSource *buffer)
{
    if (!m_writer)
        return;
    m_due.remove(buffer);
    const int index = m_form.documents()->indexOfBuffer(buffer);
    if (index < 0)
        return;
    // An unmodified document is its file: nothing to keep.
    if (!buffer->isModified()) {
        forget(buffer);
        return;
    }
    TRecoveryEntry entry;
    entry.id = idOf(buffer);
    entry.fileName = m_form.documents()->fileNameAt(index);
    entry.format = buffer->fileFormat();
    entry.savedAt = QDateTime::currentDateTimeUtc();
    if (stampOf)
        entry.disk = stampOf(buffer);
    entry.text = buffer->storedBytes();
    m_writer->write(std::move(entry));
}

} // namespace Quorvant
