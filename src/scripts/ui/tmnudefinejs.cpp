#include "tmnudefinejs.h"

#include "donecancelrow.h"
#include "editortypes.h"
#include "messageservice.h"
#include "pathsandcolours.h"
#include "syntaxparsers.h"
#include "tdefinescript.h"

#include <Qsci/qsciscintilla.h>

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace Quorvant {

TMnuDefineJS::TMnuDefineJS(std::function<void(const QString &)> write, QString currentFilePath, QWidget *parent)
    : QDialog(parent)
    , m_write(std::move(write))
    , m_currentFilePath(std::move(currentFilePath))
{
    setObjectName(QStringLiteral("MnuDefineJS"));
    setWindowTitle(QStringLiteral("Define a Java Script..."));
    resize(560, 440);
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    // Offered values, with none chosen at first.
    const auto choice = [this, form](const QString &caption, const char *name, const QStringList &items) {
        auto *box = new QComboBox(this);
        box->setObjectName(QLatin1String(name));
        box->setEditable(true);
        box->addItems(items);
        box->setCurrentIndex(-1);
        box->setEditText(QString());
        form->addRow(caption, box);
        return box;
    };
    m_language = choice(QStringLiteral("Script Language:"), "ComboBox1", TDefineScript::languages());
    m_type = choice(QStringLiteral("Script Type:"), "ComboBox2", TDefineScript::types());
    auto *srcRow = new QHBoxLayout;
    m_src = new QLineEdit(this);
    m_src->setObjectName(QStringLiteral("Edit1"));
    auto *browseButton = new QToolButton(this);
    browseButton->setObjectName(QStringLiteral("BrowseButton"));
    browseButton->setText(QStringLiteral("..."));
    browseButton->setToolTip(QStringLiteral("Browse for the script file"));
    srcRow->addWidget(m_src, 1);
    srcRow->addWidget(browseButton);
    auto *srcLabel = new QLabel(QStringLiteral("SRC:"), this);
    srcLabel->setBuddy(m_src);
    form->addRow(srcLabel, srcRow);
    layout->addLayout(form);
    auto *codeLabel = new QLabel(QStringLiteral("Add your custom javascript code:"), this);
    layout->addWidget(codeLabel);
    m_code = new QsciScintilla(this);
    m_code->setObjectName(QStringLiteral("DCMemo1"));
    m_code->setAccessibleName(codeLabel->text());
    // In this small box Tab and Shift+Tab move between the controls and
    // Escape closes the dialog, as everywhere else in it.
    m_code->installEventFilter(this);
    m_code->setLexer(createLexer(SyntaxParser::JavaScript, m_code));
    m_code->setUtf8(true);
    m_code->setEolMode(QsciScintilla::EolWindows);
    m_code->setMarginWidth(0, 0);
    m_code->setMarginWidth(1, 0);
    layout->addWidget(m_code, 1);
    QPushButton *doneButton = addDoneCancelRow(this, layout);

    connect(browseButton, &QToolButton::clicked, this, &TMnuDefineJS::browse);
    connect(doneButton, &QPushButton::clicked, this, &TMnuDefineJS::pressDone);
}

bool TMnuDefineJS::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_code && (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress)) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool plain = !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
        if (plain && (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab || key->key() == Qt::Key_Escape)) {
            event->accept();
            if (event->type() == QEvent::ShortcutOverride)
                return false;
            if (key->key() == Qt::Key_Escape)
                reject();
            else
                focusNextPrevChild(key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TMnuDefineJS::browse()
{
    const QStringList files = MessageService::getOpenFileNames(this, QStringLiteral("Open"), QString(),
                                                               {{QStringLiteral("All Files"), QStringLiteral("*")}});
    if (!files.isEmpty())
        m_src->setText(convertfilename(files.first(), m_currentFilePath));
}

void TMnuDefineJS::pressDone()
{
    // The editor's own line ends are made CR LF like every inserted text.
    const QString code = joinLines(splitLines(m_code->text()));
    if (m_write)
        m_write(TDefineScript::text(m_language->currentText(), m_src->text(), m_type->currentText(), code));
    accept();
}

} // namespace Quorvant
