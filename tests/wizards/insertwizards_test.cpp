// The table, image and link wizards on the real main window: opened from
// their menus and buttons, driven offscreen, checked by the document text.
#include "colorswatch.h"
#include "lazypage.h"
#include "tlocalfilespage.h"
#include "tmnuanchorlink.h"
#include "tmnuemail.h"
#include "tmnuimages.h"
#include "tmnutables.h"
#include "tquicktablesmenu.h"
#include "wizardwindowtest.h"

#include "subsystems.h"
#include "appglobals.h"
#include "browserpage.h"
#include "datafolder.h"
#include "documentset.h"
#include "mainwindow.h"
#include "messageservice.h"
#include "settingsglobals.h"
#include "setuptools.h"
#include "tmemosource.h"
#include "toolkitglobals.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

#include <gtest/gtest.h>

using namespace Quorvant;

namespace {

class InsertWizardsTest : public WizardWindowTest
{
protected:
    InsertWizardsTest()
        : WizardWindowTest(true)
    {
    }

    // Runs trigger, which opens a modal dialog of type Dialog, and act on
    // it while it is up; a dialog act leaves open is cancelled afterwards.
    // Returns whether such a dialog came up.
    template <class Dialog>
    bool withDialog(const std::function<void()> &trigger, const std::function<void(Dialog &)> &act)
    {
        bool seen = false;
        QTimer::singleShot(0, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            if (auto *d = qobject_cast<Dialog *>(modal)) {
                seen = true;
                act(*d);
            }
            if (modal && modal->isVisible())
                static_cast<QDialog *>(modal)->reject();
        });
        trigger();
        return seen;
    }

    template <class T>
    static T *child(QWidget *parent, const char *name)
    {
        T *w = parent->findChild<T *>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    static void type(QWidget *parent, const char *name, const QString &text)
    {
        if (auto *edit = child<QLineEdit>(parent, name))
            QTest::keyClicks(edit, text);
    }
    static void click(QWidget *parent, const char *name)
    {
        if (auto *button = child<QAbstractButton>(parent, name))
            button->click();
    }
    QString writePicture(const QString &name, int w, int h)
    {
        const QString path = m_dir.filePath(name);
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(Qt::blue);
        EXPECT_TRUE(image.save(path, name.endsWith(QStringLiteral(".gif"), Qt::CaseInsensitive) ? "PNG" : nullptr));
        return path;
    }
    QString shownHelp() const { return m_window->documentationPage()->url().toLocalFile(); }

};

// --- custom table -----------------------------------------------------------

TEST_F(InsertWizardsTest, EveryTableEntryOpensTheTableDialog)
{
    const std::function<void()> triggers[] = {
        [this] { m_window->action(QStringLiteral("Tables1"))->trigger(); },
        [this] { menuAction("TableCreator1")->trigger(); },
        [this] {
            QAbstractButton *b = barButton("CreatenewtableButton1");
            ASSERT_NE(b, nullptr);
            b->click();
        },
        [this] { child<QToolButton>(m_window.get(), "Image25")->click(); },
    };
    for (const auto &trigger : triggers) {
        EXPECT_TRUE(withDialog<Tmnutables>(trigger, [](Tmnutables &d) {
            EXPECT_EQ(d.windowTitle(), QStringLiteral("Insert A Custom Table."));
            EXPECT_TRUE(d.windowFlags() & Qt::WindowStaysOnTopHint);
        }));
    }
    EXPECT_EQ(buffer()->text(), QString());
}

TEST_F(InsertWizardsTest, DefaultTableIsOneCellAndOneUndoStep)
{
    buffer()->setText(QStringLiteral("before"));
    buffer()->setCaretPoint({6, 0});
    EXPECT_TRUE(withDialog<Tmnutables>([this] { m_window->action(QStringLiteral("Tables1"))->trigger(); },
                                       [](Tmnutables &d) { click(&d, "DoneButton"); }));
    EXPECT_EQ(buffer()->text(), QStringLiteral("before<table>\r\n  <tr>\r\n      <td></td>\r\n  </tr>\r\n</table>"));
    EXPECT_TRUE(buffer()->isModified());
    buffer()->undo();
    EXPECT_EQ(buffer()->text(), QStringLiteral("before"));

    // Cancel writes nothing.
    EXPECT_TRUE(withDialog<Tmnutables>([this] { m_window->action(QStringLiteral("Tables1"))->trigger(); },
                                       [](Tmnutables &d) { click(&d, "CancelButton"); }));
    EXPECT_EQ(buffer()->text(), QStringLiteral("before"));
}

TEST_F(InsertWizardsTest, WorkedTableExampleTypedIntoTheDialog)
{
    m_window->InsertInLowerCase(false);
    Tmnutables d(*m_window, m_window.get());
    d.show();
    child<QSpinBox>(&d, "ColumnsEdit")->setValue(2);
    EXPECT_EQ(child<QTableWidget>(&d, "StringGrid1")->columnCount(), 2);
    type(&d, "TableWidthEdit", QStringLiteral("80"));
    click(&d, "PercentCheck");
    type(&d, "CellPaddingEdit", QStringLiteral("4"));
    type(&d, "CaptionEdit", QStringLiteral("Totals"));
    child<QComboBox>(&d, "CaptionAlignmentBox")->setCurrentText(QStringLiteral("TOP"));
    child<QComboBox>(&d, "BorderWidthBox")->setCurrentText(QStringLiteral("1"));
    d.StringGrid1Click(0, 0);
    QTest::keyClicks(child<QPlainTextEdit>(&d, "CellTextMemo"), QStringLiteral("Name"));
    type(&d, "CellWidthEdit", QStringLiteral("30"));
    d.StringGrid1Click(1, 0);
    EXPECT_EQ(child<QLabel>(&d, "CellPositionLabel")->text(), QStringLiteral("1,0"));
    QTest::keyClicks(child<QPlainTextEdit>(&d, "CellTextMemo"), QStringLiteral("Sum"));
    EXPECT_EQ(child<QTableWidget>(&d, "StringGrid1")->item(0, 1)->text(), QStringLiteral("Sum"));
    click(&d, "DoneButton");
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(buffer()->lines(), QStringList({QStringLiteral("<TABLE WIDTH=\"80%\" CELLPADDING=\"4\" BORDER=\"1\">"),
                                              QStringLiteral("  <CAPTION ALIGN=\"TOP\">Totals</CAPTION>"),
                                              QStringLiteral("  <TR>"), QStringLiteral("      <TD WIDTH=\"30\">Name</TD>"),
                                              QStringLiteral("      <TD>Sum</TD>"), QStringLiteral("  </TR>"),
                                              QStringLiteral("</TABLE>")}));
}

TEST_F(InsertWizardsTest, CellOptionsStayWithTheirCellsAndOnlyUserEditsStore)
{
    TColorSwatch::setChooserForTests([](QWidget *, const QColor &) { return std::optional<QColor>(QColor(0x12, 0x34, 0x56)); });
    Tmnutables d(*m_window, m_window.get());
    d.show();
    child<QSpinBox>(&d, "RowsEdit")->setValue(2);
    child<QSpinBox>(&d, "ColumnsEdit")->setValue(2);
    d.StringGrid1Click(0, 0);
    type(&d, "RowSpanEdit", QStringLiteral("2"));
    click(&d, "CellBgColor");
    QTest::keyClicks(child<QPlainTextEdit>(&d, "CellTextMemo"), QStringLiteral("a < b & \"c\""));
    QTest::keyClick(child<QPlainTextEdit>(&d, "CellTextMemo"), Qt::Key_Return);
    QTest::keyClicks(child<QPlainTextEdit>(&d, "CellTextMemo"), QStringLiteral("second"));
    // Walking over the cells without editing changes no record.
    d.StringGrid1Click(1, 0);
    EXPECT_EQ(child<QLineEdit>(&d, "RowSpanEdit")->text(), QString());
    EXPECT_FALSE(child<TColorSwatch>(&d, "CellBgColor")->hasColor());
    d.StringGrid1Click(0, 1);
    d.StringGrid1Click(0, 0);
    EXPECT_EQ(child<QLineEdit>(&d, "RowSpanEdit")->text(), QStringLiteral("2"));
    EXPECT_EQ(child<TColorSwatch>(&d, "CellBgColor")->htmlColor(), QStringLiteral("#123456"));
    // Editing the shown text again keeps its line break as it was.
    QTest::keyClick(child<QPlainTextEdit>(&d, "CellTextMemo"), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(child<QPlainTextEdit>(&d, "CellTextMemo"), QStringLiteral("!"));
    click(&d, "DoneButton");
    EXPECT_EQ(buffer()->lines(), QStringList({QStringLiteral("<table>"), QStringLiteral("  <tr>"),
                                              QStringLiteral("      <td rowspan=\"2\" bgcolor=\"#123456\">a < b & \"c\""),
                                              QStringLiteral("second!</td>"), QStringLiteral("      <td></td>"),
                                              QStringLiteral("  </tr>"), QStringLiteral("  <tr>"),
                                              // the first cell's place is taken by the cell above
                                              QStringLiteral("      <td></td>"),
                                              QStringLiteral("  </tr>"), QStringLiteral("</table>")}));
}

TEST_F(InsertWizardsTest, ShrinkingTheGridKeepsTheRemainingCells)
{
    Tmnutables d(*m_window, m_window.get());
    d.show();
    child<QSpinBox>(&d, "RowsEdit")->setValue(2);
    child<QSpinBox>(&d, "ColumnsEdit")->setValue(2);
    d.StringGrid1Click(0, 0);
    QTest::keyClicks(child<QPlainTextEdit>(&d, "CellTextMemo"), QStringLiteral("kept"));
    d.StringGrid1Click(1, 1);
    QTest::keyClicks(child<QPlainTextEdit>(&d, "CellTextMemo"), QStringLiteral("dropped"));
    // The selected cell goes with its row: the selection moves into the grid.
    child<QSpinBox>(&d, "RowsEdit")->setValue(1);
    EXPECT_EQ(child<QLabel>(&d, "CellPositionLabel")->text(), QStringLiteral("1,0"));
    type(&d, "CellHeightEdit", QStringLiteral("9"));
    child<QSpinBox>(&d, "RowsEdit")->setValue(2);
    // A count typed away to nothing counts as 1.
    auto *columns = child<QSpinBox>(&d, "ColumnsEdit");
    QApplication::setActiveWindow(&d);
    columns->setFocus();
    QTest::keyClick(columns, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(columns, Qt::Key_Backspace);
    QTest::keyClick(columns, Qt::Key_Tab);  // Return would be Done, the default button
    EXPECT_EQ(columns->value(), 1);
    columns->setValue(2);
    click(&d, "DoneButton");
    EXPECT_EQ(buffer()->lines(), QStringList({QStringLiteral("<table>"), QStringLiteral("  <tr>"),
                                              QStringLiteral("      <td>kept</td>"), QStringLiteral("      <td></td>"),
                                              QStringLiteral("  </tr>"), QStringLiteral("  <tr>"),
                                              QStringLiteral("      <td></td>"), QStringLiteral("      <td></td>"),
                                              QStringLiteral("  </tr>"), QStringLiteral("</table>")}));
}

TEST_F(InsertWizardsTest, TableColourBoxesWriteOnlyChosenColours)
{
    Tmnutables d(*m_window, m_window.get());
    d.show();
    // A cancelled chooser leaves the box checked and the swatch hidden, and
    // writes no attribute.
    TColorSwatch::setChooserForTests([](QWidget *, const QColor &) { return std::optional<QColor>(); });
    click(&d, "BackgroundColorCheck");
    EXPECT_TRUE(child<QCheckBox>(&d, "BackgroundColorCheck")->isChecked());
    EXPECT_TRUE(child<TColorSwatch>(&d, "BackgroundColorSwatch")->isHidden());
    // The light and dark swatches only show; never clicked, they write nothing.
    click(&d, "LightDarkBorderCheck");
    EXPECT_FALSE(child<TColorSwatch>(&d, "LightBorderSwatch")->isHidden());
    TColorSwatch::setChooserForTests([](QWidget *, const QColor &) { return std::optional<QColor>(QColor(Qt::red)); });
    click(&d, "BorderColorCheck");
    EXPECT_FALSE(child<TColorSwatch>(&d, "BorderColorSwatch")->isHidden());
    click(&d, "DarkBorderSwatch");

    // The background image check box asks for a file, linked from the document.
    gCurrentFilePath = m_dir.filePath(QStringLiteral("site/index.htm"));
    MessageService::queueAnswer(DialogAnswer::file(m_dir.filePath(QStringLiteral("site/img/back.gif"))));
    click(&d, "BackgroundImageCheck");
    EXPECT_EQ(child<QLineEdit>(&d, "BackgroundImageEdit")->text(), QStringLiteral("img/back.gif"));
    const QList<RecordedDialog> boxes = MessageService::takeRecorded();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes.at(0).filters.at(4).name, QStringLiteral("Jped Files"));

    click(&d, "DoneButton");
    EXPECT_EQ(buffer()->line(0),
              QStringLiteral("<table bordercolor=\"Red\" background=\"img/back.gif\" bordercolordark=\"Red\">"));
}

TEST_F(InsertWizardsTest, TableHelpOpensItsTopic)
{
    Tmnutables d(*m_window, m_window.get());
    click(&d, "HelpMeButton");
    EXPECT_TRUE(shownHelp().endsWith(QStringLiteral("TablesMenu.Htm"), Qt::CaseInsensitive)) << shownHelp().toStdString();
}

// --- quick table picker -------------------------------------------------------

Tquicktablesmenu *openPicker(TForm1 &window)
{
    // The button is on the big button bar's "Tables" page, shown first.
    auto *pages = window.findChild<QTabWidget *>(QStringLiteral("LargeButtonPages"));
    pages->setCurrentWidget(pages->findChild<QWidget *>(QStringLiteral("TablesPage")));
    window.findChild<QToolButton *>(QStringLiteral("ToolbarButton9770"))->click();
    return qobject_cast<Tquicktablesmenu *>(QApplication::activePopupWidget());
}

TEST_F(InsertWizardsTest, QuickPickerPreviewsAndWritesTheChosenSize)
{
    Tquicktablesmenu *picker = openPicker(*m_window);
    ASSERT_NE(picker, nullptr);
    EXPECT_FALSE(m_window->isEnabled());
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(picker->square(3, 2), &enter);
    EXPECT_EQ(picker->sizeLabel()->text(), QStringLiteral("3 Col(s) x 2 Row(s)"));
    int lit = 0;
    for (int r = 1; r <= 5; ++r)
        for (int c = 1; c <= 5; ++c)
            lit += picker->square(c, r)->property("lit").toBool() ? 1 : 0;
    EXPECT_EQ(lit, 6);
    EXPECT_TRUE(picker->square(3, 2)->property("lit").toBool());
    EXPECT_FALSE(picker->square(4, 2)->property("lit").toBool());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(picker->square(3, 2), &leave);
    EXPECT_FALSE(picker->square(1, 1)->property("lit").toBool());
    EXPECT_EQ(picker->sizeLabel()->text(), QStringLiteral("3 Col(s) x 2 Row(s)"));

    QPointer<Tquicktablesmenu> alive(picker);
    QTest::mouseClick(picker->square(2, 1), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive.isNull());
    EXPECT_TRUE(m_window->isEnabled());
    EXPECT_EQ(buffer()->lines(), QStringList({QStringLiteral("<table>"), QStringLiteral("<tr>"),
                                              QStringLiteral("       <td></td>"), QStringLiteral("       <td></td>"),
                                              QStringLiteral("</tr>"), QStringLiteral("</table>")}));

    picker = openPicker(*m_window);
    ASSERT_NE(picker, nullptr);
    buffer()->setText(QString());
    QTest::mouseClick(picker->square(5, 5), Qt::LeftButton);
    EXPECT_EQ(buffer()->text().count(QStringLiteral("<td></td>")), 25);
    EXPECT_EQ(buffer()->text().count(QStringLiteral("<tr>")), 5);
    EXPECT_TRUE(m_window->isEnabled());
}

TEST_F(InsertWizardsTest, QuickPickerEnablesTheWindowHoweverItCloses)
{
    const struct { const char *how; std::function<void(Tquicktablesmenu *)> close; } ways[] = {
        {"close button", [](Tquicktablesmenu *p) { p->findChild<QToolButton *>(QStringLiteral("CloseButton"))->click(); }},
        {"Escape", [](Tquicktablesmenu *p) { QTest::keyClick(p, Qt::Key_Escape); }},
        {"window manager", [](Tquicktablesmenu *p) { p->close(); }},
        {"focus lost", [](Tquicktablesmenu *p) { p->hide(); }},
        {"destroyed", [](Tquicktablesmenu *p) { delete p; }},
    };
    for (const auto &way : ways) {
        Tquicktablesmenu *picker = openPicker(*m_window);
        ASSERT_NE(picker, nullptr) << way.how;
        EXPECT_FALSE(m_window->isEnabled()) << way.how;
        QPointer<Tquicktablesmenu> alive(picker);
        way.close(picker);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(m_window->isEnabled()) << way.how;
        EXPECT_TRUE(alive.isNull()) << way.how;
    }
    EXPECT_EQ(buffer()->text(), QString());
}

// --- image dialog -------------------------------------------------------------

TEST_F(InsertWizardsTest, ImageEntriesOpenTheImageDialog)
{
    const std::function<void()> triggers[] = {
        [this] { m_window->action(QStringLiteral("Image1"))->trigger(); },
        [this] { child<QToolButton>(m_window.get(), "ImagesButton")->click(); },
    };
    for (const auto &trigger : triggers) {
        EXPECT_TRUE(withDialog<Tmnuimages>(trigger, [](Tmnuimages &d) {
            EXPECT_EQ(d.windowTitle(), QStringLiteral("Insert Image."));
        }));
    }
}

TEST_F(InsertWizardsTest, BrowsedImageIsPreviewedMeasuredAndWritten)
{
    const QString logo = writePicture(QStringLiteral("logo.png"), 88, 31);
    Tmnuimages d(*m_window, m_window.get());
    d.show();
    MessageService::queueAnswer(DialogAnswer::file(logo));
    click(&d, "BrowseImageButton");
    const QList<RecordedDialog> boxes = MessageService::takeRecorded();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes.at(0).directory, QDir::homePath());  // nothing remembered yet
    EXPECT_EQ(gDir.HighResImages, m_dir.path());
    EXPECT_EQ(child<QLineEdit>(&d, "WidthEdit")->text(), QStringLiteral("88"));
    EXPECT_EQ(child<QLineEdit>(&d, "HeightEdit")->text(), QStringLiteral("31"));
    EXPECT_EQ(child<QLabel>(&d, "MeasuredSizeLabel")->text(), QStringLiteral("88 x 31"));
    EXPECT_FALSE(child<QLabel>(&d, "ImagePreview")->pixmap().isNull());
    type(&d, "AlternateTextEdit", QStringLiteral("Logo"));
    child<QLineEdit>(&d, "BorderEdit")->setText(QStringLiteral("wide"));
    type(&d, "UseMapEdit", QStringLiteral("nav"));
    gCurrentFilePath = m_dir.filePath(QStringLiteral("index.htm"));
    click(&d, "DoneButton");
    EXPECT_EQ(buffer()->text(),
              QStringLiteral("<img src=\"logo.png\" width=\"88\" height=\"31\" border=\"0\" alt=\"Logo\" usemap=\"#nav\">"));
}

TEST_F(InsertWizardsTest, HugePictureIsMeasuredButNotDecodedAndLowResolutionHasItsOwnFolder)
{
    const QString huge = m_dir.filePath(QStringLiteral("huge.png"));
    QImage mono(20000, 20000, QImage::Format_Mono);
    mono.fill(0);
    ASSERT_TRUE(mono.save(huge));
    mono = QImage();
    Tmnuimages d(*m_window, m_window.get());
    d.pickImage(huge);
    EXPECT_EQ(child<QLineEdit>(&d, "WidthEdit")->text(), QStringLiteral("20000"));
    EXPECT_EQ(child<QLabel>(&d, "MeasuredSizeLabel")->text(), QStringLiteral("20000 x 20000"));
    EXPECT_TRUE(child<QLabel>(&d, "ImagePreview")->pixmap().isNull());

    gDir.LowResImages = m_dir.path();
    const QString low = writePicture(QStringLiteral("low.png"), 20, 10);
    MessageService::queueAnswer(DialogAnswer::file(low));
    click(&d, "BrowseLowResButton");
    const QList<RecordedDialog> boxes = MessageService::takeRecorded();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes.at(0).directory, m_dir.path());
    EXPECT_EQ(child<QLineEdit>(&d, "LowResImageEdit")->text(), low);
    EXPECT_FALSE(child<QLabel>(&d, "LowResPreview")->pixmap().isNull());
    EXPECT_EQ(child<QLineEdit>(&d, "WidthEdit")->text(), QStringLiteral("20000"));  // the main picture's
}

TEST_F(InsertWizardsTest, MissingImageKeepsItsNameWithoutSize)
{
    Tmnuimages d(*m_window, m_window.get());
    d.pickImage(m_dir.filePath(QStringLiteral("gone.gif")));
    EXPECT_EQ(child<QLineEdit>(&d, "ImageFileNameEdit")->text(), m_dir.filePath(QStringLiteral("gone.gif")));
    EXPECT_EQ(child<QLineEdit>(&d, "WidthEdit")->text(), QString());
    EXPECT_TRUE(child<QLabel>(&d, "ImagePreview")->pixmap().isNull());
    click(&d, "DoneButton");
    EXPECT_EQ(buffer()->text(), QStringLiteral("<img src=\"file://") + m_dir.filePath(QStringLiteral("gone.gif"))
                                    + QStringLiteral("\" width=\"\" height=\"\" border=\"0\">"));
}

TEST_F(InsertWizardsTest, FolderBrowserPicksImagesAndRemembersItsFolder)
{
    const QString folder = m_dir.filePath(QStringLiteral("pics"));
    ASSERT_TRUE(QDir().mkpath(folder));
    writePicture(QStringLiteral("pics/PHOTO.JPG"), 40, 30);
    QFile notes(m_dir.filePath(QStringLiteral("pics/notes.txt")));
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.close();

    auto d = std::make_unique<Tmnuimages>(*m_window, m_window.get());
    d->show();
    // Typing a folder moves the browser there and remembers it.
    child<QLineEdit>(d.get(), "PathEdit")->clear();
    type(d.get(), "PathEdit", folder);
    EXPECT_EQ(d->browserFolder(), folder);
    EXPECT_EQ(m_settings->LoadLastImageDirectory(), folder);

    auto *list = child<QListView>(d.get(), "FileList");
    auto *model = static_cast<QFileSystemModel *>(list->model());
    for (int i = 0; i < 200 && model->rowCount(list->rootIndex()) < 2; ++i)
        QTest::qWait(10);
    ASSERT_EQ(model->rowCount(list->rootIndex()), 2);
    list->setCurrentIndex(model->index(folder + QStringLiteral("/notes.txt")));
    EXPECT_EQ(child<QLineEdit>(d.get(), "ImageFileNameEdit")->text(), QString());
    list->setCurrentIndex(model->index(folder + QStringLiteral("/PHOTO.JPG")));
    EXPECT_EQ(child<QLineEdit>(d.get(), "ImageFileNameEdit")->text(), folder + QStringLiteral("/PHOTO.JPG"));
    EXPECT_EQ(child<QLineEdit>(d.get(), "WidthEdit")->text(), QStringLiteral("40"));

    // Closing remembers the browser's folder; the next opening starts there.
    d->showFolder(m_dir.path());
    d->reject();
    EXPECT_EQ(m_settings->LoadLastImageDirectory(), m_dir.path());
    d = std::make_unique<Tmnuimages>(*m_window, m_window.get());
    EXPECT_EQ(d->browserFolder(), m_dir.path());
    click(d.get(), "HelpMeButton");
    EXPECT_TRUE(shownHelp().endsWith(QStringLiteral("ImageMenu.Htm"), Qt::CaseInsensitive)) << shownHelp().toStdString();
}

TEST_F(InsertWizardsTest, FolderTreeStaysWhereTheUserMovedIt)
{
    const QString shown = m_dir.filePath(QStringLiteral("a"));
    const QString other = m_dir.filePath(QStringLiteral("b"));
    ASSERT_TRUE(QDir().mkpath(shown));
    ASSERT_TRUE(QDir().mkpath(other));
    Tmnuimages d(*m_window, m_window.get());
    auto *tree = child<QTreeView>(&d, "DirectoryTree");
    auto *model = static_cast<QFileSystemModel *>(tree->model());
    d.show();
    d.showFolder(shown);
    ASSERT_EQ(tree->currentIndex(), model->index(shown));

    // Moved by the keys (not a click), then a folder is read: the one the
    // user opened leaves the tree where it is; one on the way to the
    // browser's folder shows that folder. (Signalled here, in step, so no
    // read of the real folders comes in between.)
    const QModelIndex moved = model->index(other);
    tree->setCurrentIndex(moved);
    emit model->directoryLoaded(other);
    EXPECT_EQ(tree->currentIndex(), moved);
    emit model->directoryLoaded(m_dir.path());
    EXPECT_EQ(tree->currentIndex(), model->index(shown));
}

// --- links ----------------------------------------------------------------------

TEST_F(InsertWizardsTest, LinkEntriesOpenTheLinkDialog)
{
    const std::function<void()> triggers[] = {
        [this] { m_window->action(QStringLiteral("AnchorLink1"))->trigger(); },
        [this] { child<QToolButton>(m_window.get(), "MakealinkHREFButton1")->click(); },
        [this] { child<QToolButton>(m_window.get(), "URLLinkButton")->click(); },
    };
    for (const auto &trigger : triggers) {
        EXPECT_TRUE(withDialog<TMnuAnchorLink>(trigger, [](TMnuAnchorLink &d) {
            EXPECT_EQ(d.windowTitle(), QStringLiteral("Anchor / Link Menu"));
        }));
    }
}

TEST_F(InsertWizardsTest, StandardLinkWrapsTheSelection)
{
    buffer()->setText(QStringLiteral("see here"));
    buffer()->setSelection({{4, 0}, {8, 0}});
    TMnuAnchorLink d(*m_window, m_window.get());
    type(&d, "URLEdit", QStringLiteral("page.htm"));
    QMenu *services = d.serviceMenu();
    services->actions().at(0)->trigger();
    services->actions().at(0)->trigger();
    EXPECT_EQ(child<QLineEdit>(&d, "URLEdit")->text(), QStringLiteral("HTTP://HTTP://page.htm"));
    child<QLineEdit>(&d, "URLEdit")->setText(QStringLiteral("Page.htm"));
    type(&d, "StatusBarEdit", QStringLiteral("Go"));
    child<QComboBox>(&d, "TargetBox")->setCurrentText(QStringLiteral("_BLANK"));
    click(&d, "DoneButton");
    EXPECT_EQ(buffer()->text(), QStringLiteral("see <a href=\"Page.htm\" target=\"_BLANK\""
                                               " onmouseover=\"window.status='Go'; return true;\""
                                               " onmouseout=\"window.status=''; return true;\">here</a>"));
    EXPECT_EQ(buffer()->selText(), QStringLiteral("here"));
}

TEST_F(InsertWizardsTest, ButtonLinkGreysOutAndIgnoresTheStandardFields)
{
    TMnuAnchorLink d(*m_window, m_window.get());
    gCurrentFilePath = m_dir.filePath(QStringLiteral("site/index.htm"));
    MessageService::queueAnswer(DialogAnswer::file(m_dir.filePath(QStringLiteral("next.htm"))));
    click(&d, "BrowseUrlButton");
    EXPECT_EQ(child<QLineEdit>(&d, "URLEdit")->text(), QStringLiteral("../next.htm"));
    EXPECT_EQ(MessageService::takeRecorded().value(0).filters.value(0).patterns, QStringLiteral("*.HTM;*.HTML"));
    child<QLineEdit>(&d, "URLEdit")->setText(QStringLiteral("next.htm"));
    type(&d, "NameEdit", QStringLiteral("n"));
    type(&d, "DescriptionEdit", QStringLiteral("Next"));
    child<QComboBox>(&d, "AppearanceBox")->setCurrentIndex(1);
    for (const char *name : {"TargetBox", "NameEdit", "StatusBarEdit", "TitleEdit", "AccessKeyEdit"})
        EXPECT_FALSE(child<QWidget>(&d, name)->isEnabled()) << name;
    EXPECT_TRUE(child<QWidget>(&d, "DescriptionEdit")->isEnabled());
    click(&d, "DoneButton");
    EXPECT_EQ(buffer()->text(), QStringLiteral("<form><input type=\"BUTTON\" value=\"Next\""
                                               " onclick=\"window.location.href='next.htm'\"></form>"));
    child<QComboBox>(&d, "AppearanceBox")->setCurrentIndex(0);
    EXPECT_TRUE(child<QWidget>(&d, "NameEdit")->isEnabled());
    QPushButton *help = child<QPushButton>(&d, "HelpMeButton");
    help->click();
    EXPECT_TRUE(shownHelp().endsWith(QStringLiteral("UrlMenu.Htm"), Qt::CaseInsensitive)) << shownHelp().toStdString();
}

TEST_F(InsertWizardsTest, EmailLinkAsksAboutAnAddressWithoutAt)
{
    buffer()->setText(QStringLiteral("x"));
    buffer()->setSelection({{0, 0}, {1, 0}});
    bool stayedOpen = false;
    auto fill = [](TMnuEmail &d) {
        QTest::keyClicks(child<QPlainTextEdit>(&d, "LinkTextMemo"), QStringLiteral("Mail "));
        type(&d, "AddressEdit", QStringLiteral("ann.example.org"));
        type(&d, "SubjectEdit", QStringLiteral("Hi"));
        QTest::keyClicks(child<QPlainTextEdit>(&d, "MessageMemo"), QStringLiteral("Body"));
    };
    EXPECT_TRUE(withDialog<TMnuEmail>([this] { m_window->action(QStringLiteral("Email1"))->trigger(); },
                                      [&](TMnuEmail &d) {
                                          EXPECT_EQ(d.windowTitle(), QStringLiteral("Insert an E-Mail Link:"));
                                          fill(d);
                                          MessageService::queueAnswer(DialogAnswer::pressed(mbNo));
                                          click(&d, "DoneButton");
                                          stayedOpen = d.isVisible();
                                      }));
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(buffer()->text(), QStringLiteral("x"));
    const QList<RecordedDialog> boxes = MessageService::takeRecorded();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes.at(0).text, QLatin1String(InvalidEmailQuestion));
    EXPECT_EQ(boxes.at(0).buttons, YesNo);

    buffer()->setSelection({{0, 0}, {1, 0}});
    EXPECT_TRUE(withDialog<TMnuEmail>([this] { m_window->action(QStringLiteral("Email1"))->trigger(); },
                                      [&](TMnuEmail &d) {
                                          fill(d);
                                          MessageService::queueAnswer(DialogAnswer::pressed(mbYes));
                                          click(&d, "DoneButton");
                                      }));
    EXPECT_EQ(buffer()->text(), QStringLiteral("<a href=\"mailto:ann.example.org?subject=Hi&amp;Body=Body\">Mail x</a>"));
}

TEST_F(InsertWizardsTest, LinkToLocalFileAndLinkButton)
{
    gCurrentFilePath = m_dir.filePath(QStringLiteral("site/index.htm"));
    MessageService::queueAnswer(DialogAnswer::file(m_dir.filePath(QStringLiteral("site/docs/a b.htm"))));
    m_window->action(QStringLiteral("Linktolocalfile1"))->trigger();
    EXPECT_EQ(buffer()->text(), QStringLiteral("<a href=\"docs/a b.htm\"></a>"));
    EXPECT_EQ(buffer()->caretPoint().x, 23);
    MessageService::queueAnswer(DialogAnswer::cancelled());
    m_window->action(QStringLiteral("Linktolocalfile1"))->trigger();
    EXPECT_EQ(buffer()->text(), QStringLiteral("<a href=\"docs/a b.htm\"></a>"));

    buffer()->setText(QString());
    m_window->action(QStringLiteral("QuorvantLinkButton1"))->trigger();
    EXPECT_TRUE(buffer()->text().contains(QStringLiteral("width=\"100\" height=\"46\" border=\"0\"></a>")));
}

TEST_F(InsertWizardsTest, LocalFileListPopupInsertsTheSelectedFile)
{
    // Nothing of the page is made at start; made now, it still waits to be shown.
    EXPECT_EQ(m_window->findChild<TLocalFilesPage *>(), nullptr);
    ensureBuilt(m_window->sidebar()->findChild<QWidget *>(QStringLiteral("LocalPage")));
    auto *page = m_window->findChild<TLocalFilesPage *>();
    ASSERT_NE(page, nullptr);
    const QString movie = m_dir.filePath(QStringLiteral("intro.swf"));
    QFile f(movie);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    // Start-up reads no folder for the page while it is hidden.
    auto *tree = page->findChild<QTreeView *>(QStringLiteral("ShellTree1"));
    auto *list = page->findChild<QTreeView *>(QStringLiteral("ShellList1"));
    auto *model = static_cast<QFileSystemModel *>(list->model());
    const QString unread = QFileSystemModel().rootPath();
    ASSERT_FALSE(page->isVisible());
    EXPECT_EQ(model->rootPath(), unread);
    EXPECT_EQ(static_cast<QFileSystemModel *>(tree->model())->rootPath(), unread);
    // The stored main folder is shown when the page first shows; a folder
    // clicked in the tree is stored.
    ASSERT_TRUE(m_settings->SaveLastMainDirectory(m_dir.path()));
    m_window->sidebar()->setCurrentWidget(m_window->sidebar()->findChild<QWidget *>(QStringLiteral("LocalPage")));
    EXPECT_EQ(page->folder(), m_dir.path());
    const QModelIndex parent = tree->model()->parent(tree->currentIndex());
    ASSERT_TRUE(parent.isValid());
    tree->clicked(parent);
    EXPECT_EQ(m_settings->LoadLastMainDirectory(), QFileInfo(m_dir.path()).absolutePath());
    page->showFolder(m_dir.path());

    // Nothing selected: nothing happens.
    page->popupMenu()->actions().at(0)->trigger();
    EXPECT_EQ(buffer()->text(), QString());

    for (int i = 0; i < 200 && !model->index(movie).isValid(); ++i)
        QTest::qWait(10);
    page->selectFile(movie);
    ASSERT_EQ(page->selectedFile(), movie);
    gCurrentFilePath = m_dir.filePath(QStringLiteral("index.htm"));
    EXPECT_EQ(page->popupMenu()->defaultAction()->text(), QStringLiteral("Insert as image"));
    page->popupMenu()->actions().at(0)->trigger();
    EXPECT_EQ(buffer()->text(), QStringLiteral("<img src=\"intro.swf\">"));
    buffer()->setText(QString());
    page->popupMenu()->actions().at(1)->trigger();
    EXPECT_EQ(buffer()->text(), QStringLiteral("<embed src=\"intro.swf\"></embed>"));
    buffer()->setText(QString());
    page->popupMenu()->actions().at(3)->trigger();
    EXPECT_TRUE(buffer()->text().startsWith(QStringLiteral("<object classid=\"clsid:166b1bca")));
    EXPECT_EQ(buffer()->lineCount(), 6);  // ends with a line break
}

TEST_F(InsertWizardsTest, LinkDescriptionIsTheTextWhereNothingIsSelected)
{
    buffer()->setText(QStringLiteral("menu: "));
    buffer()->setCaretPoint({6, 0});
    TMnuAnchorLink d(*m_window, m_window.get());
    type(&d, "URLEdit", QStringLiteral("fish.htm"));
    type(&d, "DescriptionEdit", QStringLiteral("Fish & <chips>"));
    type(&d, "TitleEdit", QStringLiteral("Plasma cloud \"test\""));
    click(&d, "DoneButton");
    EXPECT_EQ(buffer()->text(),
              QStringLiteral("menu: <a href=\"fish.htm\" title=\"Plasma cloud &quot;test&quot;\">Fish &amp; &lt;chips></a>"));

    // With a selection, the selection stays the link's text.
    buffer()->setText(QStringLiteral("see here"));
    buffer()->setSelection({{4, 0}, {8, 0}});
    TMnuAnchorLink again(*m_window, m_window.get());
    type(&again, "URLEdit", QStringLiteral("here.htm"));
    type(&again, "DescriptionEdit", QStringLiteral("unused"));
    click(&again, "DoneButton");
    EXPECT_EQ(buffer()->text(), QStringLiteral("see <a href=\"here.htm\">here</a>"));
}

TEST_F(InsertWizardsTest, EmailSubjectAndTwoLineMessageArePercentEncoded)
{
    TMnuEmail d(*m_window, m_window.get());
    QTest::keyClicks(child<QPlainTextEdit>(&d, "LinkTextMemo"), QStringLiteral("Order"));
    type(&d, "SubjectEdit", QStringLiteral("rye & sourdough?"));
    type(&d, "AddressEdit", QStringLiteral("bakery@example.org"));
    auto *message = child<QPlainTextEdit>(&d, "MessageMemo");
    QTest::keyClicks(message, QStringLiteral("Two loaves"));
    QTest::keyClick(message, Qt::Key_Return);
    message->insertPlainText(QString::fromUtf16(u"sch\u00f6n"));
    click(&d, "DoneButton");
    EXPECT_EQ(buffer()->text(), QStringLiteral("<a href=\"mailto:bakery@example.org?subject=rye%20%26%20sourdough%3F"
                                               "&amp;Body=Two%20loaves%0D%0Asch%C3%B6n\">Order</a>"));
}

TEST_F(InsertWizardsTest, ImageFolderBrowserStartsInTheDocumentsFolderThenTheLastOneUsed)
{
    // A folder stored by an earlier run is not where a saved page's images are.
    const QString stored = m_dir.filePath(QStringLiteral("stored"));
    const QString site = m_dir.filePath(QStringLiteral("site"));
    const QString pictures = m_dir.filePath(QStringLiteral("site/pictures"));
    ASSERT_TRUE(QDir().mkpath(stored));
    ASSERT_TRUE(QDir().mkpath(pictures));
    ASSERT_TRUE(m_settings->SaveLastImageDirectory(stored));
    {
        Tmnuimages unsaved(*m_window, m_window.get());
        EXPECT_EQ(unsaved.browserFolder(), stored);  // the page has no folder yet
    }
    QFile page(site + QStringLiteral("/index.htm"));
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.write("<p>");
    page.close();
    ASSERT_TRUE(m_window->documents()->OpenFile(page.fileName()));
    ASSERT_EQ(gCurrentFilePath, page.fileName());

    auto d = std::make_unique<Tmnuimages>(*m_window, m_window.get());
    EXPECT_EQ(d->browserFolder(), site);
    // The browse button starts there too while no image folder is remembered.
    MessageService::queueAnswer(DialogAnswer::cancelled());
    click(d.get(), "BrowseImageButton");
    EXPECT_EQ(MessageService::takeRecorded().value(0).directory, site);

    // The folder used last in this run comes first.
    writePicture(QStringLiteral("site/pictures/a.png"), 8, 8);
    d->showFolder(pictures);
    d->reject();
    d = std::make_unique<Tmnuimages>(*m_window, m_window.get());
    EXPECT_EQ(d->browserFolder(), pictures);
    // Its file list, given the focus, takes a current row: no picture is
    // picked by that.
    d->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(d.get()));
    auto *files = child<QListView>(d.get(), "FileList");
    for (int i = 0; i < 200 && files->model()->rowCount(files->rootIndex()) < 1; ++i)
        QTest::qWait(10);
    files->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(files->currentIndex().isValid());
    EXPECT_EQ(child<QLineEdit>(d.get(), "ImageFileNameEdit")->text(), QString());
    d.reset();

    // None exists: the home folder.
    m_window->documents()->blankDocument();
    ASSERT_EQ(gCurrentFilePath, QString());
    ASSERT_TRUE(QDir(site).removeRecursively());  // the stored folder is now "pictures"
    ASSERT_TRUE(QDir(stored).removeRecursively());
    Tmnuimages home(*m_window, m_window.get());
    EXPECT_EQ(home.browserFolder(), QDir::homePath());
}

TEST_F(InsertWizardsTest, LocalPageShowsAFileThatIsOpenInsteadOfOpeningItAgain)
{
    ensureBuilt(m_window->sidebar()->findChild<QWidget *>(QStringLiteral("LocalPage")));
    auto *page = m_window->findChild<TLocalFilesPage *>();
    ASSERT_NE(page, nullptr);
    m_window->sidebar()->setCurrentWidget(m_window->sidebar()->findChild<QWidget *>(QStringLiteral("LocalPage")));
    const QString a = m_dir.filePath(QStringLiteral("a.htm"));
    const QString b = m_dir.filePath(QStringLiteral("b.htm"));
    for (const QString &name : {a, b}) {
        QFile f(name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("<p>");
    }
    TDocumentSet *documents = m_window->documents();
    ASSERT_TRUE(documents->OpenFile(a));
    const int open = documents->PagesOpen();
    documents->blankDocument();
    ASSERT_EQ(documents->PagesOpen(), open + 1);

    page->showFolder(m_dir.path());
    auto *list = page->findChild<QTreeView *>(QStringLiteral("ShellList1"));
    auto *model = static_cast<QFileSystemModel *>(list->model());
    for (int i = 0; i < 200 && !model->index(b).isValid(); ++i)
        QTest::qWait(10);
    ASSERT_TRUE(model->index(a).isValid());

    // An open file is shown, not opened a second time.
    emit list->doubleClicked(model->index(a));
    EXPECT_EQ(documents->PagesOpen(), open + 1);
    EXPECT_EQ(gCurrentFilePath, a);
    EXPECT_EQ(documents->currentBuffer()->text(), QStringLiteral("<p>"));
    // One not open yet is opened, once.
    emit list->doubleClicked(model->index(b));
    EXPECT_EQ(documents->PagesOpen(), open + 2);
    EXPECT_EQ(gCurrentFilePath, b);
    emit list->doubleClicked(model->index(b));
    EXPECT_EQ(documents->PagesOpen(), open + 2);
    // A folder is shown in the list.
    ASSERT_TRUE(QDir().mkpath(m_dir.filePath(QStringLiteral("sub"))));
    for (int i = 0; i < 200 && !model->index(m_dir.filePath(QStringLiteral("sub"))).isValid(); ++i)
        QTest::qWait(10);
    emit list->doubleClicked(model->index(m_dir.filePath(QStringLiteral("sub"))));
    EXPECT_EQ(page->folder(), m_dir.filePath(QStringLiteral("sub")));
    EXPECT_EQ(documents->PagesOpen(), open + 2);
}

} // namespace
