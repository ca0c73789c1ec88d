#include "tdcmemo.h"

#include "editorenvironment.h"
#include "scintillawidget.h"
#include "syntaxparsers.h"

#include <Qsci/qscilexer.h>
#include <Qsci/qsciprinter.h>

#include <QFont>
#include <QImage>
#include <QPainter>

namespace Quorvant {

namespace {

constexpr int LineNumberMargin = 0;
constexpr int GutterMargin = 1;
constexpr int FoldMargin = 2;
constexpr int GutterWidth = 18;
constexpr int BookmarkImageSize = 13;

// A bookmark's mark: its number on a dark badge, sized to fit the gutter and
// a line of the default font (a character mark is drawn in the margin's tiny
// font and shows as a sliver).
QImage bookmarkImage(int n)
{
    QImage image(BookmarkImageSize, BookmarkImageSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x00, 0x00, 0x80));
    p.drawRoundedRect(QRectF(0.5, 0.5, BookmarkImageSize - 1, BookmarkImageSize - 1), 3, 3);
    QFont font;
    font.setBold(true);
    font.setPixelSize(BookmarkImageSize - 3);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, BookmarkImageSize, BookmarkImageSize), Qt::AlignCenter, QString::number(n));
    return image;
}
constexpr int RightMarginColumn = 80;

int bookmarkMask()
{
    int mask = 0;
    for (int n = 1; n <= BookmarkCount; ++n)
        mask |= 1 << n;
    return mask;
}

} // namespace

TDCMemo::TDCMemo(QWidget *parent)
    : IEditorView(parent)
    , m_widget(new ScintillaWidget(parent))
    , m_env(std::make_unique<EditorEnvironment>())
{
    m_widget->setObjectName(QStringLiteral("DCMemo1"));
    m_widget->setAccessibleName(QStringLiteral("Document"));
    // The program supplies its own pop-up menu.
    m_widget->setContextMenuPolicy(Qt::CustomContextMenu);
    m_widget->setAutoIndent(true);
    m_widget->setBackspaceUnindents(true);
    m_widget->setIndentationsUseTabs(true);
    m_widget->setTabIndents(false);
    m_widget->setMarginType(LineNumberMargin, QsciScintilla::NumberMargin);
    m_widget->setMarginType(GutterMargin, QsciScintilla::SymbolMargin);
    m_widget->setMarginMarkerMask(GutterMargin, bookmarkMask());
    m_widget->setMarginWidth(FoldMargin, 0);
    for (int n = 1; n <= BookmarkCount; ++n)
        m_widget->markerDefine(bookmarkImage(n), n);
    m_widget->SendScintilla(QsciScintillaBase::SCI_SETHSCROLLBAR, 1);
    m_widget->setReadOnly(true);  // until a buffer is shown

    connect(m_widget, &QsciScintilla::textChanged, this, &IEditorView::changed);
    connect(m_widget, &QsciScintilla::selectionChanged, this, &IEditorView::selectionChanged);
    connect(m_widget, &ScintillaWidget::clicked, this, &IEditorView::clicked);
    connect(m_widget, &ScintillaWidget::keyDown, this, &IEditorView::keyDown);
    connect(m_widget, &ScintillaWidget::keyUp, this, &IEditorView::keyUp);
    connect(m_widget, &ScintillaWidget::keyPressed, this, &IEditorView::keyPress);
    connect(m_widget, &ScintillaWidget::tagDropped, this, &IEditorView::tagDropped);
    connect(m_widget, &ScintillaWidget::snippetDropped, this, &IEditorView::snippetDropped);
    connect(m_widget, &QsciScintilla::linesChanged, this, [this] { updateLineNumberMargin(); });

    applyEnvironment(*m_env);
    setOptions(DefaultViewOptions);
}

TDCMemo::~TDCMemo()
{
    if (m_source && m_widget)
        m_source->detachFrom(m_widget);
    delete m_widget.data();
}

void TDCMemo::setSource(ITextBuffer *buffer)
{
    auto *memo = qobject_cast<TMemoSource *>(buffer);
    Q_ASSERT(buffer == nullptr || memo != nullptr);
    if (memo == m_source)
        return;
    if (m_source)
        m_source->detachFrom(m_widget);
    m_source = memo;
    if (!memo) {
        m_widget->setDocument(QsciDocument());
        m_widget->setReadOnly(true);
        return;
    }
    if (TDCMemo *other = memo->view(); other && other != this)
        other->setSource(nullptr);
    memo->attachTo(this, m_widget);
    // Hidden characters show the end of each line as a pilcrow; Scintilla
    // resets its representations when the document changes.
    for (const char *eol : {"\r\n", "\n", "\r"})
        m_widget->SendScintilla(QsciScintillaBase::SCI_SETREPRESENTATION, eol, "\xC2\xB6");
    applyParserOf(memo);
    updateLineNumberMargin();
}

QsciLexer *TDCMemo::lexerFor(SyntaxParser parser)
{
    const auto i = std::size_t(parser);
    if (!m_lexers[i]) {
        m_lexers[i] = createLexer(parser, this);
        if (m_lexers[i]) {
            applyEditorFont(m_lexers[i], m_env->font());
            m_lexers[i]->setDefaultPaper(m_env->paper);
            m_lexers[i]->setPaper(m_env->paper, -1);
        }
    }
    return m_lexers[i];
}

void TDCMemo::applyParserOf(TMemoSource *buffer)
{
    if (buffer != m_source)
        return;
    const SyntaxParser parser = (m_options & moColorSyntax) ? buffer->syntaxParser() : SyntaxParser::Custom;
    // The lexer state lives in the document: a buffer that already has this
    // parser's state needs nothing, which keeps switching documents cheap.
    if (m_hasLexer && parser == m_currentParser && buffer->lexerApplied())
        return;
    QsciLexer *lexer = lexerFor(parser);
    m_widget->setLexer(lexer);
    m_currentParser = parser;
    m_hasLexer = true;
    buffer->setLexerApplied(true);
    applyStyles();
}

void TDCMemo::applyStyles()
{
    const EditorEnvironment &env = *m_env;
    if (!m_widget->lexer()) {
        m_widget->setFont(env.font());
        m_widget->setColor(env.text);
        m_widget->setPaper(env.paper);
        // Without a lexer every character keeps the default style.
        m_widget->SendScintilla(QsciScintillaBase::SCI_STYLECLEARALL);
    }
    m_widget->setSelectionForegroundColor(env.selectionText);
    m_widget->setSelectionBackgroundColor(env.selectionBack);
    m_widget->setCaretForegroundColor(env.text);
    m_widget->setMarginsFont(env.font());
    m_widget->setTabWidth(env.tabWidth);
    m_widget->setIndentationWidth(env.blockIndent);
    updateLineNumberMargin();
}

void TDCMemo::applyEnvironment(const EditorEnvironment &env)
{
    *m_env = env;
    for (QsciLexer *lexer : m_lexers) {
        if (lexer) {
            applyEditorFont(lexer, env.font());
            lexer->setDefaultPaper(env.paper);
            lexer->setPaper(env.paper, -1);
            // The syntax colours are made for white paper: on a dark one
            // each dark colour turns to its light counterpart.
            for (int style = 0; style < 128; ++style) {
                if (lexer->description(style).isEmpty())
                    continue;
                const QColor normal = lexer->defaultColor(style);
                QColor shown = normal;
                if (env.darkPaper() && EditorEnvironment::tooClose(normal, env.paper)) {
                    int lightness = qMax(normal.lightness(), 255 - normal.lightness());
                    shown = QColor::fromHsl(normal.hslHue(), normal.hslSaturation(), lightness);
                    while (EditorEnvironment::tooClose(shown, env.paper) && lightness < 245) {
                        lightness = qMin(245, lightness + 15);
                        shown = QColor::fromHsl(normal.hslHue(), normal.hslSaturation(), lightness);
                    }
                }
                lexer->setColor(shown, style);
            }
        }
    }
    applyStyles();
}

const EditorEnvironment &TDCMemo::environment() const
{
    return *m_env;
}

void TDCMemo::updateLineNumberMargin()
{
    if (!(m_options & moLineNumbers)) {
        m_widget->setMarginWidth(LineNumberMargin, 0);
        return;
    }
    const int digits = QString::number(qMax(1, m_widget->lines())).size();
    m_widget->setMarginWidth(LineNumberMargin, QString(qMax(3, digits) + 1, u'9'));
}

void TDCMemo::setOptions(ViewOptions options)
{
    const ViewOptions old = m_options;
    m_options = options;
    updateLineNumberMargin();
    m_widget->setMarginWidth(GutterMargin, (options & moDrawGutter) ? GutterWidth : 0);
    const bool special = options & moDrawSpecialSymbols;
    m_widget->setEolVisibility(special);
    m_widget->setWhitespaceVisibility(special ? QsciScintilla::WsVisible : QsciScintilla::WsInvisible);
    if (options & moDrawMargin) {
        m_widget->setEdgeMode(QsciScintilla::EdgeLine);
        m_widget->setEdgeColumn(RightMarginColumn);
        m_widget->setEdgeColor(QColor(0xC0, 0xC0, 0xC0));
    } else {
        m_widget->setEdgeMode(QsciScintilla::EdgeNone);
    }
    if (((old ^ options) & moColorSyntax) && m_source) {
        m_source->setLexerApplied(false);
        applyParserOf(m_source);
    }
}

bool TDCMemo::wordWrap() const
{
    return m_widget->wrapMode() != QsciScintilla::WrapNone;
}

void TDCMemo::setWordWrap(bool on)
{
    m_widget->setWrapMode(on ? QsciScintilla::WrapWord : QsciScintilla::WrapNone);
}

void TDCMemo::cutToClipboard()
{
    if (m_source)
        m_widget->cut();
}

void TDCMemo::copyToClipboard()
{
    if (m_source)
        m_widget->copy();
}

void TDCMemo::pasteFromClipboard()
{
    if (m_source)
        m_widget->paste();
}

bool TDCMemo::isVisible() const
{
    return !m_widget->isHidden();
}

void TDCMemo::setVisible(bool visible)
{
    m_widget->setVisible(visible);
}

void TDCMemo::setFocus()
{
    m_widget->setFocus();
}

bool TDCMemo::print(QsciPrinter &printer)
{
    if (!m_source)
        return false;
    // An empty document has no pages: nothing to print is no failure.
    if (m_widget->SendScintilla(QsciScintillaBase::SCI_GETLENGTH) == 0)
        return true;
    // QsciPrinter opens its own painter without looking whether it opened:
    // a printer that refuses is only seen here.
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const bool ok = printer.printRange(m_widget, painter);
    return painter.end() && ok && printer.printerState() != QPrinter::Error;
}

bool TDCMemo::printText(const QString &text, QsciPrinter &printer)
{
    TDCMemo view;
    view.widget()->setAttribute(Qt::WA_DontShowOnScreen);
    TMemoSource buffer;
    view.setSource(&buffer);
    buffer.setText(text);
    const bool ok = view.print(printer);
    view.setSource(nullptr);
    return ok;
}

} // namespace Quorvant
