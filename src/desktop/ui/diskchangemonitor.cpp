#include "diskchangemonitor.h"

#include "appglobals.h"
#include "desktoptexts.h"
#include "diskchangecheck.h"
#include "documentset.h"
#include "mainwindow.h"
#include "messageservice.h"
#include "tmemosource.h"

#include <QApplication>
#include <QEvent>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QStatusBar>

#include <utility>

namespace Quorvant {

TDiskChangeMonitor::TDiskChangeMonitor(TForm1 &form)
    : QObject(&form)
    , m_form(form)
    , m_watcher(new QFileSystemWatcher(this))
{
    setObjectName(QStringLiteral("DiskChangeMonitor"));
    TDocumentSet *docs = form.documents();
    connect(docs, &TDocumentSet::documentAdded, this, &TDiskChangeMonitor::track);
    connect(docs, &TDocumentSet::documentFileSynced, this, &TDiskChangeMonitor::synced);
    docs->confirmOverwrite = [this](TMemoSource *buffer, const QString &path) { return confirmOverwrite(buffer, path); };
    docs->fileStillAsConfirmed = [this](TMemoSource *buffer, const QString &path) {
        const auto it = m_stamps.constFind(buffer);
        return it == m_stamps.constEnd() || it->path != path
               || DiskChangeCheck::check(*it).result != DiskChangeCheck::Result::Changed;
    };
    for (TMemoSource *b : std::as_const(gMemoData))
        track(b);
    form.installEventFilter(this);
    // The watcher only hurries a check along: it misses files replaced by
    // a rename, which the checks on activation and save still catch.
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, [this](const QString &path) {
        watch(path);
        if (m_form.isActiveWindow())
            m_settled.start();
    });
    m_settled.setSingleShot(true);
    m_settled.setInterval(300);
    connect(&m_settled, &QTimer::timeout, this, [this] {
        // The watcher goes when its file does: a file written anew is
        // watched again.
        for (TMemoSource *b : std::as_const(gMemoData)) {
            const auto it = m_stamps.constFind(b);
            if (it != m_stamps.constEnd())
                watch(it->path);
        }
        checkAll();
    });
    m_soon.setSingleShot(true);
    m_soon.setInterval(0);
    connect(&m_soon, &QTimer::timeout, this, [this] { checkAllBut(std::exchange(m_justSynced, {})); });
}

void TDiskChangeMonitor::track(TMemoSource *buffer)
{
    connect(buffer, &QObject::destroyed, this, [this, buffer] {
        m_stamps.remove(buffer);
        m_justSynced.remove(buffer);
    });
}

void TDiskChangeMonitor::synced(TMemoSource *buffer)
{
    const FileContentId io = buffer->lastFileIo();
    if (!io.isValid())
        return;
    m_stamps.insert(buffer, DiskStamp::afterIo(io));
    watch(io.path);
    // Each save looks at the other documents too. This one's stamp comes from
    // the bytes just moved: reading them back now would only repeat that (a
    // stamp taken this close to the file's last change is read at the next
    // check instead).
    m_justSynced.insert(buffer);
    scheduleCheck();
}

void TDiskChangeMonitor::adoptStamp(TMemoSource *buffer, const DiskStamp &stamp)
{
    m_stamps.insert(buffer, stamp);
    if (!stamp.path.isEmpty())
        watch(stamp.path);
}

DiskStamp TDiskChangeMonitor::stampOf(const TMemoSource *buffer) const
{
    return m_stamps.value(buffer);
}

void TDiskChangeMonitor::watch(const QString &path)
{
    if (QFileInfo::exists(path) && !m_watcher->files().contains(path))
        m_watcher->addPath(path);
}

void TDiskChangeMonitor::scheduleCheck()
{
    m_soon.start();
}

bool TDiskChangeMonitor::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &m_form && event->type() == QEvent::WindowActivate) {
        // Back from another program: every document is looked at.
        m_justSynced.clear();
        scheduleCheck();
    }
    return false;
}

void TDiskChangeMonitor::note(const QString &text)
{
    m_form.StatusBar1()->showMessage(text, 10000);
}

bool TDiskChangeMonitor::confirmOverwrite(TMemoSource *buffer, const QString &path)
{
    auto it = m_stamps.find(buffer);
    if (it == m_stamps.end() || it->path != path)
        return true;
    const DiskChangeCheck::Outcome outcome = DiskChangeCheck::check(*it);
    if (outcome.result != DiskChangeCheck::Result::Changed)
        return true;
    if (MessageService::show(&m_form, DesktopText::changedBeforeSave(path), MessageIcon::Warning, YesNo) == mbYes) {
        // Agreed to replace this version; another change meanwhile is asked
        // about again.
        m_stamps.insert(buffer, outcome.now);
        return true;
    }
    // The next save asks again.
    note(DesktopText::notSavedNote(QFileInfo(path).fileName()));
    return false;
}

void TDiskChangeMonitor::checkAll()
{
    checkAllBut({});
}

void TDiskChangeMonitor::checkAllBut(const QSet<const TMemoSource *> &skip)
{
    // A question box takes the focus and gives it back, which activates the
    // window again: that check waits for this one.
    if (m_checking) {
        m_checkAgain = true;
        return;
    }
    m_checking = true;
    TDocumentSet *docs = m_form.documents();
    for (int i = 0; i < docs->PagesOpen(); ++i) {
        if (i >= gMemoData.size() || !skip.contains(gMemoData.at(i)))
            checkOne(i);
    }
    m_checking = false;
    if (m_checkAgain) {
        m_checkAgain = false;
        scheduleCheck();
    }
}

void TDiskChangeMonitor::checkOne(int index)
{
    TDocumentSet *docs = m_form.documents();
    TMemoSource *buffer = index < gMemoData.size() ? gMemoData.at(index) : nullptr;
    const QString path = docs->fileNameAt(index);
    auto it = m_stamps.find(buffer);
    if (!buffer || path.isEmpty() || it == m_stamps.end() || it->path != path)
        return;
    const DiskChangeCheck::Outcome outcome = DiskChangeCheck::check(*it);
    const QString name = QFileInfo(path).fileName();
    switch (outcome.result) {
    case DiskChangeCheck::Result::Unchanged:
        *it = outcome.now;
        return;
    case DiskChangeCheck::Result::Missing:
        *it = outcome.now;
        buffer->setModified(true);
        if (buffer == docs->currentBuffer())
            gDocumentModified = true;
        note(QStringLiteral("%1 was deleted or moved by another program.").arg(name));
        MessageService::warning(&m_form, DesktopText::deletedOnDisk(path));
        return;
    case DiskChangeCheck::Result::Changed:
        break;
    }
    if (buffer->isModified()) {
        // Keeping it is a decision about this version of the file only.
        *it = outcome.now;
        if (MessageService::show(&m_form, DesktopText::changedWhileModified(path), MessageIcon::Warning, YesNo) != mbYes)
            return;
    }
    QString error;
    if (docs->reloadDocument(buffer, &error))
        note(DesktopText::reloadedNote(name));
    else
        MessageService::error(&m_form, error);
}

} // namespace Quorvant
