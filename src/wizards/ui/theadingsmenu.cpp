#include "theadingsmenu.h"

#include "mainwindow.h"
#include "tagplacement.h"

#include <QCursor>
#include <QPushButton>
#include <QVBoxLayout>

namespace Quorvant {

Theadingsmenu::Theadingsmenu(TForm1 &form)
    : QWidget(nullptr, Qt::Popup | Qt::FramelessWindowHint)
    , m_form(&form)
{
    // No parent: a child window would be disabled along with the main window.
    setObjectName(QStringLiteral("headingsmenu"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(1);
    for (int level = 6; level >= 1; --level) {
        auto *button = new QPushButton(QStringLiteral("Heading %1").arg(level), this);
        button->setObjectName(QStringLiteral("Heading%1Button").arg(level));
        connect(button, &QPushButton::clicked, this, [this, level] { choose(level); });
        layout->addWidget(button);
    }
    auto *close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("CloseButton"));
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    layout->addWidget(close);
}

Theadingsmenu::~Theadingsmenu()
{
    enableMainWindow();
}

Theadingsmenu *Theadingsmenu::popUp(TForm1 &form)
{
    auto *picker = new Theadingsmenu(form);
    picker->move(QCursor::pos());
    picker->show();
    return picker;
}

void Theadingsmenu::showEvent(QShowEvent *event)
{
    if (m_form)
        m_form->setEnabled(false);
    QWidget::showEvent(event);
}

void Theadingsmenu::hideEvent(QHideEvent *event)
{
    enableMainWindow();
    QWidget::hideEvent(event);
}

void Theadingsmenu::choose(int level)
{
    // Enabled first: a disabled window's editor cannot take the focus back.
    enableMainWindow();
    if (m_form) {
        const QString n = QString::number(level);
        m_form->withBuffer([&n](ITextBuffer *buffer) {
            ptext(buffer, QStringLiteral("<H") + n + QLatin1Char('>'), QStringLiteral("</H") + n + QLatin1Char('>'));
        });
    }
    close();
}

void Theadingsmenu::enableMainWindow()
{
    if (m_form)
        m_form->setEnabled(true);
}

} // namespace Quorvant
