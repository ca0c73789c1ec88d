#include "mnuhtmltidy.h"

#include "messageservice.h"
#include "tooltexts.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDesktopServices>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTabWidget>
#include <QUrl>
#include <QVBoxLayout>

#include <climits>

namespace Quorvant {

namespace {

const char ToolWebPage[] = "https://www.html-tidy.org/";

QString objectNameFor(const char *caption)
{
    QString name;
    for (const QChar c : QString::fromLatin1(caption))
        if (c.isLetterOrNumber())
            name += c;
    return name;
}

QWidget *scrolled(QWidget *content, QWidget *parent)
{
    auto *area = new QScrollArea(parent);
    area->setWidget(content);
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    return area;
}

} // namespace

TMnuHTMLTidy::TMnuHTMLTidy(const TTidyFolder &folder, DebugOut debug, QWidget *parent)
    : QDialog(parent)
    , m_folder(folder)
    , m_debug(std::move(debug))
{
    setObjectName(QStringLiteral("MnuHTMLTidy"));
    setWindowTitle(QLatin1String(TidyDialogCaption));
    resize(620, 560);
    auto *column = new QVBoxLayout(this);
    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("PageControl1"));
    m_pages->addTab(buildQuickStart(), QStringLiteral("Quick Start"));
    m_pages->addTab(buildSettings(), QStringLiteral("Settings"));
    m_pages->addTab(buildAdvanced(), QStringLiteral("Advanced Settings"));
    column->addWidget(m_pages, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(cancel);
    column->addLayout(buttons);
    LoadTidySettings();
}

QWidget *TMnuHTMLTidy::buildQuickStart()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("QuickStartPage"));
    auto *column = new QVBoxLayout(page);
    auto *intro = new QLabel(QStringLiteral(
        "<p><b>HTML Tidy</b> cleans up your page: it repairs tags that are missing or misplaced, "
        "reports what it could not repair, and lays the source out neatly.</p>"
        "<p>Press the button below to tidy the current document with the settings of the other two pages. "
        "You will see HTML Tidy's report first, then you decide whether the tidied page replaces your document.</p>"
        "<p>Not every feature of HTML Tidy is offered here; the settings pages hold the ones used most.</p>"), page);
    intro->setWordWrap(true);
    column->addWidget(intro);
    auto *link = new QLabel(QStringLiteral("<a href=\"%1\">Visit the HTML Tidy web site</a>").arg(QLatin1String(ToolWebPage)), page);
    link->setObjectName(QStringLiteral("TidyWebLink"));
    connect(link, &QLabel::linkActivated, this, [](const QString &url) { QDesktopServices::openUrl(QUrl(url)); });
    column->addWidget(link);
    column->addStretch(1);
    auto *row = new QHBoxLayout;
    auto *reset = new QPushButton(QStringLiteral("Reset To Defaults..."), page);
    reset->setObjectName(QStringLiteral("ResetToDefaultsButton"));
    connect(reset, &QPushButton::clicked, this, &TMnuHTMLTidy::ResetToDefaults);
    row->addWidget(reset);
    row->addStretch(1);
    m_run = new QPushButton(QStringLiteral("Tidy My Page!"), page);
    m_run->setObjectName(QStringLiteral("RunTidyButton"));
    m_run->setDefault(true);
    connect(m_run, &QPushButton::clicked, this, &TMnuHTMLTidy::runRequested);
    row->addWidget(m_run);
    column->addLayout(row);
    return page;
}

void TMnuHTMLTidy::addExplanation(QGridLayout *grid, int row, const char *explanation)
{
    auto *label = new QLabel(QString::fromUtf8(explanation));
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setStyleSheet(QStringLiteral("color: palette(placeholder-text);"));  // muted, readable on any theme
    grid->addWidget(label, row, 1, Qt::AlignTop);
}

QCheckBox *TMnuHTMLTidy::addCheck(QGridLayout *grid, const char *caption, const char *explanation)
{
    const int row = grid->rowCount();
    auto *box = new QCheckBox(QLatin1String(caption));
    box->setObjectName(objectNameFor(caption));
    grid->addWidget(box, row, 0, Qt::AlignTop);
    addExplanation(grid, row, explanation);
    m_checks.insert(box->objectName(), box);
    connect(box, &QCheckBox::toggled, this, &TMnuHTMLTidy::controlChanged);
    return box;
}

QSpinBox *TMnuHTMLTidy::addNumber(QGridLayout *grid, const char *caption, const char *explanation)
{
    const int row = grid->rowCount();
    auto *cell = new QWidget;
    auto *line = new QHBoxLayout(cell);
    line->setContentsMargins(0, 0, 0, 0);
    line->addWidget(new QLabel(QLatin1String(caption)));
    auto *spin = new QSpinBox;
    spin->setObjectName(objectNameFor(caption));
    spin->setRange(INT_MIN, INT_MAX);
    line->addWidget(spin);
    line->addStretch(1);
    grid->addWidget(cell, row, 0, Qt::AlignTop);
    addExplanation(grid, row, explanation);
    connect(spin, &QSpinBox::valueChanged, this, &TMnuHTMLTidy::controlChanged);
    return spin;
}

QButtonGroup *TMnuHTMLTidy::addChoice(QGridLayout *grid, const char *caption, const QStringList &buttons,
                                      const char *explanation, const char *namePrefix)
{
    const int row = grid->rowCount();
    auto *cell = new QWidget;
    auto *column = new QVBoxLayout(cell);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(new QLabel(QLatin1String(caption)));
    auto *group = new QButtonGroup(this);
    for (int i = 0; i < buttons.size(); ++i) {
        auto *radio = new QRadioButton(buttons.at(i));
        radio->setObjectName(QLatin1String(namePrefix) + buttons.at(i));
        group->addButton(radio, i);
        column->addWidget(radio);
    }
    grid->addWidget(cell, row, 0, Qt::AlignTop);
    addExplanation(grid, row, explanation);
    connect(group, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked)
            controlChanged();
    });
    return group;
}

QWidget *TMnuHTMLTidy::buildSettings()
{
    auto *content = new QWidget;
    auto *grid = new QGridLayout(content);
    grid->setColumnStretch(1, 1);
    addCheck(grid, "Tidy-Mark?", "Adds a meta element naming HTML Tidy to the head of the page.");
    addCheck(grid, "Markup", "Writes the tidied page; without it HTML Tidy only reports.");
    addCheck(grid, "Wrap-Attributes", "Lets long attribute values wrap onto the next line.");
    addCheck(grid, "Literal-Attributes", "Keeps the blanks and line breaks inside attribute values as they are.");
    m_tabSize = addNumber(grid, "Tab size:", "Columns from one tab stop to the next when tabs are turned into blanks.");
    addCheck(grid, "Output-Xhtml", "Writes the page as XHTML.");
    m_doctype = addChoice(grid, "Doctype:", {QStringLiteral("Omit"), QStringLiteral("Auto"), QStringLiteral("Strict"), QStringLiteral("Loose")},
                          "The document type declaration: left out, guessed from the page, strict, or loose (transitional).",
                          "Doctype");
    addCheck(grid, "Quote-Marks", "Writes double quote characters in the text as &quot;.");
    addCheck(grid, "Quote-nbsp", "Writes non-breaking spaces as &nbsp;.");
    addCheck(grid, "Quote-Ampersand", "Writes a lone & in the text as &amp;.");
    addCheck(grid, "Fix-Backslash", "Turns backslashes in addresses into forward slashes.");
    addCheck(grid, "Break-Before-Br", "Starts a new line before every <br>.");
    addCheck(grid, "Uppercase-Tags", "Writes element names in upper case.");
    addCheck(grid, "Uppercase-Attributes", "Writes attribute names in upper case.");
    addCheck(grid, "Drop-Empty-Paras", "Removes empty paragraphs.");
    addCheck(grid, "Enclose-Text", "Puts text that stands directly in the body into paragraphs.");
    grid->setRowStretch(grid->rowCount(), 1);
    auto *page = scrolled(content, m_pages);
    page->setObjectName(QStringLiteral("SettingsPage"));
    return page;
}

QWidget *TMnuHTMLTidy::buildAdvanced()
{
    auto *content = new QWidget;
    auto *grid = new QGridLayout(content);
    grid->setColumnStretch(1, 1);
    m_wrap = addNumber(grid, "Wrap at:", "The right margin for long lines; 0 turns wrapping off.");
    addCheck(grid, "Wrap-Asp", "Lets text inside ASP blocks <% ... %> wrap.");
    addCheck(grid, "Wrap-Jtse", "Lets text inside JSTE blocks <# ... #> wrap.");
    addCheck(grid, "Wrap-PHP", "Lets text inside PHP blocks <?php ... ?> wrap.");
    addCheck(grid, "Input-XML", "Reads the page as well-formed XML.");
    addCheck(grid, "Output-XML", "Writes the page as well-formed XML.");
    m_encoding = addChoice(grid, "Character encoding:",
                           {QStringLiteral("raw"), QStringLiteral("ascii"), QStringLiteral("latin1"), QStringLiteral("utf8"),
                            QStringLiteral("ISO2022"), QStringLiteral("document")},
                           "The character encoding the page is handed over and read back in. \"document\" uses the "
                           "document's own (UTF-8, or Windows-1252 for a file saved so) and keeps the page's "
                           "characters and character references as they are.",
                           "Encoding");
    addCheck(grid, "Numeric-Entities", "Writes special characters as numbers (&#160;) instead of names.");
    addCheck(grid, "Fix-Bad-Comments", "Repairs comments that contain doubled hyphens.");
    addCheck(grid, "Add-XML-Space", "Adds xml:space=\"preserve\" to elements such as <pre> in XML output.");
    grid->setRowStretch(grid->rowCount(), 1);
    auto *page = scrolled(content, m_pages);
    page->setObjectName(QStringLiteral("AdvancedSettingsPage"));
    return page;
}

TTidyConfig TMnuHTMLTidy::config() const
{
    auto on = [this](const char *name) { return m_checks.value(QLatin1String(name))->isChecked(); };
    TTidyConfig c;
    c.TidyMark = on("TidyMark");
    c.Markup = on("Markup");
    c.WrapAttributes = on("WrapAttributes");
    c.LiteralAttributes = on("LiteralAttributes");
    c.TabSize = m_tabSize->value();
    c.OutputXhtml = on("OutputXhtml");
    c.Doctype = TidyDoctype(qMax(0, m_doctype->checkedId()));
    c.QuoteMarks = on("QuoteMarks");
    c.QuoteNbsp = on("Quotenbsp");
    c.QuoteAmpersand = on("QuoteAmpersand");
    c.FixBackslash = on("FixBackslash");
    c.BreakBeforeBr = on("BreakBeforeBr");
    c.UppercaseTags = on("UppercaseTags");
    c.UppercaseAttributes = on("UppercaseAttributes");
    c.DropEmptyParas = on("DropEmptyParas");
    c.EncloseText = on("EncloseText");
    c.Wrap = m_wrap->value();
    c.WrapAsp = on("WrapAsp");
    c.WrapJtse = on("WrapJtse");
    c.WrapPhp = on("WrapPHP");
    c.InputXml = on("InputXML");
    c.OutputXml = on("OutputXML");
    c.CharEncoding = TidyCharEncoding(qMax(0, m_encoding->checkedId()));
    c.NumericEntities = on("NumericEntities");
    c.FixBadComments = on("FixBadComments");
    c.AddXmlSpace = on("AddXMLSpace");
    return c;
}

void TMnuHTMLTidy::setConfig(const TTidyConfig &c)
{
    const bool wasLoading = m_loading;
    m_loading = true;
    auto set = [this](const char *name, bool v) { m_checks.value(QLatin1String(name))->setChecked(v); };
    set("TidyMark", c.TidyMark);
    set("Markup", c.Markup);
    set("WrapAttributes", c.WrapAttributes);
    set("LiteralAttributes", c.LiteralAttributes);
    m_tabSize->setValue(c.TabSize);
    set("OutputXhtml", c.OutputXhtml);
    m_doctype->button(int(c.Doctype))->setChecked(true);
    set("QuoteMarks", c.QuoteMarks);
    set("Quotenbsp", c.QuoteNbsp);
    set("QuoteAmpersand", c.QuoteAmpersand);
    set("FixBackslash", c.FixBackslash);
    set("BreakBeforeBr", c.BreakBeforeBr);
    set("UppercaseTags", c.UppercaseTags);
    set("UppercaseAttributes", c.UppercaseAttributes);
    set("DropEmptyParas", c.DropEmptyParas);
    set("EncloseText", c.EncloseText);
    m_wrap->setValue(c.Wrap);
    set("WrapAsp", c.WrapAsp);
    set("WrapJtse", c.WrapJtse);
    set("WrapPHP", c.WrapPhp);
    set("InputXML", c.InputXml);
    set("OutputXML", c.OutputXml);
    m_encoding->button(int(c.CharEncoding))->setChecked(true);
    set("NumericEntities", c.NumericEntities);
    set("FixBadComments", c.FixBadComments);
    set("AddXMLSpace", c.AddXmlSpace);
    m_loading = wasLoading;
}

void TMnuHTMLTidy::controlChanged()
{
    if (m_loading)
        return;
    QString error;
    if (!WriteConfigFile(&error))
        debugOut(m_debug, QStringLiteral("Error: TMnuHTMLTidy: WriteConfigFile: %1").arg(error));
}

bool TMnuHTMLTidy::WriteConfigFile(QString *error)
{
    if (!m_folder.ensureExists()) {
        if (error)
            *error = QStringLiteral("Could not create %1").arg(m_folder.path());
        return false;
    }
    QString problem;
    if (!config().save(m_folder.configPath(), &problem)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(m_folder.configPath(), problem);
        return false;
    }
    return true;
}

void TMnuHTMLTidy::LoadTidySettings()
{
    // Before the settings were first saved (a fresh data folder), the shipped defaults.
    QStringList lines;
    if (!m_folder.readSettingsLines(&lines)) {
        setConfig(TTidyConfig());
        MessageService::information(this, QLatin1String(MsgTidySettingsMissing));
        return;
    }
    // Lines the file lacks keep the defaults.
    setConfig(TTidyConfig::fromLines(lines));
    controlChanged();
}

void TMnuHTMLTidy::ResetToDefaults()
{
    const QString defaults = m_folder.defaultsPath();
    QStringList lines;
    if (!TTidyConfig::readLines(defaults, &lines)) {
        MessageService::information(this, QLatin1String(MsgNoDefaultConfig));
        return;
    }
    // Its settings, by position, in the canonical form.
    setConfig(TTidyConfig::fromLines(lines));
    QString error;
    if (!WriteConfigFile(&error)) {
        MessageService::error(this, QStringLiteral("Error! Could not write %1").arg(error));
        return;
    }
    MessageService::information(this, QLatin1String(MsgSettingsReset));
}

} // namespace Quorvant
