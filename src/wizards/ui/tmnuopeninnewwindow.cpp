#include "tmnuopeninnewwindow.h"

#include "html5markup.h"
#include "tagplacement.h"
#include "wizardsupport.h"

#include <QLabel>
#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace Quorvant {

TMnuOpenInNewWindow::TMnuOpenInNewWindow(TForm1 &form)
    : TSmallWizardDialog(form, "MnuOpenInNewWindow", QStringLiteral("Open in new window..."))
{
    auto *fields = new QFormLayout;
    body()->addLayout(fields);
    auto field = [this](const char *name) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QLatin1String(name));
        return edit;
    };
    m_title = field("TitleEdit");
    fields->addRow(QStringLiteral("Title:"), m_title);
    m_url = field("UrlEdit");
    auto *browse = new QPushButton(QStringLiteral("..."), this);
    browse->setObjectName(QStringLiteral("BrowseButton"));
    connect(browse, &QPushButton::clicked, this, [this] {
        chooseFileInto(m_url, this, QStringLiteral("Open"), defaultFolder(), {});
    });
    fields->addRow(fieldLabel(QStringLiteral("URL:"), m_url), withButton(m_url, browse));
    m_width = field("WidthEdit");
    fields->addRow(QStringLiteral("Width:"), m_width);
    m_height = field("HeightEdit");
    fields->addRow(QStringLiteral("Height:"), m_height);

    auto *box = new QGroupBox(QStringLiteral("Window custom settings:"), this);
    auto *grid = new QGridLayout(box);
    for (int i = 0; i < WindowFeatureCount; ++i) {
        m_features[i] = new QCheckBox(QLatin1String(WindowFeatures[i].caption), box);
        m_features[i]->setObjectName(QLatin1String(WindowFeatures[i].word) + QStringLiteral("Check"));
        grid->addWidget(m_features[i], i / 2, i % 2);
    }
    body()->addWidget(box);
    addButtons();
}

void TMnuOpenInNewWindow::writeTo(ITextBuffer *buffer)
{
    unsigned features = 0;
    for (int i = 0; i < WindowFeatureCount; ++i) {
        if (m_features[i]->isChecked())
            features |= 1u << i;
    }
    const auto markup = wizardMarkup() == MarkupStyle::Html5 ? html5NewWindowMarkup : newWindowMarkup;
    ptext(buffer, markup(m_url->text(), m_title->text(), features, m_width->text(), m_height->text()), QString());
}

} // namespace Quorvant
