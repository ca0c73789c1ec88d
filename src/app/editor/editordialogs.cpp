#include "editordialogs.h"

#include "messageservice.h"
#include "textbuffer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QStatusBar>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QVBoxLayout>

namespace Quorvant {

namespace {

constexpr int HistoryLimit = 20;

// Texts typed in this run, newest first, and the last search made here (so
// Find Next works in a document that has not been searched yet).
QStringList s_findHistory;
QStringList s_replaceHistory;
SearchOptions s_lastSearch;

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

// The find text offered when a dialog opens: a one-line selection, else the
// word at the caret, else the last search.
QString initialFindText(const ITextBuffer *b)
{
    const QString sel = b->selText();
    if (!sel.isEmpty() && !sel.contains(u'\r') && !sel.contains(u'\n'))
        return sel;
    const CaretPoint p = b->caretPoint();
    if (p.y >= 0 && p.y < b->lineCount()) {
        const QString line = b->line(p.y);
        int from = qBound(0, p.x, int(line.size()));
        int to = from;
        while (from > 0 && isWordChar(line.at(from - 1)))
            --from;
        while (to < line.size() && isWordChar(line.at(to)))
            ++to;
        if (to > from)
            return line.mid(from, to - from);
    }
    if (!b->lastSearch().text.isEmpty())
        return b->lastSearch().text;
    return s_lastSearch.text;
}

QComboBox *historyCombo(const QString &objectName, const QStringList &history, QWidget *parent)
{
    auto *combo = new QComboBox(parent);
    combo->setObjectName(objectName);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setMinimumContentsLength(30);
    combo->addItems(history);
    return combo;
}

void showNotFound(QWidget *parent, const QString &text)
{
    MessageService::information(parent, QStringLiteral("Search string '%1' not found").arg(text));
}

} // namespace

// ---------------------------------------------------------------- base

SearchDialogBase::SearchDialogBase(ITextBuffer *buffer, QWidget *parent)
    : QDialog(parent)
    , m_buffer(buffer)
{
}

QWidget *SearchDialogBase::createOptionsBox()
{
    // Made first, so it comes first in the Tab order and has the focus as
    // the dialog opens: typing goes straight into it.
    m_findText = historyCombo(QStringLiteral("findText"), s_findHistory, this);
    m_findText->setFocus();

    auto *box = new QWidget(this);
    auto *row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);

    auto *optionsGroup = new QGroupBox(tr("Options"), box);
    auto *optionsLayout = new QVBoxLayout(optionsGroup);
    m_caseSensitive = new QCheckBox(tr("&Case sensitive"), optionsGroup);
    m_caseSensitive->setObjectName(QStringLiteral("caseSensitive"));
    m_wholeWords = new QCheckBox(tr("&Whole words only"), optionsGroup);
    m_wholeWords->setObjectName(QStringLiteral("wholeWords"));
    m_regex = new QCheckBox(tr("Regular &expressions"), optionsGroup);
    m_regex->setObjectName(QStringLiteral("regularExpressions"));
    optionsLayout->addWidget(m_caseSensitive);
    optionsLayout->addWidget(m_wholeWords);
    optionsLayout->addWidget(m_regex);
    row->addWidget(optionsGroup);

    auto *directionGroup = new QGroupBox(tr("Direction"), box);
    auto *directionLayout = new QVBoxLayout(directionGroup);
    m_forward = new QRadioButton(tr("Forwar&d"), directionGroup);
    m_forward->setObjectName(QStringLiteral("forward"));
    m_backward = new QRadioButton(tr("&Backward"), directionGroup);
    m_backward->setObjectName(QStringLiteral("backward"));
    directionLayout->addWidget(m_forward);
    directionLayout->addWidget(m_backward);
    directionLayout->addStretch();
    row->addWidget(directionGroup);

    auto *originGroup = new QGroupBox(tr("Origin"), box);
    auto *originLayout = new QVBoxLayout(originGroup);
    m_fromCursor = new QRadioButton(tr("&From cursor"), originGroup);
    m_fromCursor->setObjectName(QStringLiteral("fromCursor"));
    m_entireScope = new QRadioButton(tr("&Entire scope"), originGroup);
    m_entireScope->setObjectName(QStringLiteral("entireScope"));
    originLayout->addWidget(m_fromCursor);
    originLayout->addWidget(m_entireScope);
    originLayout->addStretch();
    row->addWidget(originGroup);

    SearchOptions start = m_buffer && !m_buffer->lastSearch().text.isEmpty() ? m_buffer->lastSearch() : s_lastSearch;
    start.text = m_buffer ? initialFindText(m_buffer) : start.text;
    start.fromCaret = true;
    setOptions(start);
    return box;
}

SearchOptions SearchDialogBase::options() const
{
    SearchOptions o;
    o.text = m_findText->currentText();
    o.caseSensitive = m_caseSensitive->isChecked();
    o.wholeWords = m_wholeWords->isChecked();
    o.regularExpression = m_regex->isChecked();
    o.backwards = m_backward->isChecked();
    o.fromCaret = m_fromCursor->isChecked();
    return o;
}

void SearchDialogBase::setOptions(const SearchOptions &o)
{
    m_findText->setEditText(o.text);
    m_findText->lineEdit()->selectAll();
    m_caseSensitive->setChecked(o.caseSensitive);
    m_wholeWords->setChecked(o.wholeWords);
    m_regex->setChecked(o.regularExpression);
    (o.backwards ? m_backward : m_forward)->setChecked(true);
    (o.fromCaret ? m_fromCursor : m_entireScope)->setChecked(true);
}

bool SearchDialogBase::validate(const SearchOptions &o)
{
    if (!m_buffer || o.text.isEmpty())
        return false;
    if (o.regularExpression) {
        const QRegularExpression re(o.text);
        if (!re.isValid()) {
            MessageService::warning(this, tr("Invalid regular expression: %1").arg(re.errorString()));
            return false;
        }
    }
    return true;
}

void SearchDialogBase::notFound(const QString &text)
{
    showNotFound(this, text);
}

void SearchDialogBase::remember(QComboBox *combo, QStringList *history, const QString &text)
{
    if (text.isEmpty())
        return;
    history->removeAll(text);
    history->prepend(text);
    while (history->size() > HistoryLimit)
        history->removeLast();
    const QString shown = combo->currentText();
    combo->clear();
    combo->addItems(*history);
    combo->setEditText(shown);
}

// ---------------------------------------------------------------- Find

FindDialog::FindDialog(ITextBuffer *buffer, QWidget *parent)
    : SearchDialogBase(buffer, parent)
{
    setWindowTitle(tr("Find Text"));
    QWidget *optionsBox = createOptionsBox();

    auto *form = new QFormLayout;
    auto *label = new QLabel(tr("&Text to find:"), this);
    label->setBuddy(m_findText);
    form->addRow(label, m_findText);

    auto *buttons = new QDialogButtonBox(this);
    m_findButton = buttons->addButton(tr("Find"), QDialogButtonBox::AcceptRole);
    m_findButton->setObjectName(QStringLiteral("findButton"));
    m_findButton->setDefault(true);
    QPushButton *cancel = buttons->addButton(QDialogButtonBox::Cancel);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    // The Find button decides itself whether the dialog closes.
    connect(m_findButton, &QPushButton::clicked, this, [this] { find(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto updateButton = [this] { m_findButton->setEnabled(!m_findText->currentText().isEmpty()); };
    connect(m_findText, &QComboBox::editTextChanged, this, updateButton);
    updateButton();

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(optionsBox);
    layout->addWidget(buttons);
}

bool FindDialog::find()
{
    const SearchOptions o = options();
    if (!validate(o))
        return false;
    remember(m_findText, &s_findHistory, o.text);
    s_lastSearch = o;
    if (!m_buffer->find(o)) {
        notFound(o.text);
        return false;
    }
    accept();
    return true;
}

// ---------------------------------------------------------------- Replace

ReplaceDialog::ReplaceDialog(ITextBuffer *buffer, QWidget *parent)
    : SearchDialogBase(buffer, parent)
{
    setWindowTitle(tr("Replace Text"));
    QWidget *optionsBox = createOptionsBox();
    m_replaceText = historyCombo(QStringLiteral("replaceText"), s_replaceHistory, this);
    m_replaceText->setEditText(s_replaceHistory.value(0));
    setTabOrder(m_findText, m_replaceText);

    auto *form = new QFormLayout;
    auto *findLabel = new QLabel(tr("&Text to find:"), this);
    findLabel->setBuddy(m_findText);
    form->addRow(findLabel, m_findText);
    auto *replaceLabel = new QLabel(tr("&Replace with:"), this);
    replaceLabel->setBuddy(m_replaceText);
    form->addRow(replaceLabel, m_replaceText);

    auto *buttons = new QDialogButtonBox(this);
    m_replaceButton = buttons->addButton(tr("&Replace"), QDialogButtonBox::ActionRole);
    m_replaceButton->setObjectName(QStringLiteral("replaceButton"));
    m_replaceButton->setDefault(true);
    m_replaceAllButton = buttons->addButton(tr("Replace &All"), QDialogButtonBox::ActionRole);
    m_replaceAllButton->setObjectName(QStringLiteral("replaceAllButton"));
    QPushButton *cancel = buttons->addButton(QDialogButtonBox::Cancel);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    connect(m_replaceButton, &QPushButton::clicked, this, [this] { replace(); });
    connect(m_replaceAllButton, &QPushButton::clicked, this, [this] { replaceAll(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_findText, &QComboBox::editTextChanged, this, &ReplaceDialog::updateButtons);
    updateButtons();

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(optionsBox);
    layout->addWidget(buttons);
}

QString ReplaceDialog::replacement() const
{
    return m_replaceText->currentText();
}

void ReplaceDialog::setReplacement(const QString &text)
{
    m_replaceText->setEditText(text);
}

void ReplaceDialog::updateButtons()
{
    const bool any = !m_findText->currentText().isEmpty();
    m_replaceButton->setEnabled(any);
    m_replaceAllButton->setEnabled(any);
}

bool ReplaceDialog::selectionIsMatch(const SearchOptions &o) const
{
    const QString sel = m_buffer->selText();
    if (sel.isEmpty())
        return false;
    if (o.regularExpression) {
        QRegularExpression re(QRegularExpression::anchoredPattern(o.text));
        if (!o.caseSensitive)
            re.setPatternOptions(QRegularExpression::CaseInsensitiveOption);
        return re.match(sel).hasMatch();
    }
    return sel.compare(o.text, o.caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive) == 0;
}

bool ReplaceDialog::replace()
{
    SearchOptions o = options();
    if (!validate(o))
        return false;
    remember(m_findText, &s_findHistory, o.text);
    remember(m_replaceText, &s_replaceHistory, replacement());
    if (selectionIsMatch(o)) {
        const SelectionRect sel = m_buffer->selectionRect();
        m_buffer->setSelText(replacement());
        // Searching backwards goes on before the replaced text, not inside it.
        if (o.backwards)
            m_buffer->setCaretPoint(sel.start);
        o.fromCaret = true;
    }
    s_lastSearch = o;
    if (!m_buffer->find(o)) {
        notFound(o.text);
        return false;
    }
    // Once a match is found, the next press continues from it.
    m_fromCursor->setChecked(true);
    return true;
}

int ReplaceDialog::replaceAll()
{
    const SearchOptions o = options();
    if (!validate(o))
        return 0;
    remember(m_findText, &s_findHistory, o.text);
    remember(m_replaceText, &s_replaceHistory, replacement());
    s_lastSearch = o;
    // A long run shows how far it is in the main window's status bar and
    // lets the windows repaint; input waits until it is done.
    QElapsedTimer clock;
    clock.start();
    QStatusBar *status = nullptr;
    if (auto *main = qobject_cast<QMainWindow *>(parentWidget() ? parentWidget()->window() : nullptr))
        status = main->statusBar();
    bool shown = false;
    const int n = m_buffer->replaceAll(o, replacement(), [&](qsizetype done, qsizetype total) {
        if (clock.elapsed() < 300)
            return;
        if (status) {
            status->showMessage(tr("Replacing... %1 of %2").arg(done).arg(total));
            shown = true;
        }
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers);
    });
    if (shown)
        status->clearMessage();
    if (n == 0) {
        notFound(o.text);
        return 0;
    }
    MessageService::information(this, QStringLiteral("%1 occurrence(s) replaced.").arg(n));
    accept();
    return n;
}

// ---------------------------------------------------------------- Go to line

GoToLineDialog::GoToLineDialog(ITextBuffer *buffer, QWidget *parent)
    : QDialog(parent)
    , m_buffer(buffer)
{
    setWindowTitle(tr("Go to Line Number"));
    m_line = new QSpinBox(this);
    m_line->setObjectName(QStringLiteral("lineNumber"));
    m_line->setRange(1, buffer ? qMax(1, buffer->lineCount()) : 1);
    m_line->setValue(buffer ? buffer->caretPoint().y + 1 : 1);
    m_line->selectAll();

    auto *form = new QFormLayout;
    auto *label = new QLabel(tr("&Enter new line number:"), this);
    label->setBuddy(m_line);
    form->addRow(label, m_line);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("buttons"));
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &GoToLineDialog::goToLine);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void GoToLineDialog::goToLine()
{
    if (m_buffer)
        m_buffer->setCaretPoint({0, m_line->value() - 1});
    accept();
}

// ---------------------------------------------------------------- entry points

void showSearchDialog(QWidget *parent, ITextBuffer *buffer)
{
    if (!buffer)
        return;
    FindDialog dialog(buffer, parent);
    dialog.exec();
}

void showReplaceDialog(QWidget *parent, ITextBuffer *buffer)
{
    if (!buffer)
        return;
    ReplaceDialog dialog(buffer, parent);
    dialog.exec();
}

void showGoToLineDialog(QWidget *parent, ITextBuffer *buffer)
{
    if (!buffer)
        return;
    GoToLineDialog dialog(buffer, parent);
    dialog.exec();
}

bool findNext(QWidget *parent, ITextBuffer *buffer)
{
    if (!buffer)
        return false;
    SearchOptions o = buffer->lastSearch().text.isEmpty() ? s_lastSearch : buffer->lastSearch();
    if (o.text.isEmpty()) {
        FindDialog dialog(buffer, parent);
        return dialog.exec() == QDialog::Accepted;
    }
    o.fromCaret = true;
    if (buffer->find(o))
        return true;
    showNotFound(parent, o.text);
    return false;
}

void resetSearchHistory()
{
    s_findHistory.clear();
    s_replaceHistory.clear();
    s_lastSearch = SearchOptions();
}

} // namespace Quorvant
