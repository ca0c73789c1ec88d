#include "tmnuanchorlink.h"

#include "html5markup.h"
#include "mainwindow.h"
#include "wizardsupport.h"

#include "settingsglobals.h"
#include "tagplacement.h"

#include <QLabel>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

namespace Quorvant {

TMnuAnchorLink::TMnuAnchorLink(TForm1 &form, QWidget *parent)
    : QDialog(parent)
    , m_form(form)
{
    setObjectName(QStringLiteral("MnuAnchorLink"));
    setWindowTitle(QLatin1String(LinkDialogCaption));
    setModal(true);
    fitToScreen(this);

    m_url = named(new QLineEdit(this), "URLEdit");
    QHBoxLayout *url = withBrowseButton(m_url, "BrowseUrlButton", [this] { browseUrl(); });

    auto *service = new QPushButton(QStringLiteral("Click to choose service"), this);
    service->setObjectName(QStringLiteral("ServiceButton"));
    service->setAutoDefault(false);
    m_services = new QMenu(service);
    m_services->setObjectName(QStringLiteral("ServiceMenu"));
    for (const TLinkService &s : LinkServices) {
        const QString prefix = QLatin1String(s.prefix);
        m_services->addAction(QLatin1String(s.caption), this, [this, prefix] { m_url->setText(prefix + m_url->text()); });
    }
    service->setMenu(m_services);

    m_target = editableChoice(
        this, "TargetBox", {QStringLiteral("_BLANK"), QStringLiteral("_SELF"), QStringLiteral("_PARENT"), QStringLiteral("_TOP")});
    m_name = named(new QLineEdit(this), "NameEdit");
    m_description = named(new QLineEdit(this), "DescriptionEdit");
    m_statusBar = named(new QLineEdit(this), "StatusBarEdit");
    m_appearance = new QComboBox(this);
    m_appearance->setObjectName(QStringLiteral("AppearanceBox"));
    m_appearance->addItems({QStringLiteral("Standard Link"), QStringLiteral("Button Link")});
    connect(m_appearance, &QComboBox::currentIndexChanged, this, &TMnuAnchorLink::appearanceChanged);

    auto *fields = new QFormLayout;
    fields->addRow(fieldLabel(QStringLiteral("URL:"), m_url), url);
    fields->addRow(QStringLiteral("Service:"), service);
    fields->addRow(QStringLiteral("Target:"), m_target);
    fields->addRow(QStringLiteral("Name:"), m_name);
    fields->addRow(QStringLiteral("Description:"), m_description);
    fields->addRow(QStringLiteral("StatusBar:"), m_statusBar);
    fields->addRow(QStringLiteral("Appearance:"), m_appearance);

    auto *ieOnly = new QGroupBox(QStringLiteral("Internet Explorer Only:"), this);
    m_title = named(new QLineEdit(ieOnly), "TitleEdit");
    m_accessKey = named(new QLineEdit(ieOnly), "AccessKeyEdit");
    auto *ieFields = new QFormLayout(ieOnly);
    ieFields->addRow(QStringLiteral("Title:"), m_title);
    ieFields->addRow(QStringLiteral("Access Key:"), m_accessKey);

    QHBoxLayout *buttons =
        doneCancelRow(this, form, [this] { doneClick(); }, QLatin1String(LinkHelpTopic), QStringLiteral("Help"));

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(ieOnly);
    layout->addLayout(buttons);
    resize(420, sizeHint().height());
}

void TMnuAnchorLink::appearanceChanged()
{
    const bool standard = m_appearance->currentIndex() != 1;
    for (QWidget *w : std::initializer_list<QWidget *>{m_target, m_name, m_statusBar, m_title, m_accessKey})
        w->setEnabled(standard);
}

void TMnuAnchorLink::browseUrl()
{
    chooseFileInto(m_url, this, QStringLiteral("Open"), gDir.MainOpenDir,
                   {{QStringLiteral("HTML Files (*.HTM;*.HTML)"), QStringLiteral("*.HTM;*.HTML")}});
}

TLinkSettings TMnuAnchorLink::settings() const
{
    TLinkSettings s;
    s.url = m_url->text();
    s.target = m_target->currentText();
    s.name = m_name->text();
    s.description = m_description->text();
    s.statusBar = m_statusBar->text();
    s.title = m_title->text();
    s.accessKey = m_accessKey->text();
    s.buttonLink = m_appearance->currentIndex() == 1;
    return s;
}

void TMnuAnchorLink::doneClick()
{
    const TLinkSettings s = settings();
    m_form.withBuffer([&s](ITextBuffer *buffer) {
        const bool aroundSelection = !buffer->selectionRect().isEmpty();
        const MarkupPair texts = wizardMarkup() == MarkupStyle::Html5 ? html5AnchorLinkTexts(s, aroundSelection) : anchorLinkTexts(s, aroundSelection);
        ptext(buffer, texts.start, texts.end);
    });
    accept();
}

} // namespace Quorvant
