// Rebuilding the picture list: LoadFilesList over a large folder tree, alone and followed by
// the picture list's ordering of the entry.
//   FilesListBench [--tree=DIR] [Google Benchmark options]
// Without --tree it builds a tree of 10,000 files in 100 folders of its own.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstring>
#include <memory>

#include "File/File.h"
#include "MainDialog/MainDialog.h"

namespace {

QString TreeDirectory;
const QString PictureSpec = QStringLiteral("*.bmp;*.gif;*.jpg;*.jpeg;*.png;*.tif;*.tiff;*.webp");

void MakeTree(const QString& root, int folders, int filesPerFolder) {
  for (int d = 0; d < folders; ++d) {
    const QString folder = QStringLiteral("%1/p%2/s%3").arg(root).arg(d / 100).arg(d % 100);
    QDir().mkpath(folder);
    for (int f = 0; f < filesPerFolder; ++f) {
      static const char* const extensions[] = {".jpg", ".png", ".JPG", ".txt"};
      QFile(QStringLiteral("%1/img%2%3").arg(folder).arg(f).arg(QLatin1String(extensions[f % 4])))
          .open(QIODevice::WriteOnly);
    }
  }
}

void BM_LoadFilesList(benchmark::State& state) {
  qsizetype count = 0;
  for (auto _ : state) {
    QStringList list;
    LoadFilesList(TreeDirectory, PictureSpec, list, true);
    count = list.size();
    benchmark::DoNotOptimize(list);
  }
  state.counters["files"] = static_cast<double>(count);
}
BENCHMARK(BM_LoadFilesList)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RebuildPictureList(benchmark::State& state) {
  qsizetype count = 0;
  for (auto _ : state) {
    QStringList list;
    LoadFilesList(TreeDirectory, PictureSpec, list, true);
    SortPictureFileNames(list);
    count = list.size();
    benchmark::DoNotOptimize(list);
  }
  state.counters["files"] = static_cast<double>(count);
}
BENCHMARK(BM_RebuildPictureList)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_MatchesFileSpec(benchmark::State& state) {
  const TFileSpec spec(PictureSpec);
  const QString names[] = {QStringLiteral("IMG_0042.JPG"), QStringLiteral("notes.txt"),
                           QStringLiteral("holiday photo.webp")};
  for (auto _ : state)
    for (const QString& name : names) benchmark::DoNotOptimize(spec.Matches(name));
}
BENCHMARK(BM_MatchesFileSpec);

}  // namespace

int main(int argc, char** argv) {
  std::unique_ptr<QTemporaryDir> own;
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--tree=", 7) == 0)
      TreeDirectory = QFile::decodeName(argv[i] + 7);
    else
      argv[kept++] = argv[i];
  }
  argc = kept;
  if (TreeDirectory.isEmpty()) {
    own = std::make_unique<QTemporaryDir>();
    TreeDirectory = own->path();
    MakeTree(TreeDirectory, 100, 100);
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
