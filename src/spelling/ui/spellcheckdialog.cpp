#include "spellcheckdialog.h"

#include "inifile.h"
#include "messageservice.h"
#include "spellchecker.h"
#include "textbuffer.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace Quorvant {

namespace {

const QString MsgCheckComplete = QStringLiteral("The spelling check is complete.");

struct OptionBox
{
    const char *caption;
    bool TSpellOptions::*field;
};

const OptionBox OptionBoxes[] = {
    {"Check words in capitals", &TSpellOptions::wordsInCapitals},
    {"Check words with numbers", &TSpellOptions::wordsWithDigits},
    {"Main dictionary only", &TSpellOptions::mainDictionaryOnly},
    {"Report repeated words", &TSpellOptions::repeatedWords},
};

} // namespace

TSpellCheckDialog::TSpellCheckDialog(TSpellChecker &checker, QWidget *parent) : QDialog(parent), m_checker(checker)
{
    setObjectName(QStringLiteral("SpellCheckDialog"));
    setWindowTitle(QStringLiteral("Check Spelling"));
    setModal(false);
    setWindowFlag(Qt::Tool);

    auto *grid = new QGridLayout;
    m_reason = new QLabel(QStringLiteral("Not in dictionary:"));
    m_word = new QLineEdit;
    m_word->setObjectName(QStringLiteral("NotInDictionary"));
    m_word->setReadOnly(true);
    m_changeTo = new QLineEdit;
    m_changeTo->setObjectName(QStringLiteral("ChangeTo"));
    m_suggestions = new QListWidget;
    m_suggestions->setObjectName(QStringLiteral("Suggestions"));
    grid->addWidget(m_reason, 0, 0);
    grid->addWidget(m_word, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Change to:")), 1, 0);
    grid->addWidget(m_changeTo, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Suggestions:")), 2, 0, Qt::AlignTop);
    grid->addWidget(m_suggestions, 2, 1);
    connect(m_suggestions, &QListWidget::currentTextChanged, m_changeTo, [this](const QString &s) {
        if (!s.isEmpty())
            m_changeTo->setText(s);
    });
    connect(m_suggestions, &QListWidget::itemDoubleClicked, this, [this] { change(); });

    auto *buttons = new QVBoxLayout;
    auto button = [&](const char *name, const char *caption, void (TSpellCheckDialog::*slot)()) {
        auto *b = new QPushButton(QLatin1String(caption));
        b->setObjectName(QLatin1String(name));
        connect(b, &QPushButton::clicked, this, slot);
        buttons->addWidget(b);
        return b;
    };
    button("IgnoreButton", "&Ignore", &TSpellCheckDialog::ignore);
    m_ignoreAllButton = button("IgnoreAllButton", "I&gnore All", &TSpellCheckDialog::ignoreAll);
    m_change = button("ChangeButton", "&Change", &TSpellCheckDialog::change);
    m_changeAllButton = button("ChangeAllButton", "Change A&ll", &TSpellCheckDialog::changeAll);
    m_add = button("AddButton", "&Add", &TSpellCheckDialog::addWord);
    buttons->addStretch();
    button("CancelButton", "Cancel", &TSpellCheckDialog::cancel);
    m_change->setDefault(true);

    auto *options = new QGroupBox(QStringLiteral("Options"));
    auto *optionLayout = new QVBoxLayout(options);
    for (const OptionBox &o : OptionBoxes) {
        auto *box = new QCheckBox(QLatin1String(o.caption));
        box->setChecked(checker.options().*o.field);
        optionLayout->addWidget(box);
        m_optionBoxes.append(box);
        connect(box, &QCheckBox::toggled, this, &TSpellCheckDialog::optionsToggled);
    }

    auto *top = new QHBoxLayout;
    top->addLayout(grid, 1);
    top->addLayout(buttons);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(options);

    // Where the user last left the dialog, kept with the spelling options.
    const IniFile ini(m_checker.optionsPath());
    if (ini.valueExists(QStringLiteral("Dialog"), QStringLiteral("Left"))) {
        m_userPlace = QPoint(ini.readInteger(QStringLiteral("Dialog"), QStringLiteral("Left"), 0),
                             ini.readInteger(QStringLiteral("Dialog"), QStringLiteral("Top"), 0));
        m_placedByUser = true;
    }
}

TSpellCheckDialog::~TSpellCheckDialog()
{
    if (m_session)
        finish(true);
}

QString TSpellCheckDialog::currentWord() const
{
    return m_session ? m_session->current().word : QString();
}

void TSpellCheckDialog::optionsToggled()
{
    TSpellOptions o = m_checker.options();
    for (int i = 0; i < m_optionBoxes.size(); ++i)
        o.*OptionBoxes[i].field = m_optionBoxes[i]->isChecked();
    (void)m_checker.setOptions(o);
}

void TSpellCheckDialog::start(ITextBuffer *buffer)
{
    if (m_session || !buffer)
        return;
    m_buffer = buffer;
    m_caret = buffer->caretPoint();
    QString text;
    if (buffer->hasSelection()) {
        SelectionRect r = buffer->selectionRect();
        const bool reversed = r.end.y < r.start.y || (r.end.y == r.start.y && r.end.x < r.start.x);
        m_base = reversed ? r.end : r.start;
        text = buffer->selText();
    } else {
        m_base = {0, 0};
        text = buffer->text();
    }
    m_lineStarts = {0};
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
            continue;
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            m_lineStarts.append(i + 1);
    }
    m_wasReadOnly = buffer->isReadOnly();
    buffer->setReadOnly(true);
    connect(buffer, &QObject::destroyed, this, [this] { finish(true); });
    m_session = std::make_unique<TSpellSession>(m_checker, text);
    ask();
}

CaretPoint TSpellCheckDialog::pointAt(qsizetype offset) const
{
    const auto it = std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), offset);
    const int line = int(it - m_lineStarts.begin()) - 1;
    const int column = int(offset - m_lineStarts.at(line));
    return line == 0 ? CaretPoint{m_base.x + column, m_base.y} : CaretPoint{column, m_base.y + line};
}

void TSpellCheckDialog::ask()
{
    if (!m_session)
        return;
    if (!m_session->next()) {
        finish(false);
        return;
    }
    const TSpellSession::Question &q = m_session->current();
    m_reason->setText(q.repeated ? QStringLiteral("Repeated word:") : QStringLiteral("Not in dictionary:"));
    m_word->setText(q.word);
    m_suggestions->clear();
    if (q.repeated) {
        m_changeTo->clear();
        m_change->setText(QStringLiteral("&Delete"));
    } else {
        m_change->setText(QStringLiteral("&Change"));
        const QStringList s = m_checker.suggestions(q.word);
        m_suggestions->addItems(s);
        m_changeTo->setText(s.isEmpty() ? q.word : s.first());
        if (!s.isEmpty())
            m_suggestions->setCurrentRow(0);
    }
    m_changeAllButton->setEnabled(!q.repeated);
    m_add->setEnabled(!q.repeated);
    m_ignoreAllButton->setEnabled(!q.repeated);
    if (m_buffer) {
        const CaretPoint from = pointAt(q.offset);
        m_buffer->setSelection({from, pointAt(q.offset + q.length)});
        const bool first = !isVisible();
        if (first) {
            if (m_placedByUser) {
                m_placing = true;
                move(m_userPlace);
                m_placing = false;
            }
            show();
        }
        raise();
        if (wordRect) {
            keepClearOf(wordRect(from));
            // A new window is placed by the window manager after show(): check again then.
            if (first)
                QTimer::singleShot(50, this, [this, from] {
                    if (m_session && wordRect)
                        keepClearOf(wordRect(from));
                });
        }
    }
    m_changeTo->setFocus();
    m_changeTo->selectAll();
}

void TSpellCheckDialog::keepClearOf(const QRect &word)
{
    if (word.isEmpty())
        return;
    QRect frame = frameGeometry();
    if (m_placedByUser)
        frame.moveTopLeft(m_userPlace);
    if (!frame.intersects(word.adjusted(-4, -4, 4, 4))) {
        if (m_placedByUser && frame.topLeft() != frameGeometry().topLeft()) {
            m_placing = true;
            move(frame.topLeft());
            m_placing = false;
        }
        return;
    }
    const QScreen *screen = QGuiApplication::screenAt(word.center());
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1 << 15, 1 << 15);
    // Below the word if it fits, else above it.
    QPoint to(frame.x(), word.bottom() + 8);
    if (to.y() + frame.height() > area.bottom())
        to.setY(word.top() - 8 - frame.height());
    to.setY(qMax(area.top(), to.y()));
    m_placing = true;
    move(to);
    m_placing = false;
}

void TSpellCheckDialog::moveEvent(QMoveEvent *event)
{
    QDialog::moveEvent(event);
    if (!m_placing && isVisible() && event->spontaneous()) {
        m_userPlace = frameGeometry().topLeft();
        m_placedByUser = true;
        IniFile ini(m_checker.optionsPath());
        (void)ini.writeInteger(QStringLiteral("Dialog"), QStringLiteral("Left"), m_userPlace.x());
        (void)ini.writeInteger(QStringLiteral("Dialog"), QStringLiteral("Top"), m_userPlace.y());
    }
}

void TSpellCheckDialog::ignore()
{
    ask();
}

void TSpellCheckDialog::ignoreAll()
{
    if (m_session)
        m_session->ignoreAll();
    ask();
}

void TSpellCheckDialog::change()
{
    if (!m_session)
        return;
    if (m_session->current().repeated)
        m_session->deleteRepeated();
    else
        m_session->change(m_changeTo->text());
    ask();
}

void TSpellCheckDialog::changeAll()
{
    if (!m_session)
        return;
    m_session->changeAll(m_changeTo->text());
    ask();
}

void TSpellCheckDialog::addWord()
{
    if (!m_session)
        return;
    if (!m_session->addToUserList())
        MessageService::error(this, QStringLiteral("The word could not be added to your word list %1.")
                                        .arg(m_checker.userListPath()));
    ask();
}

void TSpellCheckDialog::cancel()
{
    finish(true);
}

void TSpellCheckDialog::closeEvent(QCloseEvent *event)
{
    finish(true);
    QDialog::closeEvent(event);
}

// The corrections go in as one undo step covering the span they touch.
void TSpellCheckDialog::finish(bool cancelled)
{
    if (!m_session)
        return;
    std::unique_ptr<TSpellSession> session = std::move(m_session);
    ITextBuffer *buffer = m_buffer;
    m_buffer = nullptr;
    if (buffer) {
        disconnect(buffer, &QObject::destroyed, this, nullptr);
        buffer->setReadOnly(m_wasReadOnly);
        if (session->changed()) {
            const auto &reps = session->replacements();
            const qsizetype from = reps.first().offset;
            const qsizetype to = reps.last().offset + reps.last().length;
            const QString result = session->result();
            const qsizetype resultTo = session->mapOffset(to);
            buffer->beginUndoAction();
            buffer->setSelection({pointAt(from), pointAt(to)});
            buffer->setSelText(result.mid(from, resultTo - from));
            buffer->endUndoAction();
            buffer->setModified(true);
            if (documentChanged)
                documentChanged();
        }
        buffer->setCaretPoint(m_caret);
    }
    hide();
    emit checkEnded();
    if (!cancelled)
        MessageService::information(parentWidget(), MsgCheckComplete);
}

} // namespace Quorvant
