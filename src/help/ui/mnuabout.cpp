#include "mnuabout.h"

#include "quorvantversion.h"

#include <Qsci/qsciglobal.h>

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QtGlobal>

namespace Quorvant {

QList<LibraryInfo> TMnuAbout::libraries()
{
    const QString qt = QString::fromLatin1(qVersion());
    return {
        {QStringLiteral("Qt (Core, Gui, Widgets, Network, Print Support)"), qt, QStringLiteral("LGPL-3.0")},
        {QStringLiteral("Qt WebEngine"), qt, QStringLiteral("LGPL-3.0")},
        {QStringLiteral("QScintilla"), QStringLiteral(QSCINTILLA_VERSION_STR), QStringLiteral("GPL-3.0")},
        {QStringLiteral("Hunspell"), QStringLiteral(QUORVANT_HUNSPELL_VERSION), QStringLiteral("MPL-1.1 / GPL-2.0 / LGPL-2.1")},
        {QStringLiteral("Hunspell dictionary en_US (SCOWL)"), QString(), QStringLiteral("SCOWL licence (BSD-style)")},
        {QStringLiteral("MyThes"), QStringLiteral(QUORVANT_MYTHES_VERSION), QStringLiteral("BSD-3-Clause")},
        {QStringLiteral("MyThes thesaurus en_US"), QString(), QStringLiteral("LGPL-2.1")},
        {QStringLiteral("HTML Tidy (run as a separate program)"), QString(), QStringLiteral("W3C licence")},
    };
}

TMnuAbout::TMnuAbout(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("MnuAbout"));
    setWindowTitle(QStringLiteral("About Quorvant"));
    auto *picture = new QLabel;
    picture->setPixmap(style()->standardIcon(QStyle::SP_FileDialogContentsView).pixmap(64, 64));
    auto *heading = new QLabel(QStringLiteral("<b>Quorvant Version %1</b>").arg(QLatin1String(QUORVANT_VERSION)));
    heading->setObjectName(QStringLiteral("VersionLabel"));
    auto *text = new QLabel(QStringLiteral("Thankyou for using Quorvant.") +
                            QStringLiteral("<br><br>Thanks to everyone who tested the early builds and told us what "
                                           "broke: this version is better for it."));
    text->setWordWrap(true);
    auto *top = new QHBoxLayout;
    top->addWidget(picture, 0, Qt::AlignTop);
    auto *words = new QVBoxLayout;
    words->addWidget(heading);
    words->addWidget(text);
    top->addLayout(words, 1);

    auto *list = new QTreeWidget;
    list->setObjectName(QStringLiteral("LibraryList"));
    list->setHeaderLabels({QStringLiteral("Library"), QStringLiteral("Version"), QStringLiteral("Licence")});
    list->setRootIsDecorated(false);
    list->setAccessibleName(QStringLiteral("Libraries"));
    for (const LibraryInfo &l : libraries())
        new QTreeWidgetItem(list, {l.name, l.version.isEmpty() ? QStringLiteral("-") : l.version, l.licence});
    list->resizeColumnToContents(0);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(new QLabel(QStringLiteral("Quorvant is built with:")));
    layout->addWidget(list, 1);
    layout->addWidget(buttons);
    resize(620, 380);
}

} // namespace Quorvant
