#include "tmnucodesnippet.h"

#include "donecancelrow.h"
#include "editortypes.h"
#include "messageservice.h"
#include "scriptsglobals.h"
#include "settingsglobals.h"
#include "textfileformat.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace Quorvant {

namespace {

// The dialog's text with the CR LF line ends of everything the program inserts.
QString partText(const QPlainTextEdit *edit)
{
    return joinLines(splitLines(edit->toPlainText()));
}

} // namespace

TMnuCodeSnippet::TMnuCodeSnippet(Save save, QWidget *parent)
    : QDialog(parent)
    , m_save(std::move(save))
{
    setObjectName(QStringLiteral("MnuCodeSnippet"));
    setWindowTitle(QStringLiteral("Create Code Snippet..."));
    resize(520, 480);
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    auto *layout = new QVBoxLayout(this);
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("Edit1"));
    auto *nameLabel = new QLabel(QStringLiteral("Please Enter a name for your code snippet:"), this);
    nameLabel->setBuddy(m_name);
    layout->addWidget(nameLabel);
    layout->addWidget(m_name);
    auto part = [&](const QString &caption, const char *name, const char *importName) {
        auto *row = new QHBoxLayout;
        auto *label = new QLabel(caption, this);
        row->addWidget(label, 1);
        auto *import = new QPushButton(QStringLiteral("Import from file:"), this);
        import->setObjectName(QLatin1String(importName));
        import->setAccessibleName(QStringLiteral("Import from file into ") + QString(caption).remove(u':'));
        row->addWidget(import);
        layout->addLayout(row);
        auto *edit = new QPlainTextEdit(this);
        edit->setObjectName(QLatin1String(name));
        edit->setTabChangesFocus(true);
        label->setBuddy(edit);
        edit->setFont(fixed);
        edit->setLineWrapMode(QPlainTextEdit::NoWrap);
        layout->addWidget(edit, 1);
        connect(import, &QPushButton::clicked, this, [this, edit] { importInto(edit); });
        return edit;
    };
    m_part1 = part(QStringLiteral("Enter your code snippet part 1:"), "Memo1", "ImportPart1Button");
    m_part2 = part(QStringLiteral("Enter your code snippet part 2:"), "Memo2", "ImportPart2Button");
    QPushButton *doneButton = addDoneCancelRow(this, layout);
    connect(doneButton, &QPushButton::clicked, this, &TMnuCodeSnippet::pressDone);

    if (gCodeSnippetsData.Editing) {
        m_name->setText(gCodeSnippetsData.SnippetTitle);
        m_part1->setPlainText(gCodeSnippetsData.Snippet1);
        m_part2->setPlainText(gCodeSnippetsData.Snippet2);
    }
}

void TMnuCodeSnippet::importInto(QPlainTextEdit *part)
{
    const QStringList files = MessageService::getOpenFileNames(
        this, QStringLiteral("Import from file"), gDir.CodeSnippets,
        {{QStringLiteral("Text Files"), QStringLiteral("*.txt")}, {QStringLiteral("All Files (*.*)"), QStringLiteral("*")}});
    if (files.isEmpty() || !QFileInfo(files.first()).isFile())
        return;
    gDir.CodeSnippets = QFileInfo(files.first()).absolutePath();
    QByteArray bytes;
    QString why;
    if (!readWholeFile(files.first(), &bytes, &why, DataFileSizeLimit)) {
        MessageService::error(this, QStringLiteral("Unable to read %1: %2").arg(files.first(), why));
        return;
    }
    part->setPlainText(decodeTextFile(bytes).text);
}

void TMnuCodeSnippet::pressDone()
{
    if (m_name->text().isEmpty()) {
        MessageService::information(this, QStringLiteral("You must provide a name for your code snippet."));
        return;
    }
    const QString part1 = partText(m_part1);
    const QString part2 = partText(m_part2);
    if (part1.isEmpty() && part2.isEmpty()) {
        MessageService::information(this, QStringLiteral("You must provide at least one part of a code snippet."));
        return;
    }
    if (m_save && !m_save(m_name->text(), part1, part2))
        return;
    accept();
}

} // namespace Quorvant
