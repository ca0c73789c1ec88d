// The embedded browser of a script library window. The browser engine is
// started the first time the preview is shown, never before.
#pragma once

#include <QUrl>
#include <QWidget>

namespace Quorvant {

class IBrowserView;

class TScriptPreview : public QWidget
{
    Q_OBJECT
public:
    explicit TScriptPreview(const QString &browserName, QWidget *parent = nullptr);

    // Shows url now if the browser exists, else once it is created.
    void navigate(const QUrl &url);
    QUrl url() const { return m_url; }
    // nullptr before the preview was first shown, or when the engine could
    // not be started (the preview then says why).
    IBrowserView *browser() const { return m_view; }
    // The title of the page shown, once it has loaded.
    QString title() const { return m_title; }

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QString m_name;
    IBrowserView *m_view = nullptr;
    bool m_tried = false;
    QUrl m_url;
    QString m_title;
};

} // namespace Quorvant
