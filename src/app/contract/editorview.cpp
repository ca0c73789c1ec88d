#include "editorview.h"

namespace Quorvant {

QString IEditorView::text() const
{
    return source() ? source()->text() : QString();
}

void IEditorView::setText(const QString &text)
{
    if (auto *b = source())
        b->setText(text);
}

QStringList IEditorView::lines() const
{
    return source() ? source()->lines() : QStringList();
}

QString IEditorView::selText() const
{
    return source() ? source()->selText() : QString();
}

void IEditorView::setSelText(const QString &text)
{
    if (auto *b = source())
        b->setSelText(text);
}

CaretPoint IEditorView::caretPoint() const
{
    return source() ? source()->caretPoint() : CaretPoint{};
}

void IEditorView::setCaretPoint(CaretPoint p)
{
    if (auto *b = source())
        b->setCaretPoint(p);
}

bool IEditorView::loadFromFile(const QString &path, QString *error)
{
    if (!source()) {
        if (error)
            *error = QStringLiteral("No document to load %1 into.").arg(path);
        return false;
    }
    return source()->loadFromFile(path, error);
}

bool IEditorView::saveToFile(const QString &path, QString *error)
{
    if (!source()) {
        if (error)
            *error = QStringLiteral("No document to save as %1.").arg(path);
        return false;
    }
    return source()->saveToFile(path, error);
}

bool IEditorView::isReadOnly() const
{
    return source() && source()->isReadOnly();
}

void IEditorView::setReadOnly(bool readOnly)
{
    if (auto *b = source())
        b->setReadOnly(readOnly);
}

} // namespace Quorvant
