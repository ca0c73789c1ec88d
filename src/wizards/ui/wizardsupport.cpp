#include "wizardsupport.h"

#include "mainwindow.h"

#include "appglobals.h"
#include "pathsandcolours.h"
#include "settingsglobals.h"
#include "setuptools.h"

#include <QComboBox>
#include <QDialog>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>

namespace Quorvant {

MarkupStyle wizardMarkup()
{
    return gSetupTools ? gSetupTools->LoadWizardMarkup() : MarkupStyle::Classic;
}

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

QHBoxLayout *doneCancelRow(QDialog *dialog, TForm1 &form, const std::function<void()> &onDone,
                           const QString &helpTopic, const QString &helpCaption)
{
    auto *done = new QPushButton(QStringLiteral("Done"), dialog);
    done->setObjectName(QStringLiteral("DoneButton"));
    done->setAutoDefault(false);
    done->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), dialog);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    cancel->setAutoDefault(false);
    QObject::connect(done, &QPushButton::clicked, dialog, onDone);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    if (!helpTopic.isEmpty()) {
        QPushButton *help = helpMeButton(dialog, form, helpTopic);
        if (!helpCaption.isEmpty())
            help->setText(helpCaption);
        buttons->addWidget(help);
    }
    buttons->addStretch(1);
    buttons->addWidget(done);
    buttons->addWidget(cancel);
    return buttons;
}

QLabel *fieldLabel(const QString &caption, QWidget *field)
{
    auto *label = new QLabel(caption, field->parentWidget());
    label->setBuddy(field);
    return label;
}

QLineEdit *named(QLineEdit *edit, const char *name)
{
    edit->setObjectName(QLatin1String(name));
    return edit;
}

QString crLfText(const QPlainTextEdit *edit)
{
    return edit->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

QComboBox *editableChoice(QWidget *parent, const char *name, const QStringList &items, const QString &text)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setEditable(true);
    box->addItems(items);
    box->setCurrentIndex(-1);
    box->setEditText(text);
    return box;
}

void fitToScreen(QWidget *dialog)
{
    QScreen *screen = dialog->screen() ? dialog->screen() : QGuiApplication::primaryScreen();
    if (screen)
        dialog->setMaximumSize(screen->availableGeometry().size());
}

void setElidedEntries(QComboBox *box, const QStringList &texts)
{
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(MaxShownEntryCharacters);
    const QFontMetrics metrics(box->font());
    const int shownWidth = metrics.averageCharWidth() * MaxShownEntryCharacters;
    box->clear();
    for (const QString &text : texts) {
        box->addItem(metrics.elidedText(text, Qt::ElideRight, shownWidth), text);
        box->setItemData(box->count() - 1, text, Qt::ToolTipRole);
    }
}

QString fullEntryText(const QComboBox *box, int index)
{
    return box->itemData(index).toString();
}

QString chosenEntry(const QListWidget *list)
{
    const QList<QListWidgetItem *> selected = list->selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text();
}

QHBoxLayout *withBrowseButton(QLineEdit *field, const char *buttonName, const std::function<void()> &onClick)
{
    auto *browse = new QToolButton(field->parentWidget());
    browse->setObjectName(QLatin1String(buttonName));
    browse->setText(QStringLiteral("..."));
    QObject::connect(browse, &QToolButton::clicked, field, onClick);
    auto *row = new QHBoxLayout;
    row->addWidget(field, 1);
    row->addWidget(browse);
    return row;
}

void chooseFileInto(QLineEdit *field, QWidget *parent, const QString &title, const QString &folder,
                    const QList<FileFilter> &filters)
{
    const QStringList files = MessageService::getOpenFileNames(parent, title, folder, filters);
    if (!files.isEmpty())
        field->setText(convertfilename(files.first(), gCurrentFilePath));
}

} // namespace Quorvant
