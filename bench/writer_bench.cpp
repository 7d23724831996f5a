// The document writer alone: a million short text lines through pages into a PDF file.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/file_system.h"
#include "platform/private_folder.h"
#include "writer/document_writer.h"

namespace {

void BM_WriterMillionLines(benchmark::State& state) {
  const int lines = static_cast<int>(state.range(0));
  vellumox::PrivateFolder folder;
  if (folder.Path().empty()) {
    state.SkipWithError("no temporary folder");
    return;
  }
  const std::string output = folder.File("bench.pdf");
  vellumox::ConversionSettings settings;
  settings.outputfile = output;
  int64_t bytes = 0;
  std::string line;
  for (auto _ : state) {
    vellumox::DocumentWriter writer;
    writer.Initialize(settings);
    writer.StartPDF();
    writer.WriteFrame({});
    writer.StartPage();
    const int32_t per_page = writer.geometry().LinesPerPage;
    int32_t on_page = 1;
    for (int i = 0; i < lines; ++i) {
      if (on_page >= per_page) {
        writer.EndPage();
        writer.StartPage();
        on_page = 1;
      }
      line = "Line number ";
      line += std::to_string(i);
      line += " of the benchmark";
      writer.page().ShowOnNextLine(line);
      ++on_page;
    }
    writer.EndPage();
    writer.EndPDF();
    if (!writer.Succeeded()) state.SkipWithError("conversion failed");
    bytes += vellumox::FileLength(output);
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * lines);
  state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_WriterMillionLines)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
