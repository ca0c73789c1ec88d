#include "tmnusound.h"

#include "html5markup.h"
#include "wizardsupport.h"

#include "appglobals.h"
#include "mediamarkup.h"
#include "messageservice.h"
#include "pathsandcolours.h"
#include "settingsglobals.h"
#include "tagplacement.h"
#include "wizardsupport.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace Quorvant {

TMnuSound::TMnuSound(TForm1 &form)
    : TSmallWizardDialog(form, "MnuSound", QStringLiteral("Insert Sound."))
{
    m_file = new QLineEdit(this);
    m_file->setObjectName(QStringLiteral("SoundFileEdit"));
    body()->addWidget(fieldLabel(QStringLiteral("Please choose a music file:"), m_file));
    auto *browseButton = new QPushButton(QStringLiteral("..."), this);
    browseButton->setObjectName(QStringLiteral("BrowseButton"));
    connect(browseButton, &QPushButton::clicked, this, &TMnuSound::browse);
    body()->addLayout(withButton(m_file, browseButton));
    addButtons(QStringLiteral("SoundMenu.Htm"), QStringLiteral("Help"));
    setMinimumWidth(420);
}

void TMnuSound::browse()
{
    const QString folder = gDir.SoundFiles.isEmpty() ? defaultFolder() : gDir.SoundFiles;
    const QStringList files = MessageService::getOpenFileNames(
        this, QStringLiteral("Choose a music file"), folder, {{QStringLiteral("All Music Files"), QStringLiteral("*.wav;*.mid")}});
    if (files.isEmpty())
        return;
    gDir.SoundFiles = QFileInfo(files.first()).absolutePath();
    m_file->setText(files.first());
}

void TMnuSound::writeTo(ITextBuffer *buffer)
{
    const QString file = m_file->text();
    const QString link = file.isEmpty() ? QString() : convertfilename(file, gCurrentFilePath);
    ptext(buffer, wizardMarkup() == MarkupStyle::Html5 ? html5SoundMarkup(link) : soundMarkup(link), QString());
}

} // namespace Quorvant
