#include "smallwizarddialog.h"

#include "documentset.h"
#include "mainwindow.h"
#include "wizardsupport.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace Quorvant {

namespace {
// Room a title bar keeps beside its caption for the window manager's
// buttons and margins, in device-independent pixels.
constexpr int TitleBarButtonsRoom = 140;
} // namespace

bool hasCurrentDocument(TForm1 &form)
{
    return form.documents() && form.documents()->currentBuffer();
}

TSmallWizardDialog::TSmallWizardDialog(TForm1 &form, const char *objectName, const QString &caption)
    : QDialog(&form)
    , m_form(form)
{
    setObjectName(QLatin1String(objectName));
    setWindowTitle(caption);
    // Wide enough for the whole caption in the title bar, with room for the
    // window manager's buttons, at any font size and scale.
    setMinimumWidth(fontMetrics().horizontalAdvance(caption) + TitleBarButtonsRoom);
    fitToScreen(this);
    auto *outer = new QVBoxLayout(this);
    m_body = new QVBoxLayout;
    outer->addLayout(m_body);
}

void TSmallWizardDialog::addButtons(const QString &helpTopic, const QString &helpCaption)
{
    QHBoxLayout *row = doneCancelRow(this, m_form, [this] { writeAndClose(); }, helpTopic, helpCaption);
    // In these short forms Enter is Done.
    findChild<QPushButton *>(QStringLiteral("DoneButton"))->setDefault(true);
    static_cast<QVBoxLayout *>(layout())->addLayout(row);
}

void TSmallWizardDialog::writeAndClose()
{
    m_form.withBuffer([this](ITextBuffer *buffer) { writeTo(buffer); });
    accept();
}

QBoxLayout *TSmallWizardDialog::withButton(QLineEdit *field, QPushButton *button)
{
    auto *row = new QHBoxLayout;
    row->addWidget(field, 1);
    row->addWidget(button);
    button->setAutoDefault(false);
    return row;
}

QString TSmallWizardDialog::defaultFolder()
{
    return QDir::homePath();
}

} // namespace Quorvant
