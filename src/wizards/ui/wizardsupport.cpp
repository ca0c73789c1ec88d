#include "wizardsupport.h"

#include "mainwindow.h"

#include <QPointer>
#include <QPushButton>

namespace Quorvant {

QPushButton *helpMeButton(QWidget *parent, TForm1 &form, const QString &topic)
{
    auto *button = new QPushButton(QStringLiteral("Help Me!"), parent);
    button->setObjectName(QStringLiteral("HelpMeButton"));
    button->setAutoDefault(false);
    QPointer<TForm1> window(&form);
    QObject::connect(button, &QPushButton::clicked, button, [window, topic] {
        if (window)
            window->ShowHelpFile(topic);
    });
    return button;
}

} // namespace Quorvant
