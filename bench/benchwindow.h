// Helpers for benchmarks that drive the real main window.
#pragma once

#include <benchmark/benchmark.h>

#include <QSize>

#include <memory>

namespace Quorvant {
class TDocumentSet;
class TForm1;
}

namespace QuorvantBench {

// The main window with every subsystem, shown (at the given size, if any)
// and exposed, its first events handled.
std::unique_ptr<Quorvant::TForm1> showMainWindow(QSize size = {});

// Closes every document without questions.
void closeAllDocuments(Quorvant::TDocumentSet *docs);

// A message box is an error that stops the benchmark, except the warning
// about a huge line, which opening a single-line file must give.
bool failIfDialogs(benchmark::State &state, bool longLineWarningExpected = false);

} // namespace QuorvantBench
