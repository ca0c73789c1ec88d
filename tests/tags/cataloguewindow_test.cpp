// The whole catalogue on the real main window, offscreen: every entry is shown
// where and as the table says, and every insertion puts exactly its texts into
// the document in both tag cases, with and without a selection.
#include "subsystems.h"
#include "catalogue.h"
#include "datafolder.h"
#include "documentset.h"
#include "mainwindow.h"
#include "messageservice.h"
#include "scintillawidget.h"
#include "tagplacement.h"
#include "tdcmemo.h"
#include "tmemosource.h"
#include "toolkitglobals.h"

#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QDialog>
#include <QFrame>
#include <QMenu>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include <map>

using namespace Quorvant;

namespace {

QStringList g_warnings;

void collectWarnings(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        g_warnings.append(message);
}

// The caret point just after text, which starts at the top left.
CaretPoint endPoint(const QString &text)
{
    const qsizetype lastBreak = text.lastIndexOf(QStringLiteral("\r\n"));
    return {int(lastBreak < 0 ? text.size() : text.size() - lastBreak - 2), int(text.count(QStringLiteral("\r\n")))};
}

class CatalogueWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        DataFolder::setPath(m_dir.filePath(QStringLiteral("data")));
        resetAppGlobals();
        resetToolkitGlobals();
        MessageService::setTestHookEnabled(true);
        MessageService::resetTestHook();
        g_warnings.clear();
        const QtMessageHandler previous = qInstallMessageHandler(collectWarnings);
        m_window = std::make_unique<TForm1>();
        installSubsystems(*m_window);
        qInstallMessageHandler(previous);
        m_window->show();
        catalogue = loadCatalogue();
        ASSERT_TRUE(catalogue.errors.isEmpty()) << catalogue.errors.join(u'\n').toStdString();
    }

    void TearDown() override
    {
        for (TMemoSource *b : std::as_const(gMemoData))
            b->setModified(false);
        m_window.reset();
        MessageService::resetTestHook();
        resetToolkitGlobals();
    }

    void openBlankDocument()
    {
        m_window->action(QStringLiteral("BlankDocument1"))->trigger();
        ASSERT_NE(buffer(), nullptr);
    }
    TMemoSource *buffer() const { return m_window->documents()->currentBuffer(); }

    // Shows every page of the catalogue's page controls once, as a user
    // clicking through them does (a hidden control is shown meanwhile), so
    // every entry is built; then puts back what was shown.
    void showEveryPage() const
    {
        for (const char *name : {"LargeButtonPages", "PureTagBars", "SpecialCharacterList"}) {
            auto *tabs = find<QTabWidget>(QLatin1String(name));
            ASSERT_NE(tabs, nullptr) << name;
            const bool hidden = tabs->isHidden();
            const int current = tabs->currentIndex();
            tabs->show();
            for (int i = 0; i < tabs->count(); ++i)
                tabs->setCurrentIndex(i);
            tabs->setCurrentIndex(current);
            tabs->setHidden(hidden);
        }
    }

    template<typename T = QObject>
    T *find(const QString &name) const
    {
        return m_window->findChild<T *>(name);
    }

    const TCatalogueEntry &entry(const QString &name) const
    {
        for (const TCatalogueEntry &e : catalogue.entries) {
            if (e.name == name)
                return e;
        }
        ADD_FAILURE() << "no entry " << name.toStdString();
        static const TCatalogueEntry none;
        return none;
    }

    // Picks the entry the way the user does: its menu item or its button.
    void pick(const QString &name) const
    {
        if (auto *a = find<QAction>(name))
            a->trigger();
        else if (auto *b = find<QToolButton>(name))
            b->click();
        else
            ADD_FAILURE() << "nothing called " << name.toStdString();
    }

    // Sets the document to a single line and the selection (or the caret) in it.
    void setLine(const QString &text, int selStart, int selEnd) const
    {
        buffer()->setText(text);
        buffer()->setSelection({{selStart, 0}, {selEnd, 0}});
        buffer()->setCaretPoint({selEnd, 0});
        if (selStart != selEnd)
            buffer()->setSelection({{selStart, 0}, {selEnd, 0}});
        buffer()->setModified(false);
    }

    // The texts the user sees for a place, in order: action and button names,
    // "-" for separators, page names for page controls.
    QStringList shownOrder(const QString &place) const
    {
        QStringList out;
        QObject *o = find(place);
        if (auto *menu = qobject_cast<QMenu *>(o)) {
            for (QAction *a : menu->actions())
                out.append(a->isSeparator() ? QStringLiteral("-") : a->menu() ? a->menu()->objectName() : a->objectName());
        } else if (auto *bar = qobject_cast<QToolBar *>(o)) {
            for (QAction *a : bar->actions()) {
                QWidget *w = bar->widgetForAction(a);
                out.append(a->isSeparator() ? QStringLiteral("-") : w ? w->objectName() : a->objectName());
            }
        } else if (auto *tabs = qobject_cast<QTabWidget *>(o)) {
            for (int i = 0; i < tabs->count(); ++i)
                out.append(tabs->widget(i)->objectName());
        } else if (auto *w = qobject_cast<QWidget *>(o); w && qobject_cast<QBoxLayout *>(w->layout())) {
            QLayout *row = w->layout();
            for (int i = 0; i < row->count(); ++i) {
                QWidget *item = row->itemAt(i)->widget();
                if (qobject_cast<QToolButton *>(item) || qobject_cast<QToolBar *>(item))
                    out.append(item->objectName());
                else if (auto *frame = qobject_cast<QFrame *>(item); frame && frame->frameShape() == QFrame::VLine)
                    out.append(QStringLiteral("-"));
            }
        }
        return out;
    }

    // The button a catalogue entry shows, for menus on bars its drop-down button.
    QString shownName(const TCatalogueEntry &e) const
    {
        if (e.kind == CatalogueKind::Separator)
            return QStringLiteral("-");
        if (e.kind == CatalogueKind::Menu && !e.key.isEmpty())
            return e.key;
        return e.name;
    }

    QTemporaryDir m_dir;
    std::unique_ptr<TForm1> m_window;
    TCatalogue catalogue;
};

} // namespace

TEST_F(CatalogueWindowTest, EveryEntryIsShownInItsPlaceInTableOrder)
{
    showEveryPage();
    EXPECT_TRUE(g_warnings.filter(QStringLiteral("catalogue")).isEmpty()) << g_warnings.join(u'\n').toStdString();

    std::map<QString, QStringList> expected;
    for (const TCatalogueEntry &e : catalogue.entries) {
        if (e.kind != CatalogueKind::Spacer)
            expected[e.place].append(shownName(e));
    }
    for (const auto &[place, names] : expected) {
        const QStringList shown = shownOrder(place);
        // Regions may hold items of other commands around the catalogue's.
        qsizetype lead = 0;
        while (lead < names.size() && names.at(lead) == QLatin1String("-"))
            ++lead;
        ASSERT_LT(lead, names.size()) << place.toStdString();
        const qsizetype first = shown.indexOf(names.at(lead)) - lead;
        ASSERT_GE(first, 0) << place.toStdString();
        EXPECT_EQ(shown.mid(first, names.size()), names) << place.toStdString();
    }

    for (const TCatalogueEntry &e : catalogue.entries) {
        const std::string name = e.name.toStdString();
        switch (e.kind) {
        case CatalogueKind::Menu:
            if (!e.key.isEmpty()) {
                auto *b = find<QToolButton>(e.key);
                ASSERT_NE(b, nullptr) << name;
                EXPECT_EQ(b->text(), e.caption) << name;
                EXPECT_EQ(b->toolTip(), e.hint) << name;
                EXPECT_EQ(b->icon().isNull(), e.icon.isEmpty()) << name;
                ASSERT_NE(b->menu(), nullptr) << name;
                EXPECT_EQ(b->menu()->objectName(), e.name);
                EXPECT_EQ(b->popupMode(), QToolButton::InstantPopup) << name;
            } else {
                auto *m = find<QMenu>(e.name);
                ASSERT_NE(m, nullptr) << name;
                EXPECT_EQ(m->menuAction()->text(), e.caption) << name;
            }
            break;
        case CatalogueKind::Page: {
            auto *page = find<QWidget>(e.name);
            ASSERT_NE(page, nullptr) << name;
            auto *tabs = find<QTabWidget>(e.place);
            EXPECT_EQ(tabs->tabText(tabs->indexOf(page)), e.caption) << name;
            break;
        }
        case CatalogueKind::Insert:
        case CatalogueKind::Wizard:
        case CatalogueKind::Command:
        case CatalogueKind::Inert:
            if (auto *a = find<QAction>(e.name)) {
                EXPECT_EQ(a->text(), e.caption) << name;
                EXPECT_EQ(a->statusTip(), e.hint) << name;
                if (e.kind == CatalogueKind::Insert) {
                    EXPECT_EQ(a->shortcut(), QKeySequence::fromString(e.key)) << name;
                }
                EXPECT_EQ(a->isEnabled(), e.kind != CatalogueKind::Inert) << name;
            } else if (auto *b = find<QToolButton>(e.name)) {
                EXPECT_EQ(b->text(), e.caption.isEmpty() ? e.hint : e.caption) << name;
                EXPECT_EQ(b->toolTip(), e.hint) << name;
                EXPECT_EQ(b->icon().isNull(), e.icon.isEmpty()) << name;
                // A button without a caption shows its picture; one with a caption shows the caption.
                if (e.caption.isEmpty())
                    EXPECT_EQ(b->toolButtonStyle(), Qt::ToolButtonIconOnly) << name;
                else
                    EXPECT_NE(b->toolButtonStyle(), Qt::ToolButtonIconOnly) << name;
                EXPECT_EQ(b->isEnabled(), e.kind != CatalogueKind::Inert) << name;
            } else {
                ADD_FAILURE() << "not shown: " << name;
            }
            break;
        default:
            break;
        }
    }
}

TEST_F(CatalogueWindowTest, EveryInsertionPutsItsTextsThroughTheTagCase)
{
    showEveryPage();
    openBlankDocument();
    const QString before = QStringLiteral("abc ");
    const QString word = QStringLiteral("word");
    const QString after = QStringLiteral(" xyz");
    int inserts = 0;
    for (const TCatalogueEntry &e : catalogue.entries) {
        if (e.kind != CatalogueKind::Insert && e.kind != CatalogueKind::Wizard)
            continue;
        const std::string name = e.name.toStdString();
        for (const bool lower : {true, false}) {
            gInsertTagsInLowercase = lower;
            QString starts, ends;
            for (const TInsertStep &step : e.steps) {
                starts += SetTagCase(step.start, lower);
                ends.prepend(SetTagCase(step.end, lower));
            }
            const char *mode = lower ? "lower" : "upper";

            setLine(before + after, before.size(), before.size());
            if (e.kind == CatalogueKind::Wizard) {
                // A wizard opens its dialog or picker (some run their own
                // event loop); closing that unused leaves the document as it was.
                auto closeWizard = [] {
                    if (QWidget *w = QApplication::activeModalWidget())
                        w->close();
                    if (QWidget *w = QApplication::activePopupWidget())
                        w->close();
                };
                QTimer::singleShot(0, closeWizard);
                pick(e.name);
                closeWizard();
                for (QDialog *d : m_window->findChildren<QDialog *>()) {
                    if (d->isVisible())
                        d->reject();
                }
                EXPECT_TRUE(m_window->isEnabled()) << name;
                EXPECT_EQ(buffer()->text(), before + after) << name;
                EXPECT_FALSE(buffer()->isModified()) << name;
                continue;
            }
            pick(e.name);
            EXPECT_EQ(buffer()->text(), before + starts + ends + after) << name << " " << mode;
            EXPECT_EQ(buffer()->caretPoint(), endPoint(before + starts)) << name << " " << mode;
            EXPECT_TRUE(gDocumentModified) << name;

            setLine(before + word + after, before.size(), before.size() + word.size());
            pick(e.name);
            EXPECT_EQ(buffer()->text(), before + starts + word + ends + after) << name << " " << mode << " selection";
            EXPECT_EQ(buffer()->selText(), word) << name << " " << mode;
        }
        if (e.kind == CatalogueKind::Insert)
            ++inserts;
    }
    EXPECT_GT(inserts, 400);
}

TEST_F(CatalogueWindowTest, NoDocumentOpenInsertsNothingAndDoesNotFail)
{
    showEveryPage();
    ASSERT_EQ(buffer(), nullptr);
    pick(QStringLiteral("BoldTextB1"));
    pick(QStringLiteral("Charquot1"));
    EXPECT_EQ(buffer(), nullptr);
    EXPECT_FALSE(gDocumentModified);
}

// The Tags menu as the user sees it, written out here rather than read from the table.
TEST_F(CatalogueWindowTest, TagsMenuHasEveryCommandWithItsBlanksAndShortcuts)
{
    QStringList captions;
    for (QAction *a : m_window->menu(QStringLiteral("Tags1"))->actions())
        captions.append(a->isSeparator() ? QStringLiteral("-") : a->text());
    const QStringList expected = {
        "<> Start Tag", "</> End Tag", "-",
        "Center                    <CENTER>", "Anchor                   <A>", "Inline Image           <IMG>",
        "Bold Text               <B>", "Italic Text               <I>", "Underline               <U>",
        "Line Break             <BR>", "New Line Break     <BR>", "Paragraph              <P>",
        "Preformatted Text  <PRE>", "Non-Breaking Space", "-",
        "Font Color              <FONT>", "Font Face              <FONT>", "Font Size (-1)         <FONT>",
        "Font Size (+1)        <FONT>", "-", "Common Font Faces",
    };
    // The menu may hold items of other commands around the catalogue's.
    const qsizetype first = captions.indexOf(expected.first());
    ASSERT_GE(first, 0);
    EXPECT_EQ(captions.mid(first, expected.size()), expected);

    QStringList faces;
    for (QAction *a : m_window->menu(QStringLiteral("CommonFontFaces1"))->actions())
        faces.append(a->text());
    EXPECT_EQ(faces, (QStringList{"Arial", "Tahoma", "Arial, Tahoma", "Tahoma, Arial", "Courier New,Courier,Mono",
                                  "Times new roman, Times, Serif", "Ariel,Helvetica,San-Serif",
                                  "Georgia,Times New Roman,Times,Serif"}));

    EXPECT_EQ(find<QAction>(QStringLiteral("BoldTextB1"))->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_B));
    EXPECT_EQ(find<QAction>(QStringLiteral("ItalicTextI1"))->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_I));
    EXPECT_EQ(find<QAction>(QStringLiteral("UnderlineU1"))->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_U));
}

TEST_F(CatalogueWindowTest, ShortcutsReachTheTagsMenuFromTheEditor)
{
    openBlankDocument();
    m_window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_window.get()));
    QWidget *editor = m_window->DCMemo1()->widget();
    editor->setFocus();
    const struct { Qt::Key key; const char *text; } cases[] = {
        {Qt::Key_B, "<b></b>"}, {Qt::Key_I, "<i></i>"}, {Qt::Key_U, "<u></u>"},
    };
    for (const auto &c : cases) {
        buffer()->setText(QString());
        QTest::keyClick(editor, c.key, Qt::ControlModifier);
        EXPECT_EQ(buffer()->text(), QLatin1String(c.text));
    }
}

TEST_F(CatalogueWindowTest, BarsHoldEveryButtonAndPage)
{
    showEveryPage();
    auto captionsOf = [this](const QString &menuName) {
        QStringList out;
        for (QAction *a : find<QMenu>(menuName)->actions())
            out.append(a->text());
        return out;
    };
    EXPECT_EQ(captionsOf(QStringLiteral("FontSizeMenu")),
              (QStringList{"1", "2", "3", "4", "5", "6", "7", "-1", "-2", "-3", "-4", "-5", "-6", "-7",
                           "+1", "+2", "+3", "+4", "+5", "+6", "+7"}));
    EXPECT_EQ(find<QToolButton>(QStringLiteral("FontSizeButton"))->text(), QStringLiteral("Size"));
    EXPECT_EQ(captionsOf(QStringLiteral("Size1")),
              (QStringList{"+1", "+2", "+3", "-1", "-2", "-3", "1", "2", "3", "4", "5", "6", "7"}));

    auto *pages = find<QTabWidget>(QStringLiteral("LargeButtonPages"));
    ASSERT_NE(pages, nullptr);
    QStringList tabs;
    for (int i = 0; i < pages->count(); ++i)
        tabs.append(pages->tabText(i));
    EXPECT_EQ(tabs, (QStringList{"Builder Bar", "Fonts", "Tables", "Frames", "Lists", "Forms", "Scripts", "ASP",
                                 "SSI", "Advanced"}));
    EXPECT_EQ(pages->parentWidget(), m_window->largeButtonBar());

    // Thirteen picture buttons, each dropping down its menu.
    const QStringList menus = {"Documentmenu", "Blockmenu", "Listmenu", "tablesmenu", "formsmenu",
                               "navigationmenu", "framespullmenu", "formattingmenu", "javamenu", "coldfusionmenu",
                               "aspmenu", "ssimenu", "webtvmenu"};
    const int images[] = {31, 32, 33, 34, 35, 36, 37, 39, 40, 41, 42, 43, 44};
    for (int i = 0; i < 13; ++i) {
        auto *b = find<QToolButton>(QStringLiteral("Image%1").arg(images[i]));
        ASSERT_NE(b, nullptr) << images[i];
        EXPECT_FALSE(b->icon().isNull());
        ASSERT_NE(b->menu(), nullptr);
        EXPECT_EQ(b->menu()->objectName(), menus.at(i));
        EXPECT_TRUE(m_window->pureTagBars()->isAncestorOf(b));
    }
    // Items of each tag bar menu (submenus count as one), separators left out.
    const std::map<QString, int> items = {
        {"Documentmenu", 12}, {"Blockmenu", 13}, {"Listmenu", 8}, {"tablesmenu", 11}, {"formsmenu", 9},
        {"navigationmenu", 25}, {"framespullmenu", 4}, {"formattingmenu", 27}, {"javamenu", 5},
        {"coldfusionmenu", 43}, {"aspmenu", 6}, {"ssimenu", 9}, {"webtvmenu", 23},
    };
    for (const auto &[name, count] : items) {
        int n = 0;
        for (QAction *a : find<QMenu>(name)->actions())
            n += a->isSeparator() ? 0 : 1;
        EXPECT_EQ(n, count) << name.toStdString();
    }
}

TEST_F(CatalogueWindowTest, SpecialCharacterBarShowsEveryCharacterOfBothPages)
{
    showEveryPage();
    auto faces = [this](const char *page) {
        QStringList out;
        QLayout *row = find<QWidget>(QLatin1String(page))->layout();
        for (int i = 0; i < row->count(); ++i) {
            if (auto *b = qobject_cast<QToolButton *>(row->itemAt(i)->widget()))
                out.append(b->text());
        }
        return out;
    };
    const QStringList extended1 = QString::fromUtf8(
        "\" |<|TM|¡|£|¥|§|©|«|¯|±|³|µ|·|¹|»|½|¿|Á|Ã|Å|Ç|É|Ë|Í|Ï|Ñ|Ó|Õ|Ù|Û|Ý|ß|á|ã|å|ç|é|ë|í|ï|ñ|ó|õ|ù|û|ý|ÿ|--|’|X")
                                      .split(u'|');
    const QStringList extended2 = QString::fromUtf8(
        "and|>| |¢|¤|¦|\"|ª|¬|®|°|²|´|¶|¸|¼|¾|À|æ|Â|Ä|Æ|È|Ê|Ì|Î|Ð|Ò|Ô|Ö|Ø|Ú|Ü|Þ|à|â|ä|ü|è|ê|ì|ð|ò|ô|ö|ø|ú|X")
                                      .split(u'|');
    EXPECT_EQ(faces("Extended1Page"), extended1);
    EXPECT_EQ(faces("Extended2Page"), extended2);
    QTabWidget *list = m_window->characterList();
    EXPECT_EQ(list->tabText(0), QStringLiteral("Extended 1"));
    EXPECT_EQ(list->tabText(1), QStringLiteral("Extended 2"));
    EXPECT_FALSE(find<QToolButton>(QStringLiteral("CharNoCommand1"))->isEnabled());
}

// Edge cases of the insertions, with the texts written out as the user sees them.
TEST_F(CatalogueWindowTest, EdgeCasesInsertExactly)
{
    showEveryPage();
    openBlankDocument();
    struct Case
    {
        const char *item;
        bool lower;
        const char *line;      // the line before, '|' the caret, '{' '}' the selection
        const char *expected;  // the text after, with the caret or selection marked the same way
    };
    const Case cases[] = {
        {"BoldTextB1", true, "{word}", "<b>{word}</b>"},
        {"FontColorFONT1", true, "|", "<font color=\"|\"></FONT>"},
        {"FormdropdownlistButton1", true, "|",
         "<select name=\"\">\r\n    <option>\r\n    <option>\r\n</select>|"},
        {"NewLineBreakBR1", true, "abc|", "abc\r\n<br />|"},
        {"Charfrac341", true, "|", "&frac34;|"},
        {"Chardeg1", true, "|", "&deg;|"},
        {"CharAring1", true, "|", "&Aring;|"},
        {"Characute1", true, "|", "&acute;|"},
        {"CharsupTMsup1", false, "|", "<SUP>TM</SUP>|"},
        {"Arial1", false, "|", "<FONT FACE=\"arial\">|</FONT>"},
        {"TITLEDocumenttitle1", true, "{My page}", "<title>{My page}</title>"},
        {"OLOrderedlist1", true, "|",
         "A=Capital letters(A,B,C), a=small letters(a,b,c), I=Large Roman(I,II,III), i=Small Roman(i,ii,iii), "
         "1=Number(1,2,3)\r\n<ol type=a|a|i|i|1 start=\"\" title=\"\" compact=\"compact\">|</ol>"},
        {"HRHorizontalrule1", true, "{text}", "<hr />{text}"},
        {"ifstatement1", true, "|", "<cfif>|</cfif>"},
        {"ifstatement2", true, "|", "<% if | %>"},
        {"TDTabledatacell1", false, "|",
         "<TD ALIGN=\"\" VALIGN=\"\" WIDTH=\"\" HEIGHT=\"\" NOWRAP=\"nowrap\" COLSPAN=\"\" ROWSPAN=\"\" BGCOLOR=\"\" "
         "BACKGROUND=\"\" BORDERCOLOR=\"\">|</TD>"},
        {"ToolbarButton9756", false, "{x}", "<STRONG>{x}</STRONG>"},
        {"DefinitionListButton1", true, "|", "<dl>\r\n    <dt><dd>\r\n</dl>|"},
        {"incButton1", true, "|", "<!--#include file=\"|\"-->"},
        {"Commenttext1", true, "{note}", "<!-- {note} -->"},
    };
    for (const Case &c : cases) {
        const QString item = QLatin1String(c.item);
        ASSERT_TRUE(find(item)) << c.item;
        gInsertTagsInLowercase = c.lower;
        const QString line = QString::fromUtf8(c.line);
        const qsizetype open = line.indexOf(u'{');
        QString plain = line;
        plain.remove(u'{').remove(u'}').remove(u'|');
        if (open >= 0)
            setLine(plain, int(open), int(line.indexOf(u'}') - 1));
        else
            setLine(plain, int(line.indexOf(u'|')), int(line.indexOf(u'|')));
        pick(item);

        // The ordered list's own bars are text, so the caret marker is the last '|'.
        QString expected = QString::fromUtf8(c.expected);
        const qsizetype selOpen = expected.indexOf(u'{');
        if (selOpen >= 0) {
            const qsizetype selClose = expected.indexOf(u'}');
            const QString selected = expected.mid(selOpen + 1, selClose - selOpen - 1);
            expected.remove(selClose, 1).remove(selOpen, 1);
            EXPECT_EQ(buffer()->text(), expected) << c.item;
            EXPECT_EQ(buffer()->selText(), selected) << c.item;
        } else {
            const qsizetype caret = expected.lastIndexOf(u'|');
            expected.remove(caret, 1);
            EXPECT_EQ(buffer()->text(), expected) << c.item;
            EXPECT_EQ(buffer()->caretPoint(), endPoint(expected.left(caret))) << c.item;
        }
    }
}

TEST_F(CatalogueWindowTest, SpecialCharactersButtonAndXButtonsShowAndHideTheBar)
{
    showEveryPage();
    QTabWidget *list = m_window->characterList();
    QAction *view = m_window->action(QStringLiteral("SpecialCharactersList1"));
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(list->isHidden());
    auto *toggle = find<QToolButton>(QStringLiteral("SpecialCharactersButton1"));
    ASSERT_NE(toggle, nullptr);
    EXPECT_EQ(toggle->toolTip(), QStringLiteral("Special Characters"));
    EXPECT_TRUE(m_window->controlBar()->isAncestorOf(toggle));

    toggle->click();
    EXPECT_FALSE(list->isHidden());
    EXPECT_TRUE(view->isChecked());
    toggle->click();
    EXPECT_TRUE(list->isHidden());
    EXPECT_FALSE(view->isChecked());

    for (const char *x : {"CloseExtended1Page", "CloseExtended2Page"}) {
        toggle->click();
        ASSERT_FALSE(list->isHidden());
        auto *close = find<QToolButton>(QLatin1String(x));
        ASSERT_NE(close, nullptr);
        EXPECT_EQ(close->text(), QStringLiteral("X"));
        close->click();
        EXPECT_TRUE(list->isHidden()) << x;
        EXPECT_FALSE(view->isChecked()) << x;
    }
}

TEST_F(CatalogueWindowTest, PagesThatDoNotShowAtStartAreBuiltWhenFirstShown)
{
    // The current page of the big button bar is complete at start; the
    // others, the hidden tag bars and the hidden character list hold nothing.
    EXPECT_NE(find<QToolButton>(QStringLiteral("HButton1")), nullptr);
    for (const char *page : {"FontsPage", "AdvancedPage", "PureTagRow1", "PureTagRow2", "Extended1Page", "Extended2Page"})
        EXPECT_TRUE(find<QWidget>(QLatin1String(page))->findChildren<QWidget *>().isEmpty()) << page;
    EXPECT_EQ(find<QMenu>(QStringLiteral("FontSizeMenu")), nullptr);
    EXPECT_EQ(find<QMenu>(QStringLiteral("Documentmenu")), nullptr);
    EXPECT_TRUE(g_warnings.filter(QStringLiteral("catalogue")).isEmpty()) << g_warnings.join(u'\n').toStdString();

    openBlankDocument();
    auto *pages = find<QTabWidget>(QStringLiteral("LargeButtonPages"));
    pages->setCurrentWidget(find<QWidget>(QStringLiteral("FontsPage")));
    auto *strong = find<QToolButton>(QStringLiteral("ToolbarButton9756"));
    ASSERT_NE(strong, nullptr);
    EXPECT_TRUE(strong->isVisible());
    EXPECT_GT(strong->width(), 0);
    ASSERT_NE(find<QToolButton>(QStringLiteral("FontSizeButton")), nullptr);
    EXPECT_EQ(find<QToolButton>(QStringLiteral("FontSizeButton"))->menu(), find<QMenu>(QStringLiteral("FontSizeMenu")));
    gInsertTagsInLowercase = false;
    setLine(QStringLiteral("x"), 0, 1);
    strong->click();
    EXPECT_EQ(buffer()->text(), QStringLiteral("<STRONG>x</STRONG>"));
    find<QAction>(QStringLiteral("FontSizePlus7"))->trigger();
    EXPECT_TRUE(buffer()->text().contains(QStringLiteral("<FONT SIZE=\"+7\">")));
    // The row keeps its buttons to the left: the stretch comes after them.
    QLayout *row = find<QWidget>(QStringLiteral("FontsPage"))->layout();
    ASSERT_GT(row->count(), 0);
    EXPECT_NE(row->itemAt(row->count() - 1)->spacerItem(), nullptr);
    EXPECT_EQ(row->itemAt(0)->widget(), find<QToolButton>(QStringLiteral("FontSizeButton")));
    // Still unbuilt: the pages not shown yet.
    EXPECT_TRUE(find<QWidget>(QStringLiteral("TablesPage"))->findChildren<QWidget *>().isEmpty());

    // The character list shown from its bar button shows its first page complete.
    find<QToolButton>(QStringLiteral("SpecialCharactersButton1"))->click();
    EXPECT_NE(find<QToolButton>(QStringLiteral("CloseExtended1Page")), nullptr);
    EXPECT_EQ(find<QToolButton>(QStringLiteral("CloseExtended2Page")), nullptr);
}

TEST_F(CatalogueWindowTest, TopBarsStackInOrderWhicheverAreShown)
{
    QWidget *big = m_window->largeButtonBar();
    QWidget *control = m_window->controlBar();
    QWidget *pure = m_window->pureTagBars();
    QAction *showPure = m_window->action(QStringLiteral("PureTagBars1"));
    ASSERT_NE(showPure, nullptr);
    if (!showPure->isChecked())
        showPure->trigger();
    QTest::qWait(0);
    ASSERT_TRUE(big->isVisible() && control->isVisible() && pure->isVisible());
    EXPECT_LT(big->y(), control->y());
    EXPECT_LT(control->y(), pure->y());
    EXPECT_TRUE(control->isAncestorOf(find<QToolBar>(QStringLiteral("FormattingToolbar"))));

    m_window->action(QStringLiteral("ControlBar1"))->trigger();
    EXPECT_FALSE(control->isVisible());
    EXPECT_TRUE(big->isVisible());
    EXPECT_TRUE(pure->isVisible());
    m_window->action(QStringLiteral("ControlBar1"))->trigger();
    EXPECT_TRUE(control->isVisible());
}
