#include "thesaurusdialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>

namespace Quorvant {

TThesaurusDialog::TThesaurusDialog(const TThesaurus &thesaurus, QWidget *parent)
    : QDialog(parent), m_thesaurus(thesaurus)
{
    setObjectName(QStringLiteral("ThesaurusDialog"));
    setWindowTitle(QStringLiteral("Thesaurus"));
    m_lookedUp = new QComboBox;
    m_lookedUp->setObjectName(QStringLiteral("LookedUp"));
    m_lookedUp->setEditable(true);
    m_meanings = new QListWidget;
    m_meanings->setObjectName(QStringLiteral("Meanings"));
    m_synonyms = new QListWidget;
    m_synonyms->setObjectName(QStringLiteral("Synonyms"));
    m_replaceWith = new QLineEdit;
    m_replaceWith->setObjectName(QStringLiteral("ReplaceWith"));

    auto *grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Looked up:")), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Replace with:")), 0, 1);
    grid->addWidget(m_lookedUp, 1, 0);
    grid->addWidget(m_replaceWith, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Meanings:")), 2, 0);
    grid->addWidget(new QLabel(QStringLiteral("Synonyms:")), 2, 1);
    grid->addWidget(m_meanings, 3, 0);
    grid->addWidget(m_synonyms, 3, 1);

    auto *buttons = new QHBoxLayout;
    auto button = [&](const char *name, const char *caption, auto slot) {
        auto *b = new QPushButton(QLatin1String(caption));
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        buttons->addWidget(b);
        return b;
    };
    button("LookUpButton", "&Look Up", [this] { lookUp(m_lookedUp->currentText()); });
    button("PreviousButton", "&Previous", [this] { previous(); });
    buttons->addStretch();
    button("ReplaceButton", "&Replace", [this] { replace(); })->setDefault(true);
    button("CloseButton", "Close", [this] { reject(); });

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    connect(m_meanings, &QListWidget::currentRowChanged, this, &TThesaurusDialog::showMeaning);
    connect(m_synonyms, &QListWidget::currentTextChanged, m_replaceWith, &QLineEdit::setText);
    connect(m_synonyms, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) { lookUp(item->text()); });
    connect(m_meanings, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) { lookUp(item->text()); });
    connect(m_lookedUp, &QComboBox::textActivated, this, [this](const QString &w) { lookUp(w); });
}

QString TThesaurusDialog::LookupWord(const QString &word)
{
    m_history.clear();
    m_lookedUp->clear();
    m_answer.clear();
    lookUp(word);
    m_replaceWith->setText(m_synonyms->count() ? m_synonyms->item(0)->text() : word);
    return exec() == QDialog::Accepted ? m_answer : QString();
}

void TThesaurusDialog::lookUp(const QString &word)
{
    // Meanings are written like "(noun) house": look up the word, not the part of speech.
    QString w = word;
    w.remove(QRegularExpression(QStringLiteral("\\([^)]*\\)"))).replace(QChar(0x2019), QLatin1Char('\''));
    w = w.trimmed();
    if (w.isEmpty())
        return;
    if (m_history.isEmpty() || m_history.last() != w) {
        m_history.append(w);
        m_lookedUp->insertItem(0, w);
    }
    m_lookedUp->setCurrentText(w);
    m_current = m_thesaurus.lookup(w);
    m_meanings->clear();
    m_synonyms->clear();
    if (m_current.isEmpty()) {
        m_meanings->addItem(QStringLiteral("(no meanings found)"));
        m_meanings->item(0)->setFlags(Qt::NoItemFlags);
        return;
    }
    for (const ThesaurusMeaning &m : m_current)
        m_meanings->addItem(m.definition);
    m_meanings->setCurrentRow(0);
}

void TThesaurusDialog::showMeaning(int row)
{
    m_synonyms->clear();
    if (row < 0 || row >= m_current.size())
        return;
    m_synonyms->addItems(m_current.at(row).synonyms);
}

void TThesaurusDialog::previous()
{
    if (m_history.size() < 2)
        return;
    m_history.removeLast();
    const QString w = m_history.takeLast();
    lookUp(w);
}

void TThesaurusDialog::replace()
{
    m_answer = m_replaceWith->text().trimmed();
    // The part of speech some entries carry is no part of the word.
    m_answer.remove(QRegularExpression(QStringLiteral("\\s*\\([^)]*\\)"))).squeeze();
    m_answer = m_answer.trimmed();
    accept();
}

} // namespace Quorvant
