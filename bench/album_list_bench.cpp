// The album builder's lists at 5,000 pictures: one move, add all, copy all, remove all, each
// through the window as a click does it (offscreen), so the cost of showing the change counts.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QListWidget>
#include <QPushButton>

#include <cstdio>
#include <string>

#include "album/album_model.h"
#include "album/album_window.h"
#include "desktop/desktop_shell.h"
#include "desktop/user_dialogs.h"
#include "images/image_codec.h"
#include "platform/file_system.h"
#include "platform/private_folder.h"

namespace {

constexpr int kPictures = 5000;

struct NoShell : vellumox::DesktopShell {
  void OpenPath(const std::string&) override {}
  void OpenUrl(const std::string&) override {}
  bool StartProgram(const std::string&, const std::vector<std::string>&,
                    const std::string&) override {
    return false;
  }
};

// A folder of 5,000 small files with the album window open on it.
struct Bench {
  Bench() {
    for (int i = 0; i < kPictures; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "/photo%05d.jpg", i);
      vellumox::WriteWholeFile(folder.Path() + name, "not decoded");
    }
    model.SetFolder(folder.Path());
    window = std::make_unique<vellumox::AlbumWindow>(model, *codec, vellumox::AlbumPlaces{}, shell,
                                                     dialogs);
  }
  void Click(const char* name) { window->findChild<QPushButton*>(name)->click(); }
  QListWidget* List(const char* name) { return window->findChild<QListWidget*>(name); }

  vellumox::PrivateFolder folder;
  std::unique_ptr<vellumox::ImageCodec> codec = vellumox::MakeLibraryImageCodec();
  vellumox::AlbumModel model{vellumox::AlbumPatterns(false), false};
  NoShell shell;
  vellumox::SystemDialogs dialogs;
  std::unique_ptr<vellumox::AlbumWindow> window;
};

Bench& Shared() {
  static Bench bench;
  return bench;
}

void BM_MoveOneEntry(benchmark::State& state) {
  Bench& b = Shared();
  b.Click("btnCopy");
  QListWidget* album = b.List("lstImages");
  album->clearSelection();
  album->setCurrentRow(kPictures / 2);
  bool up = true;
  for (auto _ : state) {
    b.Click(up ? "btnUp" : "btnDown");
    up = !up;
  }
}
BENCHMARK(BM_MoveOneEntry)->Unit(benchmark::kMillisecond);

void BM_CopyAll(benchmark::State& state) {
  Bench& b = Shared();
  for (auto _ : state) {
    state.PauseTiming();
    b.model.album.Reset({});
    b.window->ShowModel();
    state.ResumeTiming();
    b.Click("btnCopy");
  }
}
BENCHMARK(BM_CopyAll)->Unit(benchmark::kMillisecond);

void BM_AddAllSelected(benchmark::State& state) {
  Bench& b = Shared();
  for (auto _ : state) {
    state.PauseTiming();
    b.model.album.Reset({});
    b.window->ShowModel();
    b.List("flImages")->setCurrentRow(0);
    b.List("flImages")->selectAll();
    state.ResumeTiming();
    b.Click("btnAdd");
  }
}
BENCHMARK(BM_AddAllSelected)->Unit(benchmark::kMillisecond);

void BM_RemoveAll(benchmark::State& state) {
  Bench& b = Shared();
  for (auto _ : state) {
    state.PauseTiming();
    b.Click("btnCopy");
    b.List("lstImages")->selectAll();
    state.ResumeTiming();
    b.Click("btnRemove");
  }
}
BENCHMARK(BM_RemoveAll)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
