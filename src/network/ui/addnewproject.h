// Asks for a new shared project's name and password.
#pragma once

#include <QDialog>

#include <functional>

class QLineEdit;

namespace Quorvant::Network {

class TAddNewProject : public QDialog
{
    Q_OBJECT
public:
    explicit TAddNewProject(QWidget *parent = nullptr);

    // "Done": sends the request unless the name is empty.
    void done();

    std::function<void(const QString &project, const QString &password)> addProject;

    QLineEdit *ProjectNameEdit = nullptr;
    QLineEdit *PasswordEdit = nullptr;
};

} // namespace Quorvant::Network
