#include "spellunderliner.h"

#include "scintillawidget.h"
#include "spellchecker.h"
#include "spellscanner.h"

#include <QScrollBar>
#include <QThread>

namespace Quorvant {

namespace {

// Lines above the visible ones that are read too, so a tag or comment that
// starts above the window is still known as one.
constexpr int ContextLines = 40;

// Lives on the checking thread; its checker is made there on first use.
class TUnderlineWorker : public QObject
{
public:
    explicit TUnderlineWorker(QString dataFolder) : m_dataFolder(std::move(dataFolder)) {}
    TSpellChecker &checker()
    {
        if (!m_checker)
            m_checker = std::make_unique<TSpellChecker>(m_dataFolder);
        return *m_checker;
    }
    void dropChecker() { m_checker.reset(); }

private:
    QString m_dataFolder;
    std::unique_ptr<TSpellChecker> m_checker;
};

} // namespace

TSpellUnderliner::TSpellUnderliner(ScintillaWidget *editor, QString dataFolder, QObject *parent)
    : QObject(parent), m_editor(editor), m_dataFolder(std::move(dataFolder)),
      m_generation(std::make_shared<std::atomic<quint64>>(0))
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(200);
    connect(&m_timer, &QTimer::timeout, this, &TSpellUnderliner::checkNow);
    editor->SendScintilla(QsciScintillaBase::SCI_INDICSETSTYLE, Indicator, QsciScintillaBase::INDIC_SQUIGGLE);
    editor->SendScintilla(QsciScintillaBase::SCI_INDICSETFORE, Indicator, 0x0000FF);  // BGR: red
    connect(editor, &QsciScintilla::textChanged, this, &TSpellUnderliner::schedule);
    connect(editor->verticalScrollBar(), &QScrollBar::valueChanged, this, &TSpellUnderliner::schedule);
}

TSpellUnderliner::~TSpellUnderliner()
{
    if (m_thread) {
        m_thread->quit();
        m_thread->wait();
        delete m_worker;
    }
}

void TSpellUnderliner::setEnabled(bool on)
{
    if (m_enabled == on)
        return;
    m_enabled = on;
    if (!on) {
        m_timer.stop();
        ++*m_generation;
        clearAll();
        return;
    }
    if (!m_thread) {
        m_thread = new QThread(this);
        m_thread->setObjectName(QStringLiteral("SpellUnderline"));
        m_worker = new TUnderlineWorker(m_dataFolder);
        m_worker->moveToThread(m_thread);
        m_thread->start(QThread::LowPriority);
    }
    checkNow();
}

void TSpellUnderliner::schedule()
{
    if (!m_enabled)
        return;
    ++*m_generation;  // an answer on its way is for old text now
    m_timer.start();
}

void TSpellUnderliner::checkNow()
{
    if (!m_enabled || !m_editor)
        return;
    ScintillaWidget *e = m_editor;
    const int firstVisible = int(e->SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE));
    const int firstDoc = int(e->SendScintilla(QsciScintillaBase::SCI_DOCLINEFROMVISIBLE, firstVisible));
    const int onScreen = int(e->SendScintilla(QsciScintillaBase::SCI_LINESONSCREEN)) + 1;
    const int lastLine = qMin(e->lines() - 1, firstDoc + onScreen);
    const int firstRead = qMax(0, firstDoc - ContextLines);
    QStringList lines;
    for (int l = firstRead; l <= lastLine; ++l) {
        QString t = e->text(l);
        while (t.endsWith(QLatin1Char('\n')) || t.endsWith(QLatin1Char('\r')))
            t.chop(1);
        lines.append(t);
    }
    const quint64 generation = ++*m_generation;
    auto counter = m_generation;
    QPointer<TSpellUnderliner> self(this);
    auto *worker = static_cast<TUnderlineWorker *>(m_worker);
    const int skip = firstDoc - firstRead;
    QMetaObject::invokeMethod(worker, [worker, lines, generation, counter, self, firstRead, skip] {
        if (counter->load() != generation)
            return;  // typed again meanwhile: a newer request follows
        const QString text = lines.join(QLatin1Char('\n'));
        QList<qsizetype> starts{0};
        for (const QString &l : lines)
            starts.append(starts.last() + l.size() + 1);
        QList<QList<int>> marks;  // line, column, length
        for (const SpellWord &w : TSpellScanner::misspelled(worker->checker(), text, starts.at(skip))) {
            const int line = int(std::upper_bound(starts.begin(), starts.end(), w.offset) - starts.begin()) - 1;
            marks.append({firstRead + line, int(w.offset - starts.at(line)), int(w.length)});
        }
        QMetaObject::invokeMethod(self.data(), [self, generation, marks] {
            if (self)
                self->apply(generation, marks);
        });
    });
}

void TSpellUnderliner::reloadWords()
{
    if (!m_worker)
        return;  // no checker yet: the first one reads the files as they are
    auto *worker = static_cast<TUnderlineWorker *>(m_worker);
    // Queued ahead of the next check, so that check already uses the new checker.
    QMetaObject::invokeMethod(worker, [worker] { worker->dropChecker(); });
    checkNow();
}

void TSpellUnderliner::apply(quint64 generation, const QList<QList<int>> &marks)
{
    if (!m_enabled || !m_editor || m_generation->load() != generation)
        return;
    clearAll();
    ScintillaWidget *e = m_editor;
    e->SendScintilla(QsciScintillaBase::SCI_SETINDICATORCURRENT, Indicator);
    for (const QList<int> &m : marks) {
        const long from = e->positionFromLineIndex(m.at(0), m.at(1));
        const long to = e->positionFromLineIndex(m.at(0), m.at(1) + m.at(2));
        e->SendScintilla(QsciScintillaBase::SCI_INDICATORFILLRANGE, from, to - from);
    }
    ++m_applied;
    emit underlinesChanged();
}

void TSpellUnderliner::clearAll()
{
    if (!m_editor)
        return;
    ScintillaWidget *e = m_editor;
    e->SendScintilla(QsciScintillaBase::SCI_SETINDICATORCURRENT, Indicator);
    e->SendScintilla(QsciScintillaBase::SCI_INDICATORCLEARRANGE, 0, e->SendScintilla(QsciScintillaBase::SCI_GETLENGTH));
}

QStringList TSpellUnderliner::underlined() const
{
    QStringList out;
    if (!m_editor)
        return out;
    ScintillaWidget *e = m_editor;
    const long length = e->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    long pos = 0;
    while (pos < length) {
        const long end = e->SendScintilla(QsciScintillaBase::SCI_INDICATOREND, Indicator, pos);
        if (e->SendScintilla(QsciScintillaBase::SCI_INDICATORVALUEAT, Indicator, pos) != 0) {
            int line = 0;
            int index = 0;
            e->lineIndexFromPosition(int(pos), &line, &index);
            int endLine = 0;
            int endIndex = 0;
            e->lineIndexFromPosition(int(end), &endLine, &endIndex);
            out.append(QStringLiteral("%1:%2:%3").arg(line).arg(index).arg(endIndex - index));
        }
        if (end <= pos)
            break;
        pos = end;
    }
    return out;
}

} // namespace Quorvant
