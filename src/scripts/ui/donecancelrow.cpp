#include "donecancelrow.h"

#include <QBoxLayout>
#include <QDialog>
#include <QPushButton>

namespace Quorvant {

QPushButton *addDoneCancelRow(QDialog *dialog, QBoxLayout *layout)
{
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto *doneButton = new QPushButton(QStringLiteral("Done"), dialog);
    doneButton->setObjectName(QStringLiteral("DoneButton"));
    doneButton->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), dialog);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    buttons->addWidget(doneButton);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    return doneButton;
}

} // namespace Quorvant
