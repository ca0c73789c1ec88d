#include "editorenvironment.h"

#include "inifile.h"
#include "messageservice.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace Quorvant {

namespace {

const QString Section = QStringLiteral("Editor");

// Ranges shared by the file and the dialog, so a loaded value is never clamped.
constexpr int MinFontSize = 4, MaxFontSize = 200;
constexpr int MinTab = 1, MaxTab = 64;
constexpr int MinIndent = 1, MaxIndent = 64;

int readRanged(const IniFile &ini, const QString &key, int def, int lo, int hi)
{
    const int v = ini.readInteger(Section, key, def);
    return v < lo || v > hi ? def : v;
}

QColor readColor(const IniFile &ini, const QString &key, const QColor &def)
{
    const QString s = ini.readString(Section, key).trimmed();
    const bool rgb = s.size() == 7 && s.front() == u'#'
        && std::all_of(s.begin() + 1, s.end(), [](QChar c) {
               return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
           });
    return rgb ? QColor::fromString(s) : def;
}

QString colorText(const QColor &c)
{
    return c.name(QColor::HexRgb).toUpper();
}

} // namespace

bool EditorEnvironment::load(const QString &iniPath)
{
    IniFile ini(iniPath);
    if (!ini.reload())
        return false;
    const EditorEnvironment def;
    EditorEnvironment e;
    const QString family = ini.readString(Section, QStringLiteral("FontName")).trimmed();
    e.fontFamily = family.isEmpty() ? def.fontFamily : family;
    e.fontPixelSize = readRanged(ini, QStringLiteral("FontSize"), def.fontPixelSize, MinFontSize, MaxFontSize);
    e.tabWidth = readRanged(ini, QStringLiteral("TabWidth"), def.tabWidth, MinTab, MaxTab);
    e.blockIndent = readRanged(ini, QStringLiteral("BlockIndent"), def.blockIndent, MinIndent, MaxIndent);
    e.text = readColor(ini, QStringLiteral("TextColor"), def.text);
    e.paper = readColor(ini, QStringLiteral("BackColor"), def.paper);
    e.selectionText = readColor(ini, QStringLiteral("SelTextColor"), def.selectionText);
    e.selectionBack = readColor(ini, QStringLiteral("SelBackColor"), def.selectionBack);
    *this = e;
    return true;
}

bool EditorEnvironment::save(const QString &iniPath) const
{
    IniFile ini(iniPath);
    return ini.writeString(Section, QStringLiteral("FontName"), fontFamily)
        && ini.writeInteger(Section, QStringLiteral("FontSize"), fontPixelSize)
        && ini.writeInteger(Section, QStringLiteral("TabWidth"), tabWidth)
        && ini.writeInteger(Section, QStringLiteral("BlockIndent"), blockIndent)
        && ini.writeString(Section, QStringLiteral("TextColor"), colorText(text))
        && ini.writeString(Section, QStringLiteral("BackColor"), colorText(paper))
        && ini.writeString(Section, QStringLiteral("SelTextColor"), colorText(selectionText))
        && ini.writeString(Section, QStringLiteral("SelBackColor"), colorText(selectionBack));
}

QFont EditorEnvironment::font() const
{
    QFont f(fontFamily);
    // A missing family falls back to a fixed-pitch one, not the UI font.
    f.setStyleHint(QFont::TypeWriter);
    f.setFixedPitch(true);
    // Scintilla sizes styles in points; 13 pixels is 9.75 points on a 96 dpi screen.
    f.setPointSizeF(fontPixelSize * 72.0 / 96.0);
    return f;
}

bool EditorEnvironment::tooClose(const QColor &a, const QColor &b)
{
    // Relative luminance as the web's contrast rule has it; below 2:1 the
    // text is hard to read.
    auto luminance = [](const QColor &c) {
        auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (qMax(la, lb) + 0.05) / (qMin(la, lb) + 0.05) < 2.0;
}

// ---------------------------------------------------------------- dialog

EnvironmentOptionsDialog::EnvironmentOptionsDialog(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Environment Options"));
    auto *form = new QFormLayout;

    m_font = new QFontComboBox(this);
    m_font->setObjectName(QStringLiteral("fontName"));
    m_font->setFontFilters(QFontComboBox::MonospacedFonts);
    form->addRow(tr("&Editor font:"), m_font);

    m_fontSize = new QSpinBox(this);
    m_fontSize->setObjectName(QStringLiteral("fontSize"));
    m_fontSize->setRange(MinFontSize, MaxFontSize);
    m_fontSize->setSuffix(tr(" px"));
    form->addRow(tr("&Size:"), m_fontSize);

    m_tabWidth = new QSpinBox(this);
    m_tabWidth->setObjectName(QStringLiteral("tabWidth"));
    m_tabWidth->setRange(MinTab, MaxTab);
    form->addRow(tr("&Tab width:"), m_tabWidth);

    m_blockIndent = new QSpinBox(this);
    m_blockIndent->setObjectName(QStringLiteral("blockIndent"));
    m_blockIndent->setRange(MinIndent, MaxIndent);
    form->addRow(tr("&Block indent:"), m_blockIndent);

    m_text = addColorButton(QStringLiteral("textColor"), tr("Text Color"));
    form->addRow(tr("Text color:"), m_text);
    m_paper = addColorButton(QStringLiteral("backColor"), tr("Background Color"));
    form->addRow(tr("Background color:"), m_paper);
    m_selText = addColorButton(QStringLiteral("selTextColor"), tr("Selected Text Color"));
    form->addRow(tr("Selected text color:"), m_selText);
    m_selBack = addColorButton(QStringLiteral("selBackColor"), tr("Selection Background Color"));
    form->addRow(tr("Selection background color:"), m_selBack);

    auto *schemes = new QHBoxLayout;
    auto *dark = new QPushButton(tr("Dark scheme"), this);
    dark->setObjectName(QStringLiteral("darkScheme"));
    dark->setToolTip(tr("Light text on a dark background; the syntax colours follow"));
    auto *light = new QPushButton(tr("Light scheme"), this);
    light->setObjectName(QStringLiteral("lightScheme"));
    connect(dark, &QPushButton::clicked, this, [this] { applyScheme(true); });
    connect(light, &QPushButton::clicked, this, [this] { applyScheme(false); });
    schemes->addWidget(dark);
    schemes->addWidget(light);
    form->addRow(tr("Colour scheme:"), schemes);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("buttons"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    setValue(EditorEnvironment());
}

void EnvironmentOptionsDialog::applyScheme(bool dark)
{
    const EditorEnvironment defaults;
    setButtonColor(m_text, dark ? QColor(0xD8, 0xDE, 0xE9) : defaults.text);
    setButtonColor(m_paper, dark ? QColor(0x1E, 0x1F, 0x22) : defaults.paper);
    setButtonColor(m_selText, dark ? QColor(0xFF, 0xFF, 0xFF) : defaults.selectionText);
    setButtonColor(m_selBack, dark ? QColor(0x3A, 0x5A, 0x8C) : defaults.selectionBack);
}

void EnvironmentOptionsDialog::accept()
{
    if (EditorEnvironment::tooClose(buttonColor(m_text), buttonColor(m_paper))
        && MessageService::show(this,
                                QStringLiteral("The text colour and the background colour are so alike that text "
                                               "will be hard to read. Use them anyway?"),
                                MessageIcon::Warning, YesNo)
               != mbYes)
        return;
    QDialog::accept();
}

QPushButton *EnvironmentOptionsDialog::addColorButton(const QString &objectName, const QString &title)
{
    auto *button = new QPushButton(this);
    button->setObjectName(objectName);
    connect(button, &QPushButton::clicked, this, [this, button, title] {
        const QColor c = QColorDialog::getColor(buttonColor(button), this, title);
        if (c.isValid())
            setButtonColor(button, c);
    });
    return button;
}

void EnvironmentOptionsDialog::setButtonColor(QPushButton *button, const QColor &color)
{
    button->setProperty("color", color);
    QPixmap swatch(24, 14);
    swatch.fill(color);
    button->setIcon(QIcon(swatch));
    button->setText(color.name(QColor::HexRgb).toUpper());
}

QColor EnvironmentOptionsDialog::buttonColor(const QPushButton *button) const
{
    return button ? button->property("color").value<QColor>() : QColor();
}

EditorEnvironment EnvironmentOptionsDialog::value() const
{
    EditorEnvironment e;
    // The edit text, so a family that is not installed survives a round trip.
    const QString family = m_font->currentText().trimmed();
    if (!family.isEmpty())
        e.fontFamily = family;
    e.fontPixelSize = m_fontSize->value();
    e.tabWidth = m_tabWidth->value();
    e.blockIndent = m_blockIndent->value();
    e.text = buttonColor(m_text);
    e.paper = buttonColor(m_paper);
    e.selectionText = buttonColor(m_selText);
    e.selectionBack = buttonColor(m_selBack);
    return e;
}

void EnvironmentOptionsDialog::setValue(const EditorEnvironment &env)
{
    m_font->setCurrentFont(QFont(env.fontFamily));
    m_font->setEditText(env.fontFamily);
    m_fontSize->setValue(env.fontPixelSize);
    m_tabWidth->setValue(env.tabWidth);
    m_blockIndent->setValue(env.blockIndent);
    setButtonColor(m_text, env.text);
    setButtonColor(m_paper, env.paper);
    setButtonColor(m_selText, env.selectionText);
    setButtonColor(m_selBack, env.selectionBack);
}

} // namespace Quorvant
