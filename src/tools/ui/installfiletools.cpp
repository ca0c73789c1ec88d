#include "installfiletools.h"

#include "datafolder.h"
#include "mainwindow.h"
#include "tfindinfilefrm.h"
#include "tloadfromweb.h"

#include <QAction>
#include <QMenu>

namespace Quorvant {

void installFileTools(TForm1 &form)
{
    TForm1 *window = &form;
    auto *find = new QAction(QStringLiteral("Find in files..."), &form);
    find->setObjectName(QStringLiteral("Findinfiles1"));
    if (QMenu *search = form.menu(QStringLiteral("Search1")))
        search->addAction(find);
    QObject::connect(find, &QAction::triggered, &form, [window] {
        auto *dialog = new TFindInFileFrm(*window, window);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->setWindowModality(Qt::ApplicationModal);
        dialog->show();
        dialog->activateWindow();  // the keys go to the window just opened
    });

    auto *web = new QAction(QStringLiteral("Open From the Web"), &form);
    web->setObjectName(QStringLiteral("OpenFromtheWeb1"));
    if (QMenu *file = form.menu(QStringLiteral("File1")))
        file->insertAction(form.action(QStringLiteral("Save1")), web);
    QObject::connect(web, &QAction::triggered, &form, [window] {
        auto *dialog = new TLoadFromWeb(*window, DataFolder::file(QStringLiteral("FromWeb.HTM")), window);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->show();
        dialog->activateWindow();  // the keys go to the window just opened
    });
}

} // namespace Quorvant
