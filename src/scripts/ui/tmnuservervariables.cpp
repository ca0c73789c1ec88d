#include "tmnuservervariables.h"

#include "choicelist.h"
#include "datafolder.h"
#include "donecancelrow.h"
#include "messageservice.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace Quorvant {

TMnuServerVariables::TMnuServerVariables(ServerVariableKind kind, const QString &dataFolder,
                                         std::function<void(const QString &)> write, QWidget *parent)
    : QDialog(parent)
    , m_kind(kind)
    , m_file(DataFolder::resolve(dataFolder, TServerVariables::dataFileName(kind)))
    , m_write(std::move(write))
{
    const bool asp = kind == ServerVariableKind::ASP;
    setObjectName(asp ? QStringLiteral("MnuASP") : QStringLiteral("MnuSSI"));
    setWindowTitle(asp ? QStringLiteral("Add an ASP variable...") : QStringLiteral("Add an SSI variable..."));
    resize(520, 420);
    auto *layout = new QVBoxLayout(this);
    m_list = new ChoiceList(this);
    m_list->setObjectName(QStringLiteral("VariableList"));
    m_list->setHeaderLabels({QStringLiteral("Variables"), QStringLiteral("Descriptions")});
    m_list->setRootIsDecorated(false);
    m_list->setAccessibleName(QStringLiteral("Variables"));
    m_list->header()->resizeSection(0, 200);
    layout->addWidget(m_list, 1);
    m_description = new QPlainTextEdit(this);
    m_description->setObjectName(QStringLiteral("Memo1"));
    m_description->setTabChangesFocus(true);
    auto *descriptionLabel = new QLabel(QStringLiteral("Description:"), this);
    descriptionLabel->setBuddy(m_description);
    layout->addWidget(descriptionLabel);
    m_description->setReadOnly(true);
    m_description->setMaximumHeight(60);
    layout->addWidget(m_description);
    QPushButton *doneButton = addDoneCancelRow(this, layout);

    connect(m_list, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *item) {
        m_description->setPlainText(item ? item->text(1) : QString());
    });
    connect(doneButton, &QPushButton::clicked, this, &TMnuServerVariables::pressDone);
}

void TMnuServerVariables::LoadASPSSIList(const QString &FileName)
{
    m_list->clear();
    QList<TServerVariable> variables;
    if (!TServerVariables::LoadASPSSIList(FileName, &variables))
        return;
    for (const TServerVariable &v : std::as_const(variables))
        new QTreeWidgetItem(m_list, {v.Name, v.Description});
}

void TMnuServerVariables::showList()
{
    if (QFileInfo(m_file).isFile())
        LoadASPSSIList(m_file);
    else
        MessageService::error(this, QStringLiteral("Unable to find ") + TServerVariables::dataFileName(m_kind));
    setWindowModality(Qt::ApplicationModal);
    show();
}

void TMnuServerVariables::pressDone()
{
    if (QTreeWidgetItem *item = m_list->currentItem(); item && m_write)
        m_write(TServerVariables::insertText(m_kind, item->text(0)));
    accept();
}

} // namespace Quorvant
