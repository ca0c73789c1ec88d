// Shared pieces of the toolkit tests: both editor buffers, and documents
// written with markers so a case reads as one line:
//   '|' the caret, '{' and '}' the selection (the caret at '}' unless a '|'
//   stands next to '{').
#pragma once

#include "textbuffer.h"

#include <QString>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

void PrintTo(const QString &s, std::ostream *os);

namespace Quorvant {

void PrintTo(CaretPoint p, std::ostream *os);

namespace Test {

enum class BufferKind { Memory, Scintilla };
void PrintTo(BufferKind kind, std::ostream *os);
std::string bufferKindName(const ::testing::TestParamInfo<BufferKind> &info);
std::unique_ptr<ITextBuffer> makeBuffer(BufferKind kind);

// Loads a marked document into the buffer as its saved state (not modified,
// nothing to undo beyond it).
void setMarked(ITextBuffer *buffer, const QString &marked);
// The buffer's text with its caret and selection marked.
QString marked(const ITextBuffer *buffer);

// Marked text without its markers, and the caret point of an offset in it.
QString unmarked(const QString &marked);
CaretPoint pointAtOffset(const QString &text, qsizetype offset);

// A fixture over both buffers that starts with clean toolkit globals.
class BufferTest : public ::testing::TestWithParam<BufferKind>
{
protected:
    void SetUp() override;
    void TearDown() override;
    ITextBuffer *buffer() const { return m_buffer.get(); }

private:
    std::unique_ptr<ITextBuffer> m_buffer;
};

#define QUORVANT_BOTH_BUFFERS(Suite)                                                                              \
    INSTANTIATE_TEST_SUITE_P(Buffers, Suite,                                                                      \
                             ::testing::Values(::Quorvant::Test::BufferKind::Memory,                             \
                                               ::Quorvant::Test::BufferKind::Scintilla),                         \
                             ::Quorvant::Test::bufferKindName)

} // namespace Test
} // namespace Quorvant
