#include "tmnujavaapplet.h"

#include "html5markup.h"
#include "messageservice.h"
#include "tagplacement.h"
#include "wizardsupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace Quorvant {

TMnuJavaApplet::TMnuJavaApplet(TForm1 &form)
    : TSmallWizardDialog(form, "MnuJavaApplet", QStringLiteral("Insert a Java Applet"))
{
    auto group = [this](const QString &title) {
        auto *box = new QGroupBox(title, this);
        body()->addWidget(box);
        return new QFormLayout(box);
    };
    auto field = [this](const char *name) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QLatin1String(name));
        return edit;
    };
    auto browser = [this](QLineEdit *target, const char *name, const QList<FileFilter> &filters) {
        auto *button = new QPushButton(QStringLiteral("..."), this);
        button->setObjectName(QLatin1String(name));
        connect(button, &QPushButton::clicked, this, [this, target, filters] {
            chooseFileInto(target, this, QStringLiteral("Open"), defaultFolder(), filters);
        });
        return withButton(target, button);
    };
    const FileFilter allFiles{QStringLiteral("All Files"), QStringLiteral("*")};

    QFormLayout *general = group(QStringLiteral("General Options for Java Applets:"));
    m_code = field("CodeEdit");
    general->addRow(QStringLiteral("Code / Applet File: "),
                    browser(m_code, "BrowseCodeButton", {{QStringLiteral("Class Files"), QStringLiteral("*.class")}, allFiles}));
    m_codebase = field("CodebaseEdit");
    general->addRow(QStringLiteral("Codebase:"), browser(m_codebase, "BrowseCodebaseButton", {allFiles}));
    m_name = field("NameEdit");
    general->addRow(QStringLiteral("Name:"), m_name);
    m_alt = field("AltEdit");
    general->addRow(QStringLiteral("Alt Text.:"), m_alt);

    QFormLayout *layout = group(QStringLiteral("Applet Layout Options:"));
    m_width = field("WidthEdit");
    layout->addRow(QStringLiteral("Width:"), m_width);
    m_height = field("HeightEdit");
    layout->addRow(QStringLiteral("Height:"), m_height);
    m_vspace = field("VSpaceEdit");
    layout->addRow(QStringLiteral("VSpace:"), m_vspace);
    m_hspace = field("HSpaceEdit");
    layout->addRow(QStringLiteral("HSpace:"), m_hspace);
    m_align = editableChoice(this, "AlignBox",
                             {QStringLiteral("LEFT"), QStringLiteral("RIGHT"), QStringLiteral("TOP"), QStringLiteral("BOTTOM"),
                              QStringLiteral("MIDDLE")});
    layout->addRow(QStringLiteral("Align:"), m_align);

    QFormLayout *extensions = group(QStringLiteral("Extensions:"));
    m_cabbase = field("CabbaseEdit");
    extensions->addRow(QStringLiteral("Cabinet Base:"), m_cabbase);
    m_archive = field("ArchiveEdit");
    extensions->addRow(QStringLiteral("Archive:"), m_archive);
    m_mayScript = new QCheckBox(QStringLiteral("MayScript? (Netscape Only)"), this);
    m_mayScript->setObjectName(QStringLiteral("MayScriptCheck"));
    extensions->addRow(m_mayScript);

    addButtons();
}

AppletChoices TMnuJavaApplet::choices() const
{
    AppletChoices c;
    c.code = m_code->text();
    c.codebase = m_codebase->text();
    c.name = m_name->text();
    c.alt = m_alt->text();
    c.width = m_width->text();
    c.height = m_height->text();
    c.vspace = m_vspace->text();
    c.hspace = m_hspace->text();
    c.align = m_align->currentText();
    c.cabbase = m_cabbase->text();
    c.archive = m_archive->text();
    c.mayScript = m_mayScript->isChecked();
    return c;
}

void TMnuJavaApplet::writeTo(ITextBuffer *buffer)
{
    ptext(buffer, wizardMarkup() == MarkupStyle::Html5 ? html5AppletMarkup(choices()) : appletMarkup(choices()), QString());
}

} // namespace Quorvant
