#include "tmnulistinsert.h"

#include "html5markup.h"
#include "wizardsupport.h"

#include "editortypes.h"
#include "tagplacement.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include "wizardsupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>

namespace Quorvant {

namespace {

QGroupBox *radioGroup(QWidget *parent, const QString &title, const char *name, const QStringList &captions,
                      QButtonGroup **group)
{
    auto *box = new QGroupBox(title, parent);
    box->setObjectName(QLatin1String(name));
    auto *layout = new QVBoxLayout(box);
    *group = new QButtonGroup(box);
    for (int i = 0; i < captions.size(); ++i) {
        auto *radio = new QRadioButton(captions.at(i), box);
        radio->setObjectName(QLatin1String(name) + QString::number(i));
        radio->setChecked(i == 0);
        (*group)->addButton(radio, i);
        layout->addWidget(radio);
    }
    return box;
}

} // namespace

TMnuListInsert::TMnuListInsert(TForm1 &form)
    : TSmallWizardDialog(form, "MnuListInsert", QStringLiteral("Insert Lists"))
{
    auto *row = new QHBoxLayout;
    body()->addLayout(row);
    row->addWidget(radioGroup(this, QStringLiteral("List Style:"), "ListStyle",
                              {QStringLiteral("Bullet"), QStringLiteral("Numbered"), QStringLiteral("Definition"),
                               QStringLiteral("None, Just add Items")},
                              &m_style));
    m_bulletBox = radioGroup(this, QString(), "BulletStyle",
                             {QStringLiteral("Bullet"), QStringLiteral("Circle"), QStringLiteral("Disk"), QStringLiteral("Square")},
                             &m_bulletStyle);
    row->addWidget(m_bulletBox);
    m_numberBox = radioGroup(this, QString(), "NumberStyle",
                             {QStringLiteral("1,2,3"), QStringLiteral("I,II,III"), QStringLiteral("i,ii,iii,iv"),
                              QStringLiteral("A,B,C"), QStringLiteral("a,b,c")},
                             &m_numberStyle);
    row->addWidget(m_numberBox);
    connect(m_style, &QButtonGroup::idToggled, this, &TMnuListInsert::styleChanged);

    m_header = new QLineEdit(this);
    m_header->setObjectName(QStringLiteral("HeaderEdit"));
    body()->addWidget(fieldLabel(QStringLiteral("List Header Text:"), m_header));
    body()->addWidget(m_header);
    m_items = new QPlainTextEdit(this);
    m_items->setObjectName(QStringLiteral("ItemsEdit"));
    m_items->setTabChangesFocus(true);
    body()->addWidget(fieldLabel(QStringLiteral("List Items (Enter each list item on a seperate line):"), m_items));
    body()->addWidget(m_items);
    m_header->setFocus();

    addButtons();
    styleChanged();
}

void TMnuListInsert::styleChanged()
{
    const int style = m_style->checkedId();
    m_bulletBox->setVisible(style == 0);
    m_numberBox->setVisible(style == 1);
    m_header->setEnabled(style == 0 || style == 1);
}

QString TMnuListInsert::listText() const
{
    const auto style = static_cast<ListStyle>(m_style->checkedId());
    const int sub = style == ListStyle::Numbered ? m_numberStyle->checkedId() : m_bulletStyle->checkedId();
    const QStringList items = splitTextLines(m_items->toPlainText());
    return wizardMarkup() == MarkupStyle::Html5 ? html5ListMarkup(style, sub, m_header->text(), items)
                                                 : listMarkup(style, sub, m_header->text(), items);
}

void TMnuListInsert::writeTo(ITextBuffer *buffer)
{
    ptext(buffer, listText(), QString());
}

} // namespace Quorvant
