#include "catalogueicons.h"

#include <QFile>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

#include <memory>

namespace Quorvant {

namespace {

QString iconPath(const QString &name)
{
    return QStringLiteral(":/quorvant/icons/%1.svg").arg(name);
}

// Renders the picture itself, so no image plug-in is needed and every size
// and screen scale is drawn from the vector source. The picture is read when
// it is first drawn: most of the hundreds of icons sit in menus nobody has
// opened yet.
class SvgIconEngine : public QIconEngine
{
public:
    explicit SvgIconEngine(const QString &path)
        : m_path(path)
    {
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State) override
    {
        if (!m_renderer)
            m_renderer = std::make_unique<QSvgRenderer>(m_path);
        painter->save();
        if (mode == QIcon::Disabled)
            painter->setOpacity(painter->opacity() * 0.35);
        m_renderer->render(painter, QRectF(rect));
        painter->restore();
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return scaledPixmap(size, mode, state, 1.0);
    }

    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        const QSize device = size * scale;
        QPixmap pm(device);
        pm.fill(Qt::transparent);
        {
            QPainter p(&pm);
            p.setRenderHint(QPainter::Antialiasing);
            paint(&p, QRect(QPoint(0, 0), device), mode, state);
        }
        pm.setDevicePixelRatio(scale);
        return pm;
    }

    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override { return size; }
    QIconEngine *clone() const override { return new SvgIconEngine(m_path); }
    QString key() const override { return QStringLiteral("QuorvantSvg"); }

private:
    QString m_path;
    std::unique_ptr<QSvgRenderer> m_renderer;
};

} // namespace

bool catalogueIconExists(const QString &name)
{
    return !name.isEmpty() && QFile::exists(iconPath(name));
}

QIcon catalogueIcon(const QString &name)
{
    if (!catalogueIconExists(name))
        return {};
    return QIcon(new SvgIconEngine(iconPath(name)));
}

} // namespace Quorvant
