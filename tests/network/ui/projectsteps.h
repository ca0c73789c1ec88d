// Steps of the network page the window tests share.
#pragma once

#include "addnewproject.h"
#include "networkglobals.h"
#include "waituntil.h"

#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <QWidget>

// Creates a project through the page's "Create Project" button and its
// dialog; true once the program is in it.
inline bool createProjectOnThePage(QWidget *window, const QString &name, const QString &password)
{
    auto *button = window->findChild<QPushButton *>(QStringLiteral("CreateProjectButton"));
    if (!button)
        return false;
    button->click();
    auto *create = window->findChild<Quorvant::Network::TAddNewProject *>();
    if (!create)
        return false;
    create->ProjectNameEdit->setText(name);
    create->PasswordEdit->setText(password);
    create->done();
    return waitUntil([&] { return Quorvant::Network::gCurrentProjectName == name; });
}
