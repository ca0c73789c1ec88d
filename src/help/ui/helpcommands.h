// The Help menu, the Documentation page's topic tree and the catalogue's
// "Setup Website" entry.
#pragma once

#include <QObject>
#include <QUrl>

#include <functional>

class QSplitter;
class QTreeWidget;
class QTreeWidgetItem;

namespace Quorvant {

class TForm1;

class THelpCommands : public QObject
{
    Q_OBJECT
public:
    explicit THelpCommands(TForm1 &form);

    // Puts the topic tree left of the Documentation page's browser.
    void buildTopicTree();
    void buildMenu();
    QTreeWidget *TreeView2() const { return m_tree; }

    void TreeView2Click();
    void TableofContents1Click();
    void WDGHTMLGuide1Click();
    void WDGCSSGuide1Click();
    void WDGHTMLHelpWebSite1Click();
    void SourceForge1Click();
    void Visitourwebsite1Click();
    void About1Click();
    void SetupWebsite();

    // Opens an address in the default browser; tests put their own here.
    std::function<void(const QUrl &)> openExternal;
    // Shows the About window modally; tests put their own here.
    std::function<void()> showAbout;

private:
    void fillTopicTree(QSplitter *sheet);
    void showPage(const QString &relative);
    void openWebSite(const QString &key, const QString &fallback, const QString &pageWithout);

    TForm1 &m_form;
    QTreeWidget *m_tree = nullptr;
};

} // namespace Quorvant
