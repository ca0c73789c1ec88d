#include "tmnumargins.h"

#include "html5page.h"
#include "pagemarkup.h"
#include "tagplacement.h"
#include "wizardsupport.h"

#include <QFormLayout>
#include <QSpinBox>
#include <QVBoxLayout>

#include <limits>

namespace Quorvant {

TMnuMargins::TMnuMargins(TForm1 &form)
    : TSmallWizardDialog(form, "MnuMargins", QStringLiteral("Change Page Margins"))
{
    auto *fields = new QFormLayout;
    body()->addLayout(fields);
    auto margin = [this, fields](const char *name, const QString &caption) {
        auto *box = new QSpinBox(this);
        box->setObjectName(QLatin1String(name));
        box->setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
        box->setValue(0);
        fields->addRow(caption, box);
        return box;
    };
    m_top = margin("TopBox", QStringLiteral("Top:"));
    m_left = margin("LeftBox", QStringLiteral("Left:"));
    m_bottom = margin("BottomBox", QStringLiteral("Bottom:"));
    m_right = margin("RightBox", QStringLiteral("Right:"));
    addButtons();
}

void TMnuMargins::writeTo(ITextBuffer *buffer)
{
    if (wizardMarkup() == MarkupStyle::Html5)
        writeHtml5Margins(buffer, m_top->value(), m_left->value(), m_bottom->value(), m_right->value());
    else
        ptext(buffer, marginsMarkup(m_top->value(), m_left->value(), m_bottom->value(), m_right->value()), QString());
}

} // namespace Quorvant
