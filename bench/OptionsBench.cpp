// Keeping the options as they change: one write of the whole options file (every key of the
// window, 100 folders, 20 favourites) when a value changed, and the check that finds nothing
// changed, which is all a tick with no change costs besides comparing a few values.
//   OptionsBench [Google Benchmark options]
#include <QApplication>
#include <QCheckBox>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

#include "FavoritesDialog.h"
#include "MainDialog/MainDialog.h"
#include "StoredTextList/StoredTextList.h"

namespace {

std::unique_ptr<TMainForm> Form;

void BM_WriteOptions(benchmark::State& state) {
  for (auto _ : state) {
    // A change, so the file is written, synced and renamed into place.
    Form->RandomWallpaperCheckBox->toggle();
    if (Form->OptionsList->SaveChanges() != TStoredTextList::TSaveOutcome::Written)
      state.SkipWithError("not written");
  }
}
BENCHMARK(BM_WriteOptions)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_NothingChanged(benchmark::State& state) {
  Form->OptionsList->SaveChanges();
  for (auto _ : state) {
    if (Form->OptionsList->SaveChanges() != TStoredTextList::TSaveOutcome::Unchanged)
      state.SkipWithError("written");
  }
}
BENCHMARK(BM_NothingChanged)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QTemporaryDir dir;
  Form = std::make_unique<TMainForm>();
  Form->CreateOptionsList(dir.filePath(QStringLiteral("Backdropper.ini")));
  for (int i = 0; i < TMainForm::MaxDirectoryCount; ++i)
    Form->AddDirectoryEntry(dir.filePath(QStringLiteral("Pictures/Folder %1").arg(i)), true, true);
  for (int i = 0; i < 20; ++i)
    Form->Favorites->AddFavorite(dir.filePath(QStringLiteral("Pictures/Folder %1/a.jpg").arg(i)));
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  Form.reset();
  return 0;
}
