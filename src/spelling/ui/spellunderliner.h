// Underlines the misspelled words of the visible text while the user types.
// The words are checked on a thread of their own with its own checker, so a
// keystroke only restarts a timer; an answer for text that changed since is
// dropped.
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <atomic>
#include <memory>

class QThread;

namespace Quorvant {

class ScintillaWidget;

class TSpellUnderliner : public QObject
{
    Q_OBJECT
public:
    TSpellUnderliner(ScintillaWidget *editor, QString dataFolder, QObject *parent = nullptr);
    ~TSpellUnderliner() override;

    void setEnabled(bool on);
    bool isEnabled() const { return m_enabled; }
    // The words underlined now, as "line:column:length"; for tests.
    QStringList underlined() const;
    // Checks again soon (after an edit, a scroll or another document).
    void schedule();
    // Checks now; the answer arrives later through the event loop.
    void checkNow();
    // Reads the user's word list and options again (they changed elsewhere),
    // then checks.
    void reloadWords();
    int answersApplied() const { return m_applied; }

    static constexpr int Indicator = 9;

Q_SIGNALS:
    void underlinesChanged();

private:
    void apply(quint64 generation, const QList<QList<int>> &marks);
    void clearAll();

    QPointer<ScintillaWidget> m_editor;
    QString m_dataFolder;
    bool m_enabled = false;
    QTimer m_timer;
    QThread *m_thread = nullptr;
    QObject *m_worker = nullptr;
    std::shared_ptr<std::atomic<quint64>> m_generation;
    int m_applied = 0;
};

} // namespace Quorvant
