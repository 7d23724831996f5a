// The document writer alone: a million short text lines through pages into a PDF file.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "writer/document_writer.h"
#include "writer/file_operations.h"

namespace {

void BM_WriterMillionLines(benchmark::State& state) {
  const int lines = static_cast<int>(state.range(0));
  char folder[] = "/tmp/vellumox-bench-XXXXXX";
  if (!mkdtemp(folder)) {
    state.SkipWithError("mkdtemp failed");
    return;
  }
  const std::string output = std::string(folder) + "/bench.pdf";
  vellumox::SilentInteraction ui;
  vellumox::ConversionSettings settings;
  settings.outputfile = output;
  int64_t bytes = 0;
  std::string line;
  for (auto _ : state) {
    vellumox::DocumentWriter writer(ui);
    writer.Initialize(settings);
    writer.StartPDF();
    writer.StartPage();
    vellumox::WriterState& st = writer.state();
    for (int i = 0; i < lines; ++i) {
      if (st.LineOnPage >= st.LinesPerPage) writer.PageBreak();
      line = "(Line number ";
      line += std::to_string(i);
      line += " of the benchmark)'";
      writer.EmitLine(line);
      st.LineOnPage += 1;
    }
    writer.EndPage();
    writer.EndPDF();
    if (!writer.Succeeded()) state.SkipWithError("conversion failed");
    bytes += vellumox::FileLength(output);
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * lines);
  state.SetBytesProcessed(bytes);
  std::remove(output.c_str());
  rmdir(folder);
}
BENCHMARK(BM_WriterMillionLines)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
