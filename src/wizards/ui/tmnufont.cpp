#include "tmnufont.h"

#include "colorswatch.h"
#include "html5markup.h"
#include "tagplacement.h"
#include "wizardsupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace Quorvant {

namespace {

// The names a page can ask for: without the foundry that tells apart two
// installed fonts of one name ("Nimbus Sans [urw]"), each name once.
QStringList installedFontNames()
{
    QStringList names;
    for (QString family : QFontDatabase::families()) {
        const qsizetype foundry = family.indexOf(QLatin1String(" ["));
        if (foundry > 0 && family.endsWith(QLatin1Char(']')))
            family.truncate(foundry);
        names << family;
    }
    names.removeDuplicates();
    return names;
}

} // namespace

Tmnufont::Tmnufont(TForm1 &form)
    : TSmallWizardDialog(form, "mnufont", QStringLiteral("Quorvant: Font Menu"))
{
    auto *columns = new QHBoxLayout;
    body()->addLayout(columns);

    auto *left = new QVBoxLayout;
    columns->addLayout(left, 1);
    m_fontList = new QListWidget(this);
    m_fontList->setObjectName(QStringLiteral("FontList"));
    m_fontList->setAccessibleName(QStringLiteral("Installed fonts"));
    left->addWidget(fieldLabel(QStringLiteral("Choose your font from this list:"), m_fontList));
    m_fontList->addItems(installedFontNames());
    left->addWidget(m_fontList);
    connect(m_fontList, &QListWidget::itemSelectionChanged, this, &Tmnufont::updatePreview);

    auto *right = new QVBoxLayout;
    columns->addLayout(right, 1);
    auto *fields = new QFormLayout;
    right->addLayout(fields);
    for (int i = 0; i < 3; ++i) {
        m_faces[i] = new QLineEdit(this);
        m_faces[i]->setObjectName(QStringLiteral("Font%1Edit").arg(i + 1));
        auto *add = new QPushButton(QStringLiteral("Add Font..."), this);
        add->setObjectName(QStringLiteral("AddFont%1Button").arg(i + 1));
        QLineEdit *face = m_faces[i];
        connect(add, &QPushButton::clicked, this, [this, face] {
            const QString chosen = chosenEntry(m_fontList);
            if (!chosen.isEmpty())
                face->setText(chosen);
        });
        fields->addRow(fieldLabel(QStringLiteral("Font #%1:").arg(i + 1), face), withButton(face, add));
    }
    m_position = editableChoice(this, "PositionBox", {QStringLiteral("NORMAL"), QStringLiteral("SUBSCRIPT"), QStringLiteral("SUPERSCRIPT")});
    fields->addRow(QStringLiteral("Text Position:"), m_position);
    m_size = editableChoice(this, "SizeBox", fontSizeEntries());
    connect(m_size, &QComboBox::currentTextChanged, this, &Tmnufont::updatePreview);
    fields->addRow(QStringLiteral("Text Size:"), m_size);
    m_color = new TColorSwatch(this);
    m_color->setObjectName(QStringLiteral("FontColorBox"));
    connect(m_color, &TColorSwatch::colorChosen, this, &Tmnufont::updatePreview);
    fields->addRow(QStringLiteral("Font Color"), m_color);

    auto *options = new QGroupBox(QStringLiteral("Font Options:"), this);
    auto *grid = new QGridLayout(options);
    for (int i = 0; i < FontStyleCount; ++i) {
        m_styles[i] = new QCheckBox(QLatin1String(fontStyleCaption(i)), options);
        m_styles[i]->setObjectName(QLatin1String(fontStyleCaption(i)) + QStringLiteral("Check"));
        grid->addWidget(m_styles[i], i / 3, i % 3);
        connect(m_styles[i], &QCheckBox::toggled, this, &Tmnufont::updatePreview);
    }
    right->addWidget(options);

    auto *previewBox = new QGroupBox(QStringLiteral("Font Preview Window:"), this);
    auto *previewLayout = new QVBoxLayout(previewBox);
    m_preview = new QLabel(QStringLiteral("AaBbCcDdEeFf"), previewBox);
    m_preview->setObjectName(QStringLiteral("FontPreview"));
    m_preview->setAlignment(Qt::AlignCenter);
    m_preview->setMinimumHeight(60);
    previewLayout->addWidget(m_preview);
    right->addWidget(previewBox);

    addButtons(QStringLiteral("FontMenu.Htm"));
    m_faces[0]->setFocus();
    updatePreview();
}

FontChoices Tmnufont::choices() const
{
    FontChoices c;
    for (int i = 0; i < 3; ++i)
        c.faces[i] = m_faces[i]->text();
    c.position = m_position->currentText();
    c.size = m_size->currentText();
    c.color = m_color->htmlColor();
    for (int i = 0; i < FontStyleCount; ++i) {
        if (m_styles[i]->isChecked())
            c.styles |= 1u << i;
    }
    return c;
}

void Tmnufont::writeTo(ITextBuffer *buffer)
{
    const MarkupPair m = wizardMarkup() == MarkupStyle::Html5 ? html5FontMarkup(choices()) : fontMarkup(choices());
    ptext(buffer, m.start, m.end);
}

void Tmnufont::updatePreview()
{
    QFont font = this->font();
    const QString chosen = chosenEntry(m_fontList);
    if (!chosen.isEmpty())
        font.setFamily(chosen);
    if (const int points = fontSizePoints(m_size->currentText()))
        font.setPointSize(points);
    font.setItalic(m_styles[0]->isChecked());
    font.setBold(m_styles[1]->isChecked());
    font.setUnderline(m_styles[2]->isChecked());
    font.setStrikeOut(m_styles[6]->isChecked());
    m_preview->setFont(font);
    QPalette palette = m_preview->palette();
    palette.setColor(QPalette::WindowText, m_color->hasColor() ? m_color->color() : this->palette().color(QPalette::WindowText));
    m_preview->setPalette(palette);
}

} // namespace Quorvant
