#include "templatesform.h"

#include "datafolder.h"
#include "documentset.h"
#include "mainwindow.h"
#include "startwindowtexts.h"
#include "templates.h"

#include <QLabel>
#include <QListWidget>
#include <QGuiApplication>
#include <QScreen>
#include <QShortcut>
#include <QVBoxLayout>

namespace Quorvant {

TTemplatesForm::TTemplatesForm(TForm1 *form)
    : QWidget(form, Qt::Tool | Qt::WindowStaysOnTopHint)
    , m_form(form)
    , m_list(new QListWidget(this))
{
    setObjectName(QStringLiteral("TemplatesForm"));
    setWindowTitle(StartWindowText::ActiveTemplatesCaption);
    setAttribute(Qt::WA_DeleteOnClose);
    auto *layout = new QVBoxLayout(this);
    auto *hint = new QLabel(StartWindowText::ActiveTemplatesHint, this);
    hint->setWordWrap(true);
    layout->addWidget(hint);
    m_list->setObjectName(QStringLiteral("ListView1"));
    m_list->setAccessibleName(QStringLiteral("Templates"));
    layout->addWidget(m_list);
    // A double click or Enter opens the template; Escape closes the window.
    connect(m_list, &QListWidget::itemActivated, this, [this] { openSelected(); });
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::close);
    resize(360, 300);
}

void TTemplatesForm::showEvent(QShowEvent *event)
{
    m_list->clear();
    TTemplates templates(DataFolder::path());
    for (const TTemplateEntry &row : templates.ShowAllInListView())
        m_list->addItem(row.Name);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    QWidget::showEvent(event);
}

void TTemplatesForm::openSelected()
{
    QListWidgetItem *item = m_list->currentItem();
    if (!item || !item->isSelected())
        return;
    m_form->documents()->newWebDocument();
    m_form->loadTemplateIntoEditor(item->text());
    close();
}

} // namespace Quorvant
