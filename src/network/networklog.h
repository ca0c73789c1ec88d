// The network status log: the text the network status box shows. Capped so
// a long session never grows it without bound.
#pragma once

#include <QObject>
#include <QString>

namespace Quorvant::Network {

class TNetworkLog : public QObject
{
    Q_OBJECT
public:
    static constexpr qsizetype kCap = 60000;

    explicit TNetworkLog(QObject *parent = nullptr);

    // Appends one line; a text already past the cap starts again from empty.
    void DebugOut(const QString &output);
    void clear();
    const QString &text() const { return mText; }
    QStringList lines() const;

signals:
    void cleared();
    void lineAdded(const QString &line);

private:
    QString mText;
};

} // namespace Quorvant::Network
