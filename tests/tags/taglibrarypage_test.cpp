// The sidebar's tag library page, driven inside the main window.
#include "mainwindowtest.h"
#include "subsystems.h"
#include "datafolder.h"
#include "documentset.h"
#include "editortypes.h"
#include "mainwindow.h"
#include "messageservice.h"
#include "tageditdialog.h"
#include "taglibrarypage.h"
#include "taglibtestsupport.h"
#include "tagplacement.h"
#include "tmemosource.h"
#include "toolkitglobals.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

#include <gtest/gtest.h>

using namespace Quorvant;

namespace {

const char BasicList[] =
    "My tags\r\n"
    "Bold,Bold text,Text Formatting,\"<b>\",\"</b>\",N/A\r\n"
    "Para end,Closes a paragraph,Text Formatting,N/A,</p>,N/A\r\n"
    "Rule,Horizontal rule,Block Level Elements,<HR>,N/A,<hr class=\"x\" />\r\n"
    "Open,Start only,Lists,<ul>,,\r\n";

class TagLibraryPageTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(QDir(m_dir.path()).mkpath(QStringLiteral("Tags")));
        writeList(QStringLiteral("Basic.tag"), BasicList);
        writeList(QStringLiteral("Other.tag"), "Second list\r\nItalic,,,<i>,</i>,N/A\r\n");
        writeList(QStringLiteral("notes.txt"), "Not a list\r\n");
        DataFolder::setPath(m_dir.path());
        resetAppGlobals();
        resetToolkitGlobals();
        resetTagLibraryGlobals();
        m_window = Quorvant::Test::openMainWindow();
        m_window->documents()->blankDocument();
        m_page = m_window->findChild<TTagLibraryPage *>();
        ASSERT_NE(m_page, nullptr);
        m_window->sidebar()->setCurrentWidget(m_window->sidebar()->findChild<QWidget *>(QStringLiteral("TagsPage")));
    }
    void TearDown() override { Quorvant::Test::closeMainWindow(m_window); }

    QString listPath(const QString &name) const { return m_dir.filePath(QStringLiteral("Tags/") + name); }
    void writeList(const QString &name, const QByteArray &content) { Quorvant::Test::writeBytes(listPath(name), content); }
    QByteArray readList(const QString &name) const { return Quorvant::Test::readBytes(listPath(name)); }
    // Chooses the "Tag List" row with this caption.
    void chooseList(const QString &caption)
    {
        const auto found = m_page->ListView3()->findItems(caption, Qt::MatchExactly, 0);
        ASSERT_EQ(found.size(), 1) << caption.toStdString();
        m_page->ListView3()->setCurrentItem(found.first());
    }
    void selectTag(int row)
    {
        QTreeWidgetItem *item = m_page->ListView1()->topLevelItem(row);
        ASSERT_NE(item, nullptr);
        m_page->ListView1()->setCurrentItem(item);
    }
    void trigger(const char *name)
    {
        auto *a = m_page->popupMenu()->findChild<QAction *>(QLatin1String(name));
        ASSERT_NE(a, nullptr) << name;
        a->trigger();
    }
    // Runs the pop-up command; drive is called with the tag editor once it shows.
    void triggerWithEditor(const char *name, const std::function<void(TMnuEditTag *)> &drive)
    {
        bool seen = false;
        int tries = 0;
        auto *poll = new QTimer;
        poll->setInterval(10);
        QObject::connect(poll, &QTimer::timeout, [&] {
            if (auto *d = qobject_cast<TMnuEditTag *>(QApplication::activeModalWidget())) {
                poll->stop();
                seen = true;
                drive(d);
                if (d->isVisible()) {
                    ADD_FAILURE() << "the tag editor is still open after the test drove it";
                    d->reject();
                }
            } else if (++tries > 300) {
                poll->stop();
            }
        });
        poll->start();
        trigger(name);
        delete poll;
        EXPECT_TRUE(seen) << "the tag editor was not shown";
    }
    static QList<RecordedDialog> boxes() { return MessageService::takeRecorded(); }
    ITextBuffer *buffer() const { return m_window->documents()->currentBuffer(); }

    QTemporaryDir m_dir;
    std::unique_ptr<TForm1> m_window;
    TTagLibraryPage *m_page = nullptr;
};

TEST_F(TagLibraryPageTest, AMouseClickOnAListShowsThatListsTags)
{
    QTreeWidget *lists = m_page->ListView3();
    const auto clickOn = [&](const QString &caption) {
        const auto found = lists->findItems(caption, Qt::MatchExactly, 0);
        ASSERT_EQ(found.size(), 1);
        lists->scrollToItem(found.first());
        QTest::mouseClick(lists->viewport(), Qt::LeftButton, {}, lists->visualItemRect(found.first()).center());
    };
    clickOn(QStringLiteral("My tags"));
    ASSERT_EQ(m_page->ListView1()->topLevelItemCount(), 4);
    EXPECT_EQ(m_page->ListView1()->topLevelItem(0)->text(0), QStringLiteral("Bold"));
    clickOn(QStringLiteral("Second list"));
    ASSERT_EQ(m_page->ListView1()->topLevelItemCount(), 1);
    EXPECT_EQ(m_page->ListView1()->topLevelItem(0)->text(0), QStringLiteral("Italic"));
    clickOn(QStringLiteral("My tags"));
    EXPECT_EQ(m_page->ListView1()->topLevelItemCount(), 4);
}

TEST_F(TagLibraryPageTest, ListsLoadAndChoosingAListFillsItsTags)
{
    QTreeWidget *lists = m_page->ListView3();
    QTreeWidget *tags = m_page->ListView1();
    EXPECT_EQ(lists->objectName(), QStringLiteral("ListView3"));
    EXPECT_EQ(lists->headerItem()->text(0), QStringLiteral("Tag List"));
    EXPECT_TRUE(lists->isColumnHidden(1));
    ASSERT_EQ(lists->topLevelItemCount(), 2);  // notes.txt is no list
    QStringList captions;
    for (int i = 0; i < lists->topLevelItemCount(); ++i)
        captions << lists->topLevelItem(i)->text(0);
    captions.sort();
    EXPECT_EQ(captions, (QStringList{QStringLiteral("My tags"), QStringLiteral("Second list")}));
    EXPECT_EQ(m_window->sidebar()->findChild<QWidget *>(QStringLiteral("TagsPage"))->toolTip(),
              QStringLiteral("You can add custom tags here..."));

    QStringList headers;
    for (int c = 0; c < tags->columnCount(); ++c)
        headers << tags->headerItem()->text(c);
    EXPECT_EQ(headers, (QStringList{QStringLiteral("Tag Name"), QStringLiteral("Description"), QStringLiteral("Catagory"),
                                    QStringLiteral("Start Of Tag"), QStringLiteral("End Of Tag"),
                                    QStringLiteral("Extended Tag")}));
    EXPECT_EQ(tags->topLevelItemCount(), 0);

    chooseList(QStringLiteral("My tags"));
    EXPECT_EQ(m_page->selectedListPath(), listPath(QStringLiteral("Basic.tag")));
    ASSERT_EQ(tags->topLevelItemCount(), 4);
    QTreeWidgetItem *bold = tags->topLevelItem(0);
    QStringList boldColumns;
    for (int c = 0; c < 6; ++c)
        boldColumns << bold->text(c);
    EXPECT_EQ(boldColumns, (QStringList{QStringLiteral("Bold"), QStringLiteral("Bold text"), QStringLiteral("Text Formatting"),
                                        QStringLiteral("<b>"), QStringLiteral("</b>"), QStringLiteral("N/A")}));
    EXPECT_FALSE(bold->icon(0).isNull());
    EXPECT_EQ(tags->topLevelItem(3)->text(0), QStringLiteral("Open"));

    chooseList(QStringLiteral("Second list"));
    ASSERT_EQ(tags->topLevelItemCount(), 1);
    EXPECT_EQ(tags->topLevelItem(0)->text(0), QStringLiteral("Italic"));
    EXPECT_TRUE(boxes().isEmpty());
}

TEST_F(TagLibraryPageTest, MissingTagsFolderGivesAnEmptyTagList)
{
    QTemporaryDir empty;
    DataFolder::setPath(empty.path());
    TForm1 window;
    installSubsystems(window);
    auto *page = window.findChild<TTagLibraryPage *>();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->ListView3()->topLevelItemCount(), 0);
    EXPECT_TRUE(boxes().isEmpty());
}

TEST_F(TagLibraryPageTest, DoubleClickAndInsertCurrentTagPlaceTheRow)
{
    struct Case
    {
        int row;
        bool select;     // "word" selected, else the caret after "ab"
        bool byMenu;
        QString text;    // document afterwards
        QString selected;
    };
    const Case cases[] = {
        {0, true, false, QStringLiteral("ab<b>word</b>cd"), QStringLiteral("word")},
        {0, false, true, QStringLiteral("ab<b></b>wordcd"), QString()},
        // Start "N/A": the end text alone.
        {1, true, false, QStringLiteral("ab</p>wordcd"), QStringLiteral("word")},
        // End "N/A": the start text alone, in the tag case.
        {2, false, true, QStringLiteral("ab<hr>wordcd"), QString()},
        // An empty end text: the start text alone.
        {3, false, false, QStringLiteral("ab<ul>wordcd"), QString()},
    };
    chooseList(QStringLiteral("My tags"));
    QTreeWidget *tags = m_page->ListView1();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.row);
        buffer()->setText(QStringLiteral("abwordcd"));
        if (c.select)
            buffer()->setSelection({{2, 0}, {6, 0}});
        else
            buffer()->setCaretPoint({2, 0});
        selectTag(c.row);
        if (c.byMenu) {
            trigger("Insertcurrenttag1");
        } else {
            QTreeWidgetItem *item = tags->topLevelItem(c.row);
            ASSERT_TRUE(tags->isVisible());
            ASSERT_FALSE(tags->visualItemRect(item).isEmpty());
            const QRect rect = tags->visualItemRect(item);  // the whole row, wider than the view
            const QPoint at(rect.left() + 20, rect.center().y());
            // A real double click: a click, then the second press arriving as a double click.
            QTest::mouseClick(tags->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(tags->viewport(), Qt::LeftButton, {}, at);
        }
        EXPECT_EQ(buffer()->text(), c.text);
        EXPECT_EQ(buffer()->selText(), c.selected);
    }
    // Without a selected tag nothing is placed.
    tags->clearSelection();
    buffer()->setText(QStringLiteral("x"));
    trigger("Insertcurrenttag1");
    EXPECT_EQ(buffer()->text(), QStringLiteral("x"));
    EXPECT_TRUE(boxes().isEmpty());
}

TEST_F(TagLibraryPageTest, ExtendedModePlacesTheExtendedTextOrSaysThereIsNone)
{
    chooseList(QStringLiteral("My tags"));
    const QList<QAction *> items = m_page->popupMenu()->actions();
    QStringList captions;
    for (QAction *a : items)
        captions << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(captions, (QStringList{QStringLiteral("Insert current tag"), QStringLiteral("Insert current tag (extended mode)"),
                                     QStringLiteral("-"), QStringLiteral("Add Tag"), QStringLiteral("Edit the selected tag"),
                                     QStringLiteral("Delete Tag")}));
    EXPECT_EQ(m_page->popupMenu()->defaultAction(), items.first());

    buffer()->setText(QStringLiteral("ab"));
    buffer()->setCaretPoint({1, 0});
    selectTag(2);
    trigger("Insertcurrenttagextendedmode1");
    EXPECT_EQ(buffer()->text(), QStringLiteral("a<hr class=\"x\" />b"));
    EXPECT_TRUE(boxes().isEmpty());

    for (int row : {0, 3}) {  // "N/A" and empty
        SCOPED_TRACE(row);
        buffer()->setText(QStringLiteral("ab"));
        selectTag(row);
        trigger("Insertcurrenttagextendedmode1");
        EXPECT_EQ(buffer()->text(), QStringLiteral("ab"));
        const QList<RecordedDialog> shown = boxes();
        ASSERT_EQ(shown.size(), 1);
        EXPECT_EQ(shown.first().text, QString::fromLatin1(NoExtendedSectionMessage));
        EXPECT_EQ(shown.first().icon, MessageIcon::Information);
        EXPECT_EQ(shown.first().buttons, mbOK);
    }
}

TEST_F(TagLibraryPageTest, AddTagThroughTheEditorAppendsALine)
{
    chooseList(QStringLiteral("Second list"));
    gEditTagData.TagTitle = QStringLiteral("left over");
    triggerWithEditor("AddTag1", [](TMnuEditTag *d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Edit Tag..."));
        EXPECT_TRUE(d->titleEdit()->text().isEmpty());
        EXPECT_TRUE(d->categoryBox()->currentText().isEmpty());
        QStringList choices;
        for (int i = 0; i < d->categoryBox()->count(); ++i)
            choices << d->categoryBox()->itemText(i);
        EXPECT_EQ(choices, TagCategories());
        EXPECT_TRUE(d->categoryBox()->isEditable());
        d->titleEdit()->setText(QStringLiteral("Code"));
        d->descriptionEdit()->setText(QStringLiteral("Inline code"));
        d->categoryBox()->setEditText(QStringLiteral("My own"));
        d->startEdit()->setText(QStringLiteral("<code>"));
        d->endEdit()->setText(QString());
        d->extendedEdit()->setText(QStringLiteral("N/A"));
        d->doneButton()->click();
    });
    EXPECT_FALSE(gEditTagData.Editing);
    EXPECT_EQ(readList(QStringLiteral("Other.tag")),
              QByteArray("Second list\r\nItalic,,,<i>,</i>,N/A\r\nCode,Inline code,My own,<code>,,N/A\r\n"));
    const QList<RecordedDialog> shown = boxes();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.first().text, QString::fromLatin1(MsgTagSaved));
    EXPECT_EQ(shown.first().icon, MessageIcon::Information);
    QTreeWidget *tags = m_page->ListView1();
    ASSERT_EQ(tags->topLevelItemCount(), 2);
    EXPECT_EQ(tags->topLevelItem(1)->text(TTagListView::Category), QStringLiteral("My own"));

    // The empty end text places the start text alone, caret after it.
    buffer()->setText(QStringLiteral("xy"));
    buffer()->setCaretPoint({1, 0});
    selectTag(1);
    trigger("Insertcurrenttag1");
    EXPECT_EQ(buffer()->text(), QStringLiteral("x<code>y"));
    EXPECT_EQ(buffer()->caretPoint(), (CaretPoint{7, 0}));
}

TEST_F(TagLibraryPageTest, AddWithoutAChosenListFailsAndCancelSavesNothing)
{
    triggerWithEditor("AddTag1", [](TMnuEditTag *d) {
        d->titleEdit()->setText(QStringLiteral("Lost"));
        d->doneButton()->click();
    });
    QList<RecordedDialog> shown = boxes();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.first().text, QString::fromLatin1(MsgTagCouldNotBeSaved));
    EXPECT_EQ(shown.first().icon, MessageIcon::Information);

    chooseList(QStringLiteral("My tags"));
    triggerWithEditor("AddTag1", [](TMnuEditTag *d) {
        d->titleEdit()->setText(QStringLiteral("Never"));
        d->cancelButton()->click();
    });
    EXPECT_EQ(readList(QStringLiteral("Basic.tag")), QByteArray(BasicList));
    EXPECT_TRUE(boxes().isEmpty());
}

TEST_F(TagLibraryPageTest, EditTheSelectedTagRewritesOnlyItsLine)
{
    chooseList(QStringLiteral("My tags"));
    trigger("Edittag1");
    QList<RecordedDialog> shown = boxes();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.first().text, QString::fromLatin1(MsgSelectBeforeEdit));
    EXPECT_EQ(shown.first().icon, MessageIcon::Information);

    selectTag(2);
    triggerWithEditor("Edittag1", [](TMnuEditTag *d) {
        EXPECT_EQ(d->titleEdit()->text(), QStringLiteral("Rule"));
        EXPECT_EQ(d->descriptionEdit()->text(), QStringLiteral("Horizontal rule"));
        EXPECT_EQ(d->categoryBox()->currentText(), QStringLiteral("Block Level Elements"));
        EXPECT_EQ(d->startEdit()->text(), QStringLiteral("<HR>"));
        EXPECT_EQ(d->endEdit()->text(), QStringLiteral("N/A"));
        EXPECT_EQ(d->extendedEdit()->text(), QStringLiteral("<hr class=\"x\" />"));
        d->titleEdit()->setText(QStringLiteral("Line"));
        d->categoryBox()->setCurrentIndex(d->categoryBox()->findText(QStringLiteral("Tables")));
        d->doneButton()->click();
    });
    EXPECT_TRUE(gEditTagData.Editing);
    QByteArray expected(BasicList);
    expected.replace("Rule,Horizontal rule,Block Level Elements,", "Line,Horizontal rule,Tables,");
    EXPECT_EQ(readList(QStringLiteral("Basic.tag")), expected);
    shown = boxes();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.first().text, QString::fromLatin1(MsgTagSaved));
    EXPECT_EQ(m_page->ListView1()->topLevelItem(2)->text(0), QStringLiteral("Line"));
}

TEST_F(TagLibraryPageTest, EditorRefusesACommaAndStaysOpen)
{
    chooseList(QStringLiteral("My tags"));
    selectTag(0);
    triggerWithEditor("Edittag1", [](TMnuEditTag *d) {
        d->startEdit()->setText(QStringLiteral("<font face=\"arial, tahoma\">"));
        d->doneButton()->click();
        EXPECT_TRUE(d->isVisible());
        d->cancelButton()->click();
    });
    EXPECT_EQ(readList(QStringLiteral("Basic.tag")), QByteArray(BasicList));
    const QList<RecordedDialog> shown = boxes();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.first().text, QString::fromLatin1(MsgTagFieldHasComma));
    EXPECT_EQ(shown.first().icon, MessageIcon::Warning);
}

TEST_F(TagLibraryPageTest, EditOfAListRemovedMeanwhileReportsTheFailure)
{
    chooseList(QStringLiteral("My tags"));
    selectTag(1);
    triggerWithEditor("Edittag1", [this](TMnuEditTag *d) {
        ASSERT_TRUE(QFile::remove(listPath(QStringLiteral("Basic.tag"))));
        d->doneButton()->click();
    });
    EXPECT_FALSE(QFile::exists(listPath(QStringLiteral("Basic.tag"))));
    const QList<RecordedDialog> shown = boxes();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.first().text, QString::fromLatin1(MsgTagCouldNotBeSaved));
    EXPECT_EQ(m_page->ListView1()->topLevelItemCount(), 4);  // left as it was
}

TEST_F(TagLibraryPageTest, DeleteAsksAndRemovesTheLine)
{
    chooseList(QStringLiteral("Second list"));
    trigger("DeleteTag1");
    QList<RecordedDialog> shown = boxes();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.first().text, QString::fromLatin1(MsgSelectBeforeDelete));

    selectTag(0);
    MessageService::queueAnswer(DialogAnswer::pressed(mbNo));
    trigger("DeleteTag1");
    shown = boxes();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.first().text, QString::fromLatin1(MsgConfirmDeleteTag));
    EXPECT_EQ(shown.first().buttons, YesNo);
    EXPECT_EQ(shown.first().icon, MessageIcon::Information);
    EXPECT_EQ(m_page->ListView1()->topLevelItemCount(), 1);

    MessageService::queueAnswer(DialogAnswer::pressed(mbYes));
    trigger("DeleteTag1");
    shown = boxes();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown.at(1).text, QString::fromLatin1(MsgTagRemoved));
    EXPECT_EQ(shown.at(1).icon, MessageIcon::Information);
    EXPECT_EQ(readList(QStringLiteral("Other.tag")), QByteArray("Second list\r\n"));
    EXPECT_EQ(m_page->ListView1()->topLevelItemCount(), 0);

    // A list file removed meanwhile.
    chooseList(QStringLiteral("My tags"));
    selectTag(0);
    ASSERT_TRUE(QFile::remove(listPath(QStringLiteral("Basic.tag"))));
    MessageService::queueAnswer(DialogAnswer::pressed(mbYes));
    trigger("DeleteTag1");
    shown = boxes();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown.at(1).text, QString::fromLatin1(MsgTagCouldNotBeRemoved));
    EXPECT_EQ(shown.at(1).icon, MessageIcon::Error);
    EXPECT_FALSE(QFile::exists(listPath(QStringLiteral("Basic.tag"))));
}

TEST_F(TagLibraryPageTest, DraggedRowCarriesItsStartAndEndTexts)
{
    chooseList(QStringLiteral("My tags"));
    QTreeWidget *tags = m_page->ListView1();
    EXPECT_TRUE(tags->dragEnabled());
    QAbstractItemModel *model = tags->model();
    EXPECT_TRUE(model->mimeTypes().contains(QLatin1String(TagStartMimeType)));
    for (int row : {0, 1}) {
        SCOPED_TRACE(row);
        std::unique_ptr<QMimeData> mime(model->mimeData({model->index(row, 0)}));
        ASSERT_NE(mime, nullptr);
        const QTreeWidgetItem *item = tags->topLevelItem(row);
        EXPECT_EQ(QString::fromUtf8(mime->data(QLatin1String(TagStartMimeType))), item->text(TTagListView::StartOfTag));
        EXPECT_EQ(QString::fromUtf8(mime->data(QLatin1String(TagEndMimeType))), item->text(TTagListView::EndOfTag));
    }
    std::unique_ptr<QMimeData> bold(model->mimeData({model->index(0, 0)}));
    EXPECT_EQ(bold->data(QLatin1String(TagStartMimeType)), QByteArray("<b>"));
    EXPECT_EQ(bold->data(QLatin1String(TagEndMimeType)), QByteArray("</b>"));
}

} // namespace
