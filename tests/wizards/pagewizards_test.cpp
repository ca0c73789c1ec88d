// The formatting, page, media and target dialogs, driven on the real main window.
#include "appglobals.h"
#include "colorswatch.h"
#include "datafolder.h"
#include "documentset.h"
#include "mainwindow.h"
#include "messageservice.h"
#include "settingsglobals.h"
#include "setuptools.h"
#include "scintillawidget.h"
#include "subsystems.h"
#include "tdcmemo.h"
#include "textfileformat.h"
#include "tmemosource.h"
#include "toolkitglobals.h"
#include "wizardwindowtest.h"

#include "browserpage.h"
#include "html5page.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace Quorvant;

namespace {

class PageWizardsTest : public WizardWindowTest
{
protected:
    PageWizardsTest()
        : WizardWindowTest(false)
    {
    }
    void TearDown() override
    {
        setAtomicWriteLimitForTests(-1);
        WizardWindowTest::TearDown();
    }
    void prepare(const QString &text, CaretPoint caret = {})
    {
        buffer()->setText(text);
        buffer()->setCaretPoint(caret);
    }
    // Runs the command and gives the dialog it opened.
    QDialog *open(const char *id, const char *dialogName)
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(m_window->commands().run(QLatin1String(id))) << id;
        return shown(dialogName);
    }
    QDialog *openByAction(const char *action, const char *dialogName)
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        // A menu item, or a button of the bars.
        if (QAction *a = menuAction(action))
            a->trigger();
        else if (auto *b = barButton(action))
            b->click();
        else
            ADD_FAILURE() << action;
        return shown(dialogName);
    }
    QDialog *shown(const char *dialogName) const
    {
        auto *d = m_window->findChild<QDialog *>(QLatin1String(dialogName));
        EXPECT_TRUE(d && d->isVisible()) << dialogName;
        return d;
    }
    template<class W>
    static W *field(QWidget *dialog, const char *name)
    {
        W *w = dialog->findChild<W *>(QLatin1String(name));
        EXPECT_TRUE(w) << name;
        return w;
    }
    static void click(QWidget *dialog, const char *button) { field<QAbstractButton>(dialog, button)->click(); }
    static void type(QWidget *dialog, const char *name, const QString &text) { field<QLineEdit>(dialog, name)->setText(text); }
    static void chooseColour(std::optional<QColor> colour)
    {
        TColorSwatch::setChooserForTests([colour](QWidget *, const QColor &) { return colour; });
    }
    static QStringList recordedTexts()
    {
        QStringList texts;
        for (const RecordedDialog &r : MessageService::takeRecorded())
            texts << r.text;
        return texts;
    }
    QByteArray themesFile() const
    {
        QFile f(m_dir.filePath(QStringLiteral("Themes.Dat")));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

};

TEST_F(PageWizardsTest, EveryEntryPointIsAnsweredAndNothingOpensWithoutADocument)
{
    const char *const ids[] = {"FontWizard", "HeadingsPicker", "ListWizard", "RuleWizard", "CommentWizard",
                               "DocumentProperties", "SoundWizard", "PageTransitions", "JavaApplet",
                               "OpenInNewWindow", "InsertTarget", "GotoTarget"};
    for (const char *id : ids)
        EXPECT_TRUE(m_window->commands().has(QLatin1String(id))) << id;
    const char *const actions[] = {"HorizontalRule1", "List1", "Comment1", "JavaApplet1", "ExtendedCharacterSymbols1",
                                   "Font1", "DocumentProperties1", "Margins1", "PageTransitions1", "PropertiesMenu1"};
    for (const char *name : actions) {
        QAction *a = menuAction(name);
        ASSERT_TRUE(a) << name;
        EXPECT_TRUE(a->isEnabled()) << name;
    }

    // The bars' buttons and the pop-up menu open their dialogs.
    const struct { const char *entry; const char *dialog; } opened[] = {
        {"FontsButton", "mnufont"},
        {"SoundButton", "MnuSound"},
        {"PropertiesButton", "MnuProperties"},
        {"PropertiesMenu1", "MnuProperties"},
        {"CreatealistButton1", "MnuListInsert"},
        {"InserttargetButton1", "MnuInsertTarget"},
        {"GototargetButton1", "MnuGotoTarget"},
        {"InsertlinebreakHRButton1", "HRMenu"},
        {"InsertcommentsButton1", "MnuComment"},
        {"OpeninnewwindowButton1", "MnuOpenInNewWindow"},
        {"AddSoundButton1", "MnuSound"},
        {"PageTransitionsButton1", "MnuPageTransitions"},
        {"InsertJavaAppletButton1", "MnuJavaApplet"},
    };
    for (const auto &o : opened) {
        QDialog *d = openByAction(o.entry, o.dialog);
        ASSERT_TRUE(d) << o.entry;
        d->reject();
    }

    // Extended Character Symbols shows and hides the special character bar.
    const bool wasHidden = m_window->characterList()->isHidden();
    m_window->action(QStringLiteral("ExtendedCharacterSymbols1"))->trigger();
    EXPECT_EQ(m_window->characterList()->isHidden(), !wasHidden);
    m_window->action(QStringLiteral("ExtendedCharacterSymbols1"))->trigger();
    EXPECT_EQ(m_window->characterList()->isHidden(), wasHidden);

    m_window->documents()->closeAll();
    ASSERT_EQ(buffer(), nullptr);
    m_window->action(QStringLiteral("Font1"))->trigger();
    m_window->commands().run(QStringLiteral("HeadingsPicker"));
    EXPECT_EQ(m_window->findChild<QDialog *>(QStringLiteral("mnufont")), nullptr);
    EXPECT_TRUE(m_window->isEnabled());
}

TEST_F(PageWizardsTest, FontDialogWritesFacesSizeColourAndStylesAndOpensItsHelp)
{
    prepare(QStringLiteral("word"));
    buffer()->setSelection({{0, 0}, {4, 0}});
    QDialog *d = openByAction("Font1", "mnufont");
    ASSERT_TRUE(d);
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Quorvant: Font Menu"));
    auto *list = field<QListWidget>(d, "FontList");
    ASSERT_GT(list->count(), 0);
    list->setCurrentRow(0);
    click(d, "AddFont3Button");
    const QString family = list->item(0)->text();
    EXPECT_EQ(field<QLineEdit>(d, "Font3Edit")->text(), family);
    type(d, "Font1Edit", QStringLiteral("Verdana"));
    field<QComboBox>(d, "SizeBox")->setCurrentIndex(1);
    field<QComboBox>(d, "PositionBox")->setEditText(QStringLiteral("superscript"));
    field<QCheckBox>(d, "BoldCheck")->setChecked(true);
    field<QCheckBox>(d, "ItalicCheck")->setChecked(true);
    EXPECT_TRUE(field<QWidget>(d, "FontPreview")->font().bold());
    EXPECT_EQ(field<QWidget>(d, "FontPreview")->font().pointSize(), 10);
    chooseColour(QColor(0, 0, 128));
    click(d, "FontColorBox");
    click(d, "HelpMeButton");
    EXPECT_TRUE(m_window->documentationPage()->url().toLocalFile().endsWith(QStringLiteral("FontMenu.Htm")));
    EXPECT_EQ(m_window->tabholder()->currentIndex(), 2);
    click(d, "DoneButton");
    EXPECT_EQ(buffer()->text(), QStringLiteral("<FONT FACE=\"Verdana,%1\" SIZE=\"2\" COLOR=\"Navy\"><SUP><I><B>word</B></I></SUP></FONT>")
                                    .arg(family));
    EXPECT_FALSE(d->isVisible());
}

TEST_F(PageWizardsTest, AColourBoxCancelledBeforeAnyColourWritesNoAttribute)
{
    QDialog *font = openByAction("Font1", "mnufont");
    ASSERT_TRUE(font);
    chooseColour(std::nullopt);
    click(font, "FontColorBox");
    click(font, "DoneButton");
    EXPECT_EQ(buffer()->text(), QStringLiteral("<FONT></FONT>"));

    prepare(QString());
    QDialog *rule = openByAction("HorizontalRule1", "HRMenu");
    ASSERT_TRUE(rule);
    click(rule, "RuleColorBox");
    click(rule, "DoneButton");
    EXPECT_EQ(buffer()->text(), QStringLiteral("<HR>"));
}

TEST_F(PageWizardsTest, RuleDialogFieldsAndThePixelWidth)
{
    QDialog *d = open("RuleWizard", "HRMenu");
    ASSERT_TRUE(d);
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Insert Horizontal Rule"));
    field<QComboBox>(d, "AlignmentBox")->setEditText(QString());
    field<QComboBox>(d, "PercentWidthBox")->setCurrentText(QStringLiteral("40%"));
    field<QRadioButton>(d, "PixelsRadio")->setChecked(true);
    EXPECT_FALSE(field<QWidget>(d, "PercentWidthBox")->isVisible());
    EXPECT_TRUE(field<QWidget>(d, "PixelWidthEdit")->isVisible());
    field<QComboBox>(d, "ThicknessBox")->setCurrentText(QStringLiteral("3"));
    field<QComboBox>(d, "ShadingBox")->setCurrentIndex(1);
    EXPECT_EQ(field<QFrame>(d, "RulePreview")->lineWidth(), 3);
    chooseColour(QColor(0x12, 0x34, 0x56));
    click(d, "RuleColorBox");
    click(d, "DoneButton");
    EXPECT_EQ(buffer()->text(), QStringLiteral("<HR ALIGN=\"\" COLOR=\"#123456\" NOSHADE SIZE=\"3\">"));
}

TEST_F(PageWizardsTest, HeadingsPickerEnablesTheMainWindowAgainHoweverItCloses)
{
    m_window->InsertInLowerCase(true);
    // A choice, its close button, Escape, the window manager, a hide, its
    // deletion, a click elsewhere.
    const std::function<void(QWidget *)> closers[] = {
        [](QWidget *p) { QTest::mouseClick(p->findChild<QPushButton *>(QStringLiteral("Heading1Button")), Qt::LeftButton); },
        [](QWidget *p) { p->findChild<QPushButton *>(QStringLiteral("CloseButton"))->click(); },
        [](QWidget *p) { QTest::keyClick(p, Qt::Key_Escape); },
        [](QWidget *p) { p->close(); },
        [](QWidget *p) { p->hide(); },
        [](QWidget *p) { delete p; },
        [this](QWidget *) { QTest::mouseClick(m_window->windowHandle(), Qt::LeftButton, {}, QPoint(5, 5)); },
    };
    for (const auto &close : closers) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ASSERT_TRUE(m_window->commands().run(QStringLiteral("HeadingsPicker")));
        QWidget *picker = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w->objectName() == QLatin1String("headingsmenu") && w->isVisible())
                picker = w;
        }
        ASSERT_TRUE(picker);
        EXPECT_FALSE(m_window->isEnabled());
        close(picker);
        EXPECT_TRUE(m_window->isEnabled());
    }
    EXPECT_EQ(buffer()->text(), QStringLiteral("<h1></h1>"));
}

TEST_F(PageWizardsTest, ChosenHeadingLeavesTheFocusInTheEditor)
{
    QWidget *editor = m_window->DCMemo1()->widget();
    auto *elsewhere = new QLineEdit(m_window->sidebar());
    elsewhere->show();
    elsewhere->setFocus();
    ASSERT_EQ(m_window->focusWidget(), elsewhere);
    ASSERT_TRUE(m_window->commands().run(QStringLiteral("HeadingsPicker")));
    QWidget *picker = QApplication::activePopupWidget();
    ASSERT_TRUE(picker);
    QTest::mouseClick(picker->findChild<QPushButton *>(QStringLiteral("Heading2Button")), Qt::LeftButton);
    EXPECT_EQ(buffer()->text(), QStringLiteral("<H2></H2>"));
    EXPECT_EQ(m_window->focusWidget(), editor);
}

TEST_F(PageWizardsTest, ListAndCommentDialogs)
{
    QDialog *list = openByAction("List1", "MnuListInsert");
    ASSERT_TRUE(list);
    field<QRadioButton>(list, "ListStyle1")->setChecked(true);
    EXPECT_TRUE(field<QWidget>(list, "NumberStyle")->isVisible());
    EXPECT_FALSE(field<QWidget>(list, "BulletStyle")->isVisible());
    field<QRadioButton>(list, "NumberStyle2")->setChecked(true);
    type(list, "HeaderEdit", QStringLiteral("Steps"));
    field<QPlainTextEdit>(list, "ItemsEdit")->setPlainText(QStringLiteral("one\n\ntwo"));
    click(list, "DoneButton");
    EXPECT_EQ(buffer()->text(), QStringLiteral("<OL TYPE=\"i\">\r\n<LH>Steps</LH>\r\n    <LI>one</LI>\r\n    <LI></LI>\r\n"
                                               "    <LI>two</LI>\r\n</OL>"));

    prepare(QString());
    list = open("ListWizard", "MnuListInsert");
    field<QRadioButton>(list, "ListStyle3")->setChecked(true);
    EXPECT_FALSE(field<QWidget>(list, "HeaderEdit")->isEnabled());
    field<QPlainTextEdit>(list, "ItemsEdit")->setPlainText(QStringLiteral("a\nb"));
    click(list, "DoneButton");
    EXPECT_EQ(buffer()->text(), QStringLiteral("\r\n<LI>a</LI>\r\n<LI>b</LI>"));

    prepare(QStringLiteral("x"));
    QDialog *comment = openByAction("Comment1", "MnuComment");
    ASSERT_TRUE(comment);
    field<QPlainTextEdit>(comment, "CommentEdit")->setPlainText(QStringLiteral("line 1\nline 2"));
    click(comment, "DoneButton");
    // The comment's text is the user's, not a tag: it keeps its letter case.
    EXPECT_EQ(buffer()->text(), QStringLiteral("<!-- line 1\r\nline 2 -->x"));

    prepare(QStringLiteral("x"));
    buffer()->setSelection({{0, 0}, {1, 0}});
    comment = open("CommentWizard", "MnuComment");
    click(comment, "DoneButton");
    EXPECT_EQ(buffer()->text(), QStringLiteral("<!-- x -->"));

    prepare(QStringLiteral("x"));
    comment = open("CommentWizard", "MnuComment");
    field<QPlainTextEdit>(comment, "CommentEdit")->setPlainText(QStringLiteral("gone"));
    click(comment, "CancelButton");
    EXPECT_EQ(buffer()->text(), QStringLiteral("x"));
}

TEST_F(PageWizardsTest, PropertiesDialogReadsThePageAndRewritesTitleAndBody)
{
    prepare(QStringLiteral("<html><head><title>Old</title></head>\r\n<body bgcolor=\"White\" onload=\"go()\"\r\n"
                           " link=\"Blue\">\r\nText\r\n</body>"),
            {2, 3});
    QDialog *d = openByAction("PropertiesMenu1", "MnuProperties");
    ASSERT_TRUE(d);
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Modify Document Properties"));
    EXPECT_EQ(field<QLineEdit>(d, "TitleEdit")->text(), QStringLiteral("Old"));
    EXPECT_EQ(field<QLineEdit>(d, "BgColorEdit")->text(), QStringLiteral("White"));
    EXPECT_EQ(field<QLineEdit>(d, "LinkColorEdit")->text(), QStringLiteral("Blue"));
    EXPECT_EQ(field<QLineEdit>(d, "TextColorEdit")->text(), QString());
    EXPECT_TRUE(field<QCheckBox>(d, "UnderlineCheck")->isChecked());
    EXPECT_EQ(buffer()->caretPoint(), (CaretPoint{2, 3}));
    EXPECT_EQ(field<QWidget>(d, "PropertiesPreview")->palette().color(QPalette::Window), QColor(Qt::white));

    type(d, "TitleEdit", QStringLiteral("New"));
    chooseColour(QColor(255, 0, 0));
    click(d, "TextColorButton");
    EXPECT_EQ(field<QLineEdit>(d, "TextColorEdit")->text(), QStringLiteral("Red"));
    EXPECT_EQ(field<QWidget>(d, "Sample0")->palette().color(QPalette::WindowText), QColor(Qt::red));
    type(d, "VLinkColorEdit", QStringLiteral("#00FF00"));
    EXPECT_EQ(field<TColorSwatch>(d, "VLinkColorButton")->htmlColor(), QStringLiteral("Lime"));
    type(d, "VLinkColorEdit", QStringLiteral("not a colour"));
    EXPECT_FALSE(field<TColorSwatch>(d, "VLinkColorButton")->hasColor());
    type(d, "VLinkColorEdit", QString());
    field<QCheckBox>(d, "UnderlineCheck")->setChecked(false);
    EXPECT_FALSE(field<QWidget>(d, "Sample1")->font().underline());
    click(d, "DoneButton");
    EXPECT_EQ(buffer()->text(),
              QStringLiteral("<html><head><TITLE>New</TITLE></head>\r\n<!-- STYLE SHEET TO TURN OFF UNDERLINES ON LINKS -->\r\n"
                             "  <STYLE TYPE=\"text/css\">\r\n  <!--\r\n       A:LINK {TEXT-DECORATION: NONE;}\r\n"
                             "       A:VISITED {TEXT-DECORATION: NONE;}\r\n  -->  </STYLE>\r\n"
                             "<BODY BGCOLOR=\"White\" TEXT=\"Red\" LINK=\"Blue\" onload=\"go()\">\r\nText\r\n</body>"))
        << qPrintable(buffer()->text());
    EXPECT_TRUE(buffer()->isModified());
}

TEST_F(PageWizardsTest, PropertiesDialogPutsAMissingBodyAfterTheTitle)
{
    prepare(QStringLiteral("<head><title>T</title></head>"));
    QDialog *d = open("DocumentProperties", "MnuProperties");
    ASSERT_TRUE(d);
    type(d, "BgColorEdit", QStringLiteral("Black"));
    click(d, "DoneButton");
    EXPECT_EQ(buffer()->text(), QStringLiteral("<head><TITLE>T</TITLE><BODY BGCOLOR=\"Black\"></head>"));
}

TEST_F(PageWizardsTest, PropertiesBackgroundIsChosenAsALinkAndShown)
{
    const QString picture = m_dir.filePath(QStringLiteral("back.png"));
    QImage image(40, 20, QImage::Format_RGB32);
    image.fill(Qt::blue);
    ASSERT_TRUE(image.save(picture));
    QDialog *d = open("DocumentProperties", "MnuProperties");
    ASSERT_TRUE(d);
    auto *shown = field<QLabel>(d, "BackgroundPreview");
    EXPECT_TRUE(shown->pixmap().isNull());

    MessageService::queueAnswer(DialogAnswer::file(picture));
    click(d, "BrowseBackgroundButton");
    const QList<RecordedDialog> chooser = MessageService::takeRecorded();
    ASSERT_EQ(chooser.size(), 1);
    ASSERT_EQ(chooser[0].filters.size(), 5);
    EXPECT_EQ(chooser[0].filters[0].patterns, QStringLiteral("*.jpg;*.gif;*.png"));
    EXPECT_EQ(field<QLineEdit>(d, "BackgroundEdit")->text(), QStringLiteral("file://") + picture);
    EXPECT_FALSE(shown->pixmap().isNull());

    type(d, "BackgroundEdit", QStringLiteral("missing.png"));
    EXPECT_TRUE(shown->pixmap().isNull());
    type(d, "BackgroundEdit", picture);
    EXPECT_FALSE(shown->pixmap().isNull());
}

TEST_F(PageWizardsTest, ColourThemesAreChosenSavedAndRemovedWithTheirMessages)
{
    QFile f(m_dir.filePath(QStringLiteral("Themes.Dat")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("Night,Black,White,Yellow\r\n\r\n");
    f.close();
    QDialog *d = open("DocumentProperties", "MnuProperties");
    ASSERT_TRUE(d);
    auto *themes = field<QComboBox>(d, "ThemeBox");
    ASSERT_EQ(themes->count(), 1);
    EXPECT_EQ(themes->currentIndex(), -1);
    EXPECT_EQ(field<QLineEdit>(d, "BgColorEdit")->text(), QString());

    click(d, "DeleteThemeButton");
    EXPECT_EQ(recordedTexts(), QStringList{QStringLiteral("You must select a scheme before you can delete it.")});

    themes->setCurrentIndex(0);
    EXPECT_EQ(field<QLineEdit>(d, "BgColorEdit")->text(), QStringLiteral("Black"));
    EXPECT_EQ(field<QLineEdit>(d, "LinkColorEdit")->text(), QStringLiteral("Yellow"));
    EXPECT_EQ(field<QLineEdit>(d, "VLinkColorEdit")->text(), QString());

    // A comma would shift the fields: refused, the file untouched.
    const QByteArray before = themesFile();
    type(d, "ALinkColorEdit", QStringLiteral("rgb(1,2,3)"));
    MessageService::queueAnswer(DialogAnswer::typed(QStringLiteral("Odd")));
    click(d, "SaveThemeButton");
    const QList<RecordedDialog> refused = MessageService::takeRecorded();
    ASSERT_EQ(refused.size(), 2);
    EXPECT_EQ(refused[0].title, QStringLiteral("Theme Name"));
    EXPECT_EQ(refused[0].text, QStringLiteral("Please Enter a name for your new theme:"));
    EXPECT_TRUE(refused[1].text.contains(QStringLiteral("comma")));
    EXPECT_EQ(themesFile(), before);

    type(d, "ALinkColorEdit", QStringLiteral("Lime"));
    MessageService::queueAnswer(DialogAnswer::typed(QString()));
    click(d, "SaveThemeButton");
    EXPECT_EQ(recordedTexts(), (QStringList{QStringLiteral("Please Enter a name for your new theme:"),
                                            QStringLiteral("You must enter a name to save the template as.")}));

    // A failed write says so and never claims success.
    setAtomicWriteLimitForTests(2);
    MessageService::queueAnswer(DialogAnswer::typed(QStringLiteral("Bright")));
    click(d, "SaveThemeButton");
    EXPECT_EQ(recordedTexts().last(), QStringLiteral("Error! Unable to save color scheme..."));
    EXPECT_EQ(themesFile(), before);
    setAtomicWriteLimitForTests(-1);

    MessageService::queueAnswer(DialogAnswer::typed(QStringLiteral("Bright")));
    click(d, "SaveThemeButton");
    EXPECT_EQ(recordedTexts().last(), QStringLiteral("Scheme Successfully Saved!"));
    EXPECT_EQ(themesFile(), QByteArray("Night,Black,White,Yellow\r\n\r\nBright,Black,White,Yellow,,Lime\r\n\r\n"));
    ASSERT_EQ(themes->count(), 2);

    themes->setCurrentIndex(1);
    MessageService::queueAnswer(DialogAnswer::pressed(mbNo));
    click(d, "DeleteThemeButton");
    const QList<RecordedDialog> asked = MessageService::takeRecorded();
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0].text, QStringLiteral("Are you sure you want to remove color scheme \"Bright\"?"));
    EXPECT_EQ(asked[0].icon, MessageIcon::Warning);
    EXPECT_EQ(asked[0].buttons, YesNo);
    EXPECT_EQ(themes->count(), 2);

    setAtomicWriteLimitForTests(2);
    MessageService::queueAnswer(DialogAnswer::pressed(mbYes));
    click(d, "DeleteThemeButton");
    EXPECT_EQ(recordedTexts().last(), QStringLiteral("Error! Unable to delete color scheme..."));
    setAtomicWriteLimitForTests(-1);

    MessageService::queueAnswer(DialogAnswer::pressed(mbYes));
    click(d, "DeleteThemeButton");
    EXPECT_EQ(recordedTexts().last(), QStringLiteral("Scheme Successfully Removed!"));
    EXPECT_EQ(themes->count(), 1);
    EXPECT_FALSE(themesFile().contains("Bright"));
}

TEST_F(PageWizardsTest, MarginsAndTransitions)
{
    QDialog *margins = openByAction("Margins1", "MnuMargins");
    ASSERT_TRUE(margins);
    EXPECT_EQ(margins->windowTitle(), QStringLiteral("Change Page Margins"));
    click(margins, "DoneButton");
    EXPECT_EQ(buffer()->text(), QStringLiteral("<BODY LEFTMARGIN=\"0\" TOPMARGIN=\"0\" RIGHTMARGIN=\"0\" BOTTOMMARGIN=\"0\">"));
    prepare(QString());
    margins = open("PageMargins", "MnuMargins");
    field<QSpinBox>(margins, "TopBox")->setValue(-5);
    field<QSpinBox>(margins, "RightBox")->setValue(100000);
    // Enter in a field is Done.
    QTest::keyClick(field<QSpinBox>(margins, "LeftBox"), Qt::Key_Return);
    EXPECT_EQ(buffer()->text(), QStringLiteral("<BODY LEFTMARGIN=\"0\" TOPMARGIN=\"-5\" RIGHTMARGIN=\"100000\" BOTTOMMARGIN=\"0\">"));

    prepare(QString());
    QDialog *t = openByAction("PageTransitions1", "MnuPageTransitions");
    ASSERT_TRUE(t);
    click(t, "DoneButton");  // nothing selected
    t = open("PageTransitions", "MnuPageTransitions");
    field<QListWidget>(t, "EffectList")->setCurrentRow(0);  // No Effect
    click(t, "DoneButton");
    EXPECT_EQ(buffer()->text(), QString());
    t = open("PageTransitions", "MnuPageTransitions");
    field<QComboBox>(t, "EventBox")->setCurrentIndex(0);
    field<QSpinBox>(t, "LengthBox")->setValue(3);
    field<QListWidget>(t, "EffectList")->setCurrentRow(4);
    click(t, "DoneButton");
    EXPECT_EQ(buffer()->text(), QStringLiteral("<META HTTP-EQUIV=\"Page-Enter\" CONTENT=\"revealTrans(Duration=3.0,Transition=2)\">"));
}

TEST_F(PageWizardsTest, SoundRemembersItsFolderAndWritesLinks)
{
    QDialog *d = open("SoundWizard", "MnuSound");
    ASSERT_TRUE(d);
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Insert Sound."));
    EXPECT_EQ(field<QPushButton>(d, "HelpMeButton")->text(), QStringLiteral("Help"));
    const QString file = m_dir.filePath(QStringLiteral("music/a b.wav"));
    MessageService::queueAnswer(DialogAnswer::file(file));
    click(d, "BrowseButton");
    const QList<RecordedDialog> chooser = MessageService::takeRecorded();
    ASSERT_EQ(chooser.size(), 1);
    EXPECT_EQ(chooser[0].directory, QDir::homePath());
    ASSERT_EQ(chooser[0].filters.size(), 1);
    EXPECT_EQ(chooser[0].filters[0].patterns, QStringLiteral("*.wav;*.mid"));
    EXPECT_EQ(gDir.SoundFiles, m_dir.filePath(QStringLiteral("music")));
    EXPECT_EQ(field<QLineEdit>(d, "SoundFileEdit")->text(), file);
    click(d, "DoneButton");
    EXPECT_EQ(buffer()->text(), QStringLiteral("<EMBED SRC=\"file://%1\" HIDDEN=\"True\">\r\n<BGSOUND SRC=\"file://%1\">").arg(file));

    prepare(QString());
    d = open("SoundWizard", "MnuSound");
    MessageService::queueAnswer(DialogAnswer::cancelled());
    click(d, "BrowseButton");
    EXPECT_EQ(MessageService::takeRecorded().value(0).directory, m_dir.filePath(QStringLiteral("music")));
    click(d, "DoneButton");
    EXPECT_EQ(buffer()->text(), QStringLiteral("<EMBED SRC=\"\" HIDDEN=\"True\">\r\n<BGSOUND SRC=\"\">"));
}

TEST_F(PageWizardsTest, AppletNewWindowAndTargets)
{
    QDialog *applet = openByAction("JavaApplet1", "MnuJavaApplet");
    ASSERT_TRUE(applet);
    type(applet, "CodebaseEdit", QStringLiteral("classes"));
    type(applet, "NameEdit", QStringLiteral("menu"));
    type(applet, "WidthEdit", QStringLiteral("200"));
    field<QCheckBox>(applet, "MayScriptCheck")->setChecked(true);
    click(applet, "DoneButton");
    EXPECT_EQ(buffer()->text(), QStringLiteral("<APPLET CODE=\"\" WIDTH=\"200\" HEIGHT=\"\" CODEBASE=\"classes\" NAME=\"menu\" MAYSCRIPT>"));

    prepare(QString());
    QDialog *win = open("OpenInNewWindow", "MnuOpenInNewWindow");
    ASSERT_TRUE(win);
    type(win, "UrlEdit", QStringLiteral("news.htm"));
    type(win, "TitleEdit", QStringLiteral("News"));
    type(win, "WidthEdit", QStringLiteral("400"));
    field<QCheckBox>(win, "scrollbarsCheck")->setChecked(true);
    field<QCheckBox>(win, "resizableCheck")->setChecked(true);
    click(win, "DoneButton");
    EXPECT_EQ(buffer()->line(1), QStringLiteral("window.open('news.htm', 'News', 'scrollbars,resizable,width=400')"));

    prepare(QString());
    QDialog *target = open("InsertTarget", "MnuInsertTarget");
    ASSERT_TRUE(target);
    EXPECT_EQ(field<QComboBox>(target, "TargetBox")->currentText(), QString());
    field<QComboBox>(target, "TargetBox")->setCurrentIndex(0);
    click(target, "DoneButton");
    EXPECT_EQ(buffer()->text(), QStringLiteral("<A NAME=\"top\">"));

    prepare(QStringLiteral("<a name=\"one\"><a name=\"two\">\r\n<A NAME=\"Top\">\r\n"), {0, 2});
    QDialog *go = open("GotoTarget", "MnuGotoTarget");
    ASSERT_TRUE(go);
    auto *list = field<QListWidget>(go, "TargetList");
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("one"));
    list->setCurrentRow(1);
    EXPECT_EQ(field<QLineEdit>(go, "TargetEdit")->text(), QStringLiteral("Top"));
    click(go, "DoneButton");
    EXPECT_EQ(buffer()->line(2), QStringLiteral("<A HREF=\"#Top\"></A>"));
}

// The lists take a current row when they get the focus as their dialog
// opens; that is no choice: Done with nothing chosen changes nothing.
TEST_F(PageWizardsTest, AListFocusedAsItsDialogOpensChoosesNothing)
{
    prepare(QStringLiteral("<a name=\"first\">\r\n<a name=\"second\">\r\n"), {0, 2});
    QDialog *go = open("GotoTarget", "MnuGotoTarget");
    ASSERT_TRUE(go);
    ASSERT_TRUE(QTest::qWaitForWindowActive(go));
    auto *targets = field<QListWidget>(go, "TargetList");
    // The dialog opens on the target field; the user moves to the list.
    EXPECT_TRUE(field<QLineEdit>(go, "TargetEdit")->hasFocus());
    targets->setFocus();
    ASSERT_TRUE(targets->hasFocus());
    EXPECT_EQ(targets->currentRow(), 0);  // what the focus gave it
    EXPECT_EQ(field<QLineEdit>(go, "TargetEdit")->text(), QString());
    click(go, "DoneButton");
    EXPECT_EQ(buffer()->text(), QStringLiteral("<a name=\"first\">\r\n<a name=\"second\">\r\n"));

    // Chosen by the keys, an entry is copied.
    go = open("GotoTarget", "MnuGotoTarget");
    ASSERT_TRUE(QTest::qWaitForWindowActive(go));
    field<QListWidget>(go, "TargetList")->setFocus();
    QTest::keyClick(field<QListWidget>(go, "TargetList"), Qt::Key_Down);
    EXPECT_EQ(field<QLineEdit>(go, "TargetEdit")->text(), QStringLiteral("second"));
    go->reject();

    QDialog *font = open("FontWizard", "mnufont");
    ASSERT_TRUE(font);
    ASSERT_TRUE(QTest::qWaitForWindowActive(font));
    auto *fonts = field<QListWidget>(font, "FontList");
    // The dialog opens on the first font field; the user moves to the list.
    EXPECT_TRUE(field<QLineEdit>(font, "Font1Edit")->hasFocus());
    fonts->setFocus();
    ASSERT_TRUE(fonts->hasFocus());
    ASSERT_GT(fonts->count(), 0);
    click(font, "AddFont1Button");
    EXPECT_EQ(field<QLineEdit>(font, "Font1Edit")->text(), QString());
    click(font, "DoneButton");
    EXPECT_EQ(buffer()->text(), QStringLiteral("<a name=\"first\">\r\n<a name=\"second\">\r\n<FONT></FONT>"));
}

// Garbage in Themes.Dat: its lines are skipped and told once in the status
// bar; a theme name of 5,000 characters is cut in the list (the full name in
// its tool tip, and still loaded) and the dialog stays within the screen.
TEST_F(PageWizardsTest, DamagedThemesFileIsReportedAndLongNamesKeepTheDialogOnScreen)
{
    const QString longName = QStringLiteral("Garbage").repeated(714).left(5000);
    QFile f(m_dir.filePath(QStringLiteral("Themes.Dat")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    const char garbage[] = "\x01\x02\x7f\x00\xfe,\x03";
    f.write("Night,Black,White\r\n");
    f.write(garbage, sizeof garbage - 1);
    f.write("\r\n");
    f.write(longName.toUtf8() + ",Navy,Yellow\r\nA,1,2,3,4,5,6,7\r\n");
    f.close();
    m_window->StatusBar1()->clearMessage();

    QDialog *d = open("DocumentProperties", "MnuProperties");
    ASSERT_TRUE(d);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(d));
    const QRect screen = d->screen()->availableGeometry();
    EXPECT_LE(d->frameGeometry().width(), screen.width());
    EXPECT_TRUE(screen.contains(d->frameGeometry())) << d->frameGeometry().width();
    for (const char *name : {"DoneButton", "CancelButton"}) {
        auto *button = field<QWidget>(d, name);
        EXPECT_TRUE(screen.contains(QRect(button->mapToGlobal(QPoint(0, 0)), button->size()))) << name;
    }
    const QString report = m_window->StatusBar1()->currentMessage();
    EXPECT_EQ(report, QDir::toNativeSeparators(m_dir.filePath(QStringLiteral("Themes.Dat")))
                          + QStringLiteral(": lines 2 and 4 are not valid entries and were skipped."));

    auto *themes = field<QComboBox>(d, "ThemeBox");
    ASSERT_EQ(themes->count(), 2);
    EXPECT_LT(themes->itemText(1).size(), 100);
    EXPECT_EQ(themes->itemData(1, Qt::ToolTipRole).toString(), longName);

    themes->setCurrentIndex(1);
    EXPECT_EQ(field<QLineEdit>(d, "BgColorEdit")->text(), QStringLiteral("Navy"));
    EXPECT_EQ(field<QLineEdit>(d, "TextColorEdit")->text(), QStringLiteral("Yellow"));
    // Asked about by the name the list shows, removed by its full name.
    MessageService::queueAnswer(DialogAnswer::pressed(mbYes));
    click(d, "DeleteThemeButton");
    const QList<RecordedDialog> asked = MessageService::takeRecorded();
    ASSERT_EQ(asked.size(), 2);
    EXPECT_LT(asked[0].text.size(), 200);
    EXPECT_EQ(asked[1].text, QStringLiteral("Scheme Successfully Removed!"));
    EXPECT_FALSE(themesFile().contains(longName.toUtf8()));
    EXPECT_TRUE(themesFile().contains("\x01\x02\x7f"));
    EXPECT_EQ(themes->count(), 1);
}

} // namespace

TEST_F(PageWizardsTest, InHtml5ModeTheDialogsAndFixedInsertionsWriteHtml5AndTransitionsAreRefused)
{
    ASSERT_TRUE(gSetupTools->SaveWizardMarkup(MarkupStyle::Html5));
    MessageService::takeRecorded();

    prepare(QStringLiteral("word"));
    buffer()->setSelection({{0, 0}, {4, 0}});
    QDialog *font = openByAction("Font1", "mnufont");
    ASSERT_TRUE(font);
    type(font, "Font1Edit", QStringLiteral("Verdana"));
    field<QComboBox>(font, "SizeBox")->setCurrentIndex(1);
    field<QComboBox>(font, "PositionBox")->setEditText(QStringLiteral("superscript"));
    field<QCheckBox>(font, "BoldCheck")->setChecked(true);
    field<QCheckBox>(font, "ItalicCheck")->setChecked(true);
    chooseColour(QColor(0, 0, 128));
    click(font, "FontColorBox");
    click(font, "DoneButton");
    EXPECT_EQ(buffer()->text(), QStringLiteral("<SPAN STYLE=\"font-family: 'Verdana'; font-size: 10pt; color: Navy\">"
                                               "<SUP><EM><STRONG>word</STRONG></EM></SUP></SPAN>"));

    // Margins go into the HEAD; the page keeps its one BODY.
    const QString page = QStringLiteral("<html><head>\r\n<title>T</title>\r\n</head>\r\n<body bgcolor=\"red\">\r\n</body></html>");
    prepare(page, {0, 4});
    QDialog *margins = openByAction("Margins1", "MnuMargins");
    ASSERT_TRUE(margins);
    field<QSpinBox>(margins, "TopBox")->setValue(4);
    click(margins, "DoneButton");
    EXPECT_EQ(buffer()->text(), QStringLiteral("<html><head>\r\n<title>T</title>\r\n<style id=\"page-margins\">\r\n"
                                               "  body { margin: 4px 0px 0px 0px; }\r\n</style>\r\n</head>\r\n"
                                               "<body bgcolor=\"red\">\r\n</body></html>"));

    // Document properties read the BODY's colours and move them into CSS.
    QDialog *properties = openByAction("DocumentProperties1", "MnuProperties");
    ASSERT_TRUE(properties);
    click(properties, "DoneButton");
    const QString text = buffer()->text();
    EXPECT_EQ(text.count(QStringLiteral("<body"), Qt::CaseInsensitive), 1) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("\r\n<body>\r\n"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("<style id=\"page-properties\">\r\n  body { background-color: red; }\r\n</style>\r\n</head>")))
        << text.toStdString();

    prepare(QString());
    QDialog *transitions = openByAction("PageTransitions1", "MnuPageTransitions");
    ASSERT_TRUE(transitions);
    field<QListWidget>(transitions, "EffectList")->setCurrentRow(1);  // Blend
    click(transitions, "DoneButton");
    EXPECT_EQ(buffer()->text(), QString());
    const QList<RecordedDialog> told = MessageService::takeRecorded();
    ASSERT_EQ(told.size(), 1);
    EXPECT_EQ(told.first().text, QLatin1String(NoHtml5TransitionsMessage));

    // A fixed insertion of the Tags menu.
    prepare(QStringLiteral("word"));
    buffer()->setSelection({{0, 0}, {4, 0}});
    menuAction("BoldTextB1")->trigger();
    EXPECT_EQ(buffer()->text(), QStringLiteral("<STRONG>word</STRONG>"));
    prepare(QString());
    menuAction("FontColorFONT1")->trigger();
    // The end text starts inside the value, so it keeps its case (as the classic one does).
    EXPECT_EQ(buffer()->text(), QStringLiteral("<SPAN STYLE=\"color: \"></span>"));
}
