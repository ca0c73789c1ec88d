#include "tquicktablesmenu.h"

#include "mainwindow.h"

#include "tablebuilder.h"
#include "wizardhtml.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

namespace Quorvant {

namespace {

const char *const ColumnProperty = "quickTableColumn";
const char *const RowProperty = "quickTableRow";

void paintSquare(QToolButton *square, bool lit)
{
    square->setStyleSheet(lit ? QStringLiteral("QToolButton { background-color: yellow; border: 1px solid gray; }")
                              : QStringLiteral("QToolButton { background-color: palette(button); border: 1px solid gray; }"));
    square->setProperty("lit", lit);
}

} // namespace

Tquicktablesmenu *Tquicktablesmenu::open(TForm1 &form)
{
    auto *picker = new Tquicktablesmenu(form);
    form.setEnabled(false);
    // At the pointer, but kept on its screen.
    const QPoint at = QCursor::pos();
    picker->adjustSize();
    QPoint pos = at;
    if (QScreen *screen = QGuiApplication::screenAt(at)) {
        const QRect area = screen->availableGeometry();
        pos.setX(qMax(area.left(), qMin(at.x(), area.right() - picker->width())));
        pos.setY(qMax(area.top(), qMin(at.y(), area.bottom() - picker->height())));
    }
    picker->move(pos);
    picker->show();
    picker->activateWindow();
    return picker;
}

// No parent: a window of the disabled main window would be disabled too.
Tquicktablesmenu::Tquicktablesmenu(TForm1 &form)
    : QFrame(nullptr, Qt::Popup | Qt::FramelessWindowHint)
    , m_form(&form)
{
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setObjectName(QStringLiteral("quicktablesmenu"));
    setAttribute(Qt::WA_DeleteOnClose);
    setMouseTracking(true);

    auto *grid = new QGridLayout;
    grid->setSpacing(2);
    for (int r = 1; r <= Size; ++r) {
        for (int c = 1; c <= Size; ++c) {
            auto *square = new QToolButton(this);
            square->setObjectName(QStringLiteral("Square%1x%2").arg(c).arg(r));
            square->setFixedSize(18, 18);
            square->setProperty(ColumnProperty, c);
            square->setProperty(RowProperty, r);
            square->installEventFilter(this);
            paintSquare(square, false);
            connect(square, &QToolButton::clicked, this, [this, c, r] { choose(c, r); });
            grid->addWidget(square, r - 1, c - 1);
            m_squares.append(square);
        }
    }

    m_sizeLabel = new QLabel(this);
    m_sizeLabel->setObjectName(QStringLiteral("SizeLabel"));
    m_sizeLabel->setMinimumWidth(120);
    auto *close = new QToolButton(this);
    close->setObjectName(QStringLiteral("CloseButton"));
    close->setText(QStringLiteral("x"));
    close->setToolTip(QStringLiteral("Close"));
    connect(close, &QToolButton::clicked, this, &QWidget::close);

    auto *top = new QHBoxLayout;
    top->addWidget(m_sizeLabel, 1);
    top->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(top);
    layout->addLayout(grid);
}

Tquicktablesmenu::~Tquicktablesmenu()
{
    enableMainWindow();
}

QToolButton *Tquicktablesmenu::square(int column, int row) const
{
    if (column < 1 || column > Size || row < 1 || row > Size)
        return nullptr;
    return m_squares.at((row - 1) * Size + (column - 1));
}

void Tquicktablesmenu::pointAt(int column, int row)
{
    m_sizeLabel->setText(QStringLiteral("%1 Col(s) x %2 Row(s)").arg(column).arg(row));
    for (QToolButton *s : std::as_const(m_squares))
        paintSquare(s, s->property(ColumnProperty).toInt() <= column && s->property(RowProperty).toInt() <= row);
}

void Tquicktablesmenu::pointAtBackground()
{
    for (QToolButton *s : std::as_const(m_squares))
        paintSquare(s, false);
}

void Tquicktablesmenu::createtable(int rows, int columns)
{
    if (!m_form)
        return;
    const QStringList pieces = quickTablePieces(rows, columns);
    m_form->withBuffer([&pieces](ITextBuffer *buffer) { insertPieces(buffer, pieces); });
}

void Tquicktablesmenu::choose(int column, int row)
{
    // Enabled first, so the editor can take the focus back.
    enableMainWindow();
    createtable(row, column);
    close();
}

bool Tquicktablesmenu::eventFilter(QObject *watched, QEvent *event)
{
    if (auto *s = qobject_cast<QToolButton *>(watched); s && m_squares.contains(s)) {
        if (event->type() == QEvent::Enter)
            pointAt(s->property(ColumnProperty).toInt(), s->property(RowProperty).toInt());
        else if (event->type() == QEvent::Leave)
            pointAtBackground();
    }
    return QFrame::eventFilter(watched, event);
}

void Tquicktablesmenu::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QFrame::keyPressEvent(event);
}

void Tquicktablesmenu::hideEvent(QHideEvent *event)
{
    QFrame::hideEvent(event);
    enableMainWindow();
    // A popup hidden without being closed (focus lost) goes all the same.
    if (testAttribute(Qt::WA_DeleteOnClose))
        deleteLater();
}

void Tquicktablesmenu::enableMainWindow()
{
    if (m_form)
        m_form->setEnabled(true);
}

} // namespace Quorvant
