// One-line documents with '|' as the caret, and small files for the stores.
#pragma once

#include "textbuffer.h"

#include <QByteArray>
#include <QString>

#include <gtest/gtest.h>

#include <ostream>

void PrintTo(const QString &s, std::ostream *os);

namespace Quorvant::Test {

// Loads text (lines joined by CR LF) with the caret at '|' as the saved state.
void setWithCaret(ITextBuffer *buffer, const QString &marked);
// The buffer's text with '|' at the caret.
QString withCaret(const ITextBuffer *buffer);

void writeBytes(const QString &path, const QByteArray &bytes);
QByteArray readBytes(const QString &path);

} // namespace Quorvant::Test
