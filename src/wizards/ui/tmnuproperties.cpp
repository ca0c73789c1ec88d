#include "tmnuproperties.h"

#include "appglobals.h"
#include "colorswatch.h"
#include "datafolder.h"
#include "documentset.h"
#include "html5page.h"
#include "mainwindow.h"
#include "messageservice.h"
#include "pathsandcolours.h"
#include "propertycolorthemes.h"
#include "skippedlinesreport.h"
#include "tmemosource.h"
#include "wizardsupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QFrame>
#include <QGroupBox>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QUrl>

namespace Quorvant {

const QString TMnuProperties::NoThemeNameMessage = QStringLiteral("You must enter a name to save the template as.");
const QString TMnuProperties::ThemeSavedMessage = QStringLiteral("Scheme Successfully Saved!");
const QString TMnuProperties::ThemeSeparatorMessage =
    QStringLiteral("A color scheme's name and colors cannot contain a comma (\",\"). Please remove it and try again.");
const QString TMnuProperties::ThemeSaveFailedMessage = QStringLiteral("Error! Unable to save color scheme...");
const QString TMnuProperties::NoThemeChosenMessage = QStringLiteral("You must select a scheme before you can delete it.");
const QString TMnuProperties::ThemeRemovedMessage = QStringLiteral("Scheme Successfully Removed!");
const QString TMnuProperties::ThemeDeleteFailedMessage = QStringLiteral("Error! Unable to delete color scheme...");

namespace {

const char *const ColorCaptions[] = {"Background Color:", "Text Color:", "Link Color:", "Visited Link Color:",
                                     "Active Link Color:"};
const char *const ColorNames[] = {"BgColor", "TextColor", "LinkColor", "VLinkColor", "ALinkColor"};

// The file a background link names: a file:// link, a path relative to the
// document's folder, or an absolute path.
QString linkedFile(const QString &link)
{
    if (link.isEmpty())
        return {};
    if (link.startsWith(QLatin1String("file://"), Qt::CaseInsensitive))
        return link.mid(7);
    if (QDir::isAbsolutePath(link) || gCurrentFilePath.isEmpty())
        return link;
    return QFileInfo(gCurrentFilePath).dir().filePath(link);
}

} // namespace

TMnuProperties::TMnuProperties(TForm1 &form)
    : TSmallWizardDialog(form, "MnuProperties", QStringLiteral("Modify Document Properties"))
{
    auto *columns = new QHBoxLayout;
    body()->addLayout(columns);
    auto *fields = new QFormLayout;
    columns->addLayout(fields, 3);

    m_title = new QLineEdit(this);
    m_title->setObjectName(QStringLiteral("TitleEdit"));
    fields->addRow(QStringLiteral("Page Title:"), m_title);
    m_background = new QLineEdit(this);
    m_background->setObjectName(QStringLiteral("BackgroundEdit"));
    auto *browse = new QPushButton(QStringLiteral("..."), this);
    browse->setObjectName(QStringLiteral("BrowseBackgroundButton"));
    connect(browse, &QPushButton::clicked, this, &TMnuProperties::browseBackground);
    connect(m_background, &QLineEdit::textChanged, this, &TMnuProperties::updateBackgroundPreview);
    fields->addRow(fieldLabel(QStringLiteral("Background Image:"), m_background), withButton(m_background, browse));

    for (int i = 0; i < ColorFieldCount; ++i) {
        m_colors[i] = new QLineEdit(this);
        m_colors[i]->setObjectName(QLatin1String(ColorNames[i]) + QStringLiteral("Edit"));
        m_swatches[i] = new TColorSwatch(this);
        m_swatches[i]->setObjectName(QLatin1String(ColorNames[i]) + QStringLiteral("Button"));
        QLineEdit *field = m_colors[i];
        TColorSwatch *swatch = m_swatches[i];
        connect(swatch, &TColorSwatch::colorChosen, this, [field, swatch] { field->setText(swatch->htmlColor()); });
        connect(field, &QLineEdit::textChanged, this, &TMnuProperties::updateColourPreview);
        auto *row = new QHBoxLayout;
        row->addWidget(field, 1);
        row->addWidget(swatch);
        fields->addRow(fieldLabel(QLatin1String(ColorCaptions[i]), field), row);
        swatch->setAccessibleName(QLatin1String(ColorCaptions[i]));
    }

    auto *themeBox = new QGroupBox(QStringLiteral("Use the following Color Scheme:"), this);
    auto *themeLayout = new QVBoxLayout(themeBox);
    m_themes = new QComboBox(themeBox);
    m_themes->setObjectName(QStringLiteral("ThemeBox"));
    themeLayout->addWidget(m_themes);
    auto *save = new QPushButton(QStringLiteral("Save your current settings as a color scheme..."), themeBox);
    save->setObjectName(QStringLiteral("SaveThemeButton"));
    save->setAutoDefault(false);
    auto *remove = new QPushButton(QStringLiteral("Delete selected color scheme..."), themeBox);
    remove->setObjectName(QStringLiteral("DeleteThemeButton"));
    remove->setAutoDefault(false);
    themeLayout->addWidget(save);
    themeLayout->addWidget(remove);
    connect(m_themes, &QComboBox::currentIndexChanged, this, &TMnuProperties::themeChosen);
    connect(save, &QPushButton::clicked, this, &TMnuProperties::saveTheme);
    connect(remove, &QPushButton::clicked, this, &TMnuProperties::deleteTheme);
    fields->addRow(themeBox);

    m_underline = new QCheckBox(QStringLiteral("Underline Links?"), this);
    m_underline->setObjectName(QStringLiteral("UnderlineCheck"));
    m_underline->setChecked(true);
    connect(m_underline, &QCheckBox::toggled, this, &TMnuProperties::updateColourPreview);
    m_noScroll = new QCheckBox(QStringLiteral("Disable Scrollbars?"), this);
    m_noScroll->setObjectName(QStringLiteral("ScrollbarsCheck"));
    m_watermark = new QCheckBox(QStringLiteral("Background as watermark?"), this);
    m_watermark->setObjectName(QStringLiteral("WatermarkCheck"));
    fields->addRow(m_underline);
    fields->addRow(m_noScroll);
    fields->addRow(m_watermark);

    auto *previewColumn = new QVBoxLayout;
    columns->addLayout(previewColumn, 2);
    previewColumn->addWidget(new QLabel(QStringLiteral("Real-Time Preview:"), this));
    m_preview = new QFrame(this);
    m_preview->setObjectName(QStringLiteral("PropertiesPreview"));
    m_preview->setFrameShape(QFrame::StyledPanel);
    m_preview->setAutoFillBackground(true);
    m_preview->setMinimumSize(200, 180);
    auto *sample = new QVBoxLayout(m_preview);
    const char *const sampleCaptions[] = {"Text Color:", "Link Color:", "Visited Link Color:", "Active Link Color:"};
    for (int i = 0; i < 4; ++i) {
        m_sampleLabels[i] = new QLabel(QLatin1String(sampleCaptions[i]), m_preview);
        m_sampleLabels[i]->setObjectName(QStringLiteral("Sample%1").arg(i));
        sample->addWidget(m_sampleLabels[i]);
    }
    m_backgroundPreview = new QLabel(m_preview);
    m_backgroundPreview->setObjectName(QStringLiteral("BackgroundPreview"));
    m_backgroundPreview->setAlignment(Qt::AlignCenter);
    sample->addWidget(m_backgroundPreview, 1);
    previewColumn->addWidget(m_preview, 1);

    addButtons(QStringLiteral("PropertiesMenu.Htm"));

    ITextBuffer *buffer = form.documents() ? form.documents()->currentBuffer() : nullptr;
    // Filling the background field shows its picture; an empty one has none.
    fill(wizardMarkup() == MarkupStyle::Html5 ? readHtml5PageProperties(buffer) : readPageProperties(buffer));
    loadThemeList();
    updateColourPreview();
}

void TMnuProperties::fill(const PageProperties &p)
{
    m_title->setText(p.title);
    m_background->setText(p.background);
    m_colors[BgColor]->setText(p.bgColor);
    m_colors[TextColor]->setText(p.textColor);
    m_colors[LinkColor]->setText(p.linkColor);
    m_colors[VLinkColor]->setText(p.vlinkColor);
    m_colors[ALinkColor]->setText(p.alinkColor);
    m_noScroll->setChecked(p.disableScrollbars);
    m_watermark->setChecked(p.watermark);
}

PageProperties TMnuProperties::properties() const
{
    PageProperties p;
    p.title = m_title->text();
    p.background = m_background->text();
    p.bgColor = m_colors[BgColor]->text();
    p.textColor = m_colors[TextColor]->text();
    p.linkColor = m_colors[LinkColor]->text();
    p.vlinkColor = m_colors[VLinkColor]->text();
    p.alinkColor = m_colors[ALinkColor]->text();
    p.underlineLinks = m_underline->isChecked();
    p.disableScrollbars = m_noScroll->isChecked();
    p.watermark = m_watermark->isChecked();
    return p;
}

void TMnuProperties::writeTo(ITextBuffer *buffer)
{
    if (wizardMarkup() == MarkupStyle::Html5)
        writeHtml5PageProperties(buffer, properties());
    else
        writePageProperties(buffer, properties());
}

QString TMnuProperties::themesFile() const
{
    return DataFolder::file(QLatin1String(ThemesFileName));
}

void TMnuProperties::loadThemeList()
{
    const TPropertyColorThemes themes(themesFile());
    if (!themes.fileExists())
        return;
    SkippedLines skipped;
    const QStringList names = themes.themeNames(&skipped);
    const QSignalBlocker quiet(m_themes);
    setElidedEntries(m_themes, names);
    m_themes->setCurrentIndex(-1);
    reportSkippedLines(skipped, form().debugTarget(), form().StatusBar1());
}

void TMnuProperties::themeChosen(int index)
{
    if (index < 0)
        return;
    const auto colors = TPropertyColorThemes(themesFile()).LoadTheme(fullEntryText(m_themes, index));
    if (!colors)
        return;
    for (int i = 0; i < ColorFieldCount; ++i)
        m_colors[i]->setText(colors->at(i));
}

void TMnuProperties::saveTheme()
{
    QString name;
    MessageService::getText(this, QStringLiteral("Theme Name"), QStringLiteral("Please Enter a name for your new theme:"), &name);
    if (name.isEmpty()) {
        MessageService::information(this, NoThemeNameMessage);
        return;
    }
    ThemeColors colors;
    for (int i = 0; i < ColorFieldCount; ++i)
        colors[i] = m_colors[i]->text();
    switch (TPropertyColorThemes(themesFile()).SaveTheme(name, colors)) {
    case TPropertyColorThemes::SaveResult::Saved:
        loadThemeList();
        MessageService::information(this, ThemeSavedMessage);
        break;
    case TPropertyColorThemes::SaveResult::HasSeparator:
        MessageService::warning(this, ThemeSeparatorMessage);
        break;
    case TPropertyColorThemes::SaveResult::WriteFailed:
        MessageService::error(this, ThemeSaveFailedMessage);
        break;
    case TPropertyColorThemes::SaveResult::NoName:
        MessageService::information(this, NoThemeNameMessage);
        break;
    }
}

void TMnuProperties::deleteTheme()
{
    if (m_themes->currentIndex() < 0) {
        MessageService::information(this, NoThemeChosenMessage);
        return;
    }
    const QString name = fullEntryText(m_themes, m_themes->currentIndex());
    // Named as the list shows it: a long name would make the box too wide.
    const QString question =
        QStringLiteral("Are you sure you want to remove color scheme \"%1\"?").arg(m_themes->currentText());
    if (MessageService::show(this, question, MessageIcon::Warning, YesNo) != mbYes)
        return;
    if (!TPropertyColorThemes(themesFile()).DeleteTheme(name)) {
        MessageService::error(this, ThemeDeleteFailedMessage);
        return;
    }
    loadThemeList();
    MessageService::information(this, ThemeRemovedMessage);
}

void TMnuProperties::browseBackground()
{
    const QList<FileFilter> filters = {
        {QStringLiteral("All Image Files"), QStringLiteral("*.jpg;*.gif;*.png")},
        {QStringLiteral("Jpeg Images"), QStringLiteral("*.jpg")},
        {QStringLiteral("Gif Images"), QStringLiteral("*.gif")},
        {QStringLiteral("Png Images"), QStringLiteral("*.png")},
        {QStringLiteral("All Files"), QStringLiteral("*")},
    };
    chooseFileInto(m_background, this, QStringLiteral("Background Image"), defaultFolder(), filters);
}

void TMnuProperties::updateColourPreview()
{
    auto colorOf = [this](int field, QColor *out) {
        bool ok = false;
        const RgbColor c = WebColorToDelphiColor(m_colors[field]->text(), &ok);
        if (ok) {
            *out = QColor(c.red, c.green, c.blue);
            m_swatches[field]->setColor(*out);
        } else {
            m_swatches[field]->clearColor();
        }
        return ok;
    };
    QPalette palette = m_preview->palette();
    QColor color;
    palette.setColor(QPalette::Window, colorOf(BgColor, &color) ? color : this->palette().color(QPalette::Base));
    m_preview->setPalette(palette);
    for (int i = 0; i < 4; ++i) {
        QPalette labelPalette = m_sampleLabels[i]->palette();
        labelPalette.setColor(QPalette::WindowText,
                              colorOf(TextColor + i, &color) ? color : this->palette().color(QPalette::Text));
        m_sampleLabels[i]->setPalette(labelPalette);
        QFont font = m_sampleLabels[i]->font();
        font.setUnderline(i > 0 && m_underline->isChecked());
        m_sampleLabels[i]->setFont(font);
    }
}

// Apart from the colours: a colour typed would otherwise read the picture again.
void TMnuProperties::updateBackgroundPreview()
{
    const QString file = linkedFile(m_background->text());
    QPixmap picture;
    if (!file.isEmpty() && QFileInfo(file).isFile()) {
        QImageReader reader(file);
        const QSize size = reader.size();
        if (size.isValid())
            reader.setScaledSize(size.scaled(160, 90, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
        picture = QPixmap::fromImage(reader.read());
    }
    m_backgroundPreview->setPixmap(picture);
}

} // namespace Quorvant
