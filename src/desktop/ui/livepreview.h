// "Live preview": while it is on, the preview follows the current
// document's unsaved text a moment after typing stops, at the same scroll
// position: on the Preview page when that page shows, and otherwise in a
// pane beside the editor. The choice is kept in "Main.INI".
#pragma once

#include <QObject>
#include <QTimer>

class QAction;
class QCheckBox;
class QDockWidget;
class QUrl;

namespace Quorvant {

class IBrowserView;
class TForm1;

class TLivePreview : public QObject
{
    Q_OBJECT
public:
    explicit TLivePreview(TForm1 &form);

    bool isOn() const { return m_on; }
    void setOn(bool on);
    QAction *menuAction() const { return m_action; }
    QCheckBox *checkBox() const { return m_check; }
    void setDelay(int ms) { m_timer.setInterval(ms); }
    // The pane beside the editor (created the first time it is needed).
    QDockWidget *besidePane() const { return m_dock; }
    IBrowserView *besideBrowser() const { return m_view; }
    // What the pane was last told to show.
    QUrl paneUrl() const;
    // True when the preview was written and shown again.
    bool followNow();

    static QString iniSection() { return QStringLiteral("PREVIEW"); }
    static QString iniKey() { return QStringLiteral("LIVEPREVIEW"); }

private:
    void textChanged();
    bool previewShowing() const;
    bool previewPageShowing() const;
    void placePane();
    void showInPane(const QUrl &url);

    TForm1 &m_form;
    QAction *m_action = nullptr;
    QCheckBox *m_check = nullptr;
    QDockWidget *m_dock = nullptr;
    IBrowserView *m_view = nullptr;
    QString m_paneFile;
    QTimer m_timer;
    bool m_on = false;
};

} // namespace Quorvant
