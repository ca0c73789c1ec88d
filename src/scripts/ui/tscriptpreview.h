// The embedded browser of a script library window. The browser engine is
// started the first time the preview is shown, never before.
#pragma once

#include <QUrl>
#include <QWidget>

class QWebEngineView;

namespace Quorvant {

class TScriptPreview : public QWidget
{
    Q_OBJECT
public:
    explicit TScriptPreview(const QString &browserName, QWidget *parent = nullptr);

    // Shows url now if the browser exists, else once it is created.
    void navigate(const QUrl &url);
    QUrl url() const { return m_url; }
    // nullptr before the preview was first shown.
    QWebEngineView *browser() const { return m_view; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    QString m_name;
    QWebEngineView *m_view = nullptr;
    QUrl m_url;
};

} // namespace Quorvant
