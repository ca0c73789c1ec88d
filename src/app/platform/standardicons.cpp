#include "standardicons.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QPointer>
#include <QScreen>

namespace Quorvant {

namespace {

// Icons are drawn at 16 to 32 pixels in this program; pictures larger than
// this many device pixels are left out of the shared copy.
constexpr int LargestLogicalSize = 32;

int largestDevicePixels()
{
    qreal ratio = 1.0;
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        for (const QScreen *screen : QGuiApplication::screens())
            ratio = qMax(ratio, screen->devicePixelRatio());
    }
    return qCeil(LargestLogicalSize * ratio);
}

const QIcon &sharedIcon(QStyle::StandardPixmap which)
{
    static QPointer<QStyle> madeBy;
    static QHash<int, QIcon> made;
    QStyle *style = QApplication::style();
    if (madeBy != style) {
        made.clear();
        madeBy = style;
    }
    auto found = made.constFind(which);
    if (found != made.constEnd())
        return *found;
    QIcon lean;
    if (style) {
        const QIcon full = style->standardIcon(which);
        const int largest = largestDevicePixels();
        QList<QSize> sizes = full.availableSizes();
        if (sizes.isEmpty())
            sizes = {QSize(16, 16), QSize(LargestLogicalSize, LargestLogicalSize)};
        QSize biggestKept;
        for (const QSize &size : std::as_const(sizes)) {
            if (size.width() > largest && biggestKept.isValid())
                continue;
            for (const QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled, QIcon::Active, QIcon::Selected}) {
                if (mode != QIcon::Normal && full.availableSizes(mode).isEmpty())
                    continue;
                lean.addPixmap(full.pixmap(size, mode), mode);
            }
            if (!biggestKept.isValid() || size.width() > biggestKept.width())
                biggestKept = size;
        }
        // A style whose icon has no picture small enough still gets one.
        if (lean.isNull())
            lean = full;
    }
    return *made.insert(which, lean);
}

class TStandardIconEngine final : public QIconEngine
{
public:
    explicit TStandardIconEngine(QStyle::StandardPixmap which) : m_which(which) {}

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        sharedIcon(m_which).paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return sharedIcon(m_which).pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        return sharedIcon(m_which).pixmap(size, scale, mode, state);
    }
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return sharedIcon(m_which).actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return sharedIcon(m_which).availableSizes(mode, state);
    }
    bool isNull() override { return false; }
    QString key() const override { return QStringLiteral("QuorvantStandardIcon"); }
    QIconEngine *clone() const override { return new TStandardIconEngine(m_which); }

private:
    QStyle::StandardPixmap m_which;
};

} // namespace

QIcon standardIcon(QStyle::StandardPixmap which)
{
    return QIcon(new TStandardIconEngine(which));
}

QIcon themeIcon(const QString &freedesktopName, const QIcon &fallback)
{
    return QIcon::hasThemeIcon(freedesktopName) ? QIcon::fromTheme(freedesktopName) : fallback;
}

QIcon ownActionIcon(const QString &freedesktopName)
{
    return QIcon(QStringLiteral(":/quorvant/platform/icons/%1.svg").arg(freedesktopName));
}

} // namespace Quorvant
