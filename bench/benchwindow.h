// Helpers for benchmarks that drive the real main window.
#pragma once

#include <benchmark/benchmark.h>

namespace Quorvant {
class TDocumentSet;
}

namespace QuorvantBench {

// Closes every document without questions.
void closeAllDocuments(Quorvant::TDocumentSet *docs);

// A message box is an error that stops the benchmark, except the warning
// about a huge line, which opening a single-line file must give.
bool failIfDialogs(benchmark::State &state, bool longLineWarningExpected = false);

} // namespace QuorvantBench
