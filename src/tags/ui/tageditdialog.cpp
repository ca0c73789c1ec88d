// The tag editor dialog.
#include "tageditdialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace Quorvant {

TMnuEditTag::TMnuEditTag(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("MnuEditTag"));
    setWindowTitle(QString::fromLatin1(TagEditorCaption));
    setModal(true);

    auto *column = new QVBoxLayout(this);
    auto *heading = new QLabel(QString::fromLatin1(TagEditorHeading), this);
    heading->setObjectName(QStringLiteral("HeadingLabel"));
    column->addWidget(heading);

    auto *form = new QFormLayout;
    auto line = [this, form](const char *name, const char *label) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QLatin1String(name));
        form->addRow(QLatin1String(label), edit);
        return edit;
    };
    m_title = line("TagTitleEdit", "Tag title:");
    m_start = line("TagStartEdit", "Start Tag:");
    m_end = line("TagEndEdit", "End Tag:");
    m_extended = line("ExtendedTagEdit", "Extended Start Tag:");
    m_description = line("TagDescriptionEdit", "Tag Description:");
    m_category = new QComboBox(this);
    m_category->setObjectName(QStringLiteral("TagCategoryBox"));
    m_category->setEditable(true);
    m_category->addItems(TagCategories());
    m_category->setInsertPolicy(QComboBox::NoInsert);
    form->addRow(QStringLiteral("Tag Category:"), m_category);
    column->addLayout(form);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("CancelButton"));
    m_done = new QPushButton(QStringLiteral("Done"), this);
    m_done->setObjectName(QStringLiteral("DoneButton"));
    m_done->setDefault(true);
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_done);
    column->addLayout(buttons);

    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_done, &QPushButton::clicked, this, &TMnuEditTag::doneClicked);
    resize(420, sizeHint().height());
}

void TMnuEditTag::setData(const TEditTagData &data)
{
    m_editing = data.Editing;
    m_title->setText(data.TagTitle);
    m_start->setText(data.TagStart);
    m_end->setText(data.TagEnd);
    m_extended->setText(data.ExtendedTag);
    m_description->setText(data.TagDescription);
    m_category->setEditText(data.Category);
}

TEditTagData TMnuEditTag::data() const
{
    TEditTagData d;
    d.Editing = m_editing;
    d.TagTitle = m_title->text();
    d.TagStart = m_start->text();
    d.TagEnd = m_end->text();
    d.ExtendedTag = m_extended->text();
    d.TagDescription = m_description->text();
    d.Category = m_category->currentText();
    return d;
}

void TMnuEditTag::doneClicked()
{
    const TEditTagData d = data();
    if (!onDone || onDone(d))
        accept();
}

} // namespace Quorvant
