// The About window: the program's version and the libraries it is built
// with, their versions and licences.
#pragma once

#include <QDialog>

namespace Quorvant {

struct LibraryInfo
{
    QString name;
    QString version;
    QString licence;
};

class TMnuAbout : public QDialog
{
    Q_OBJECT
public:
    explicit TMnuAbout(QWidget *parent = nullptr);
    static QList<LibraryInfo> libraries();
};

} // namespace Quorvant
