// Listing picture folders on real trees.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

#include "Error/Error.h"
#include "File/File.h"

namespace {

class FileList : public ::testing::Test {
 protected:
  QTemporaryDir Temp;
  QString Root() const { return Temp.path(); }

  void Touch(const QString& relative) {
    const QString path = Root() + "/" + relative;
    QDir().mkpath(PathOfFile(path));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
  }
  QStringList Relative(const QStringList& list) const {
    QStringList result;
    for (const QString& path : list) result << path.mid(Root().size() + 1);
    result.sort();
    return result;
  }
  QStringList List(const QString& spec, bool recursive, const QString& directory = {}) {
    QStringList list;
    LoadFilesList(directory.isEmpty() ? Root() : directory, spec, list, recursive);
    return list;
  }
};

}  // namespace

TEST_F(FileList, SpecListsRecursionAndHiddenEntries) {
  for (const char* name : {"a.jpg", "B.JPG", "c.Png", "d.gif", "e.jpeg.txt", ".hidden.jpg",
                           "sub/f.jpg", "sub/deeper/g.png", ".secret/h.jpg", "sub/.x/i.jpg"})
    Touch(name);
  QDir().mkpath(Root() + "/emptydir");

  const QString spec = "*.jpg;*.png";
  EXPECT_EQ(Relative(List(spec, false)), (QStringList{"B.JPG", "a.jpg", "c.Png"}));
  EXPECT_EQ(FunStatContext.Status, fsPerfect);
  EXPECT_EQ(Relative(List(spec, true)),
            (QStringList{"B.JPG", "a.jpg", "c.Png", "sub/deeper/g.png", "sub/f.jpg"}));
  EXPECT_EQ(Relative(List("", false)),
            (QStringList{"B.JPG", "a.jpg", "c.Png", "d.gif", "e.jpeg.txt"}));

  // Full paths with exactly one delimiter, and the list is appended to, not replaced.
  QStringList list{"kept"};
  LoadFilesList(Root() + "/sub/", "*.jpg", list, false);
  EXPECT_EQ(list, (QStringList{"kept", Root() + "/sub/f.jpg"}));
}

TEST_F(FileList, SymbolicLinks) {
  Touch("pics/a.jpg");
  Touch("elsewhere/b.jpg");
  // A cycle back to the top, a link to a folder outside, a link to a file, a dangling link.
  ASSERT_EQ(::symlink("..", QFile::encodeName(Root() + "/pics/up").constData()), 0);
  ASSERT_EQ(::symlink("../elsewhere", QFile::encodeName(Root() + "/pics/out").constData()), 0);
  ASSERT_EQ(
      ::symlink("../elsewhere/b.jpg", QFile::encodeName(Root() + "/pics/b-link.jpg").constData()),
      0);
  ASSERT_EQ(::symlink("missing.jpg", QFile::encodeName(Root() + "/pics/dangling.jpg").constData()),
            0);

  EXPECT_EQ(Relative(List("*.jpg", true, Root() + "/pics")),
            (QStringList{"pics/a.jpg", "pics/b-link.jpg"}));
  EXPECT_EQ(FunStatContext.Status, fsPerfect);
  EXPECT_EQ(Relative(List("*.jpg", true)),
            (QStringList{"elsewhere/b.jpg", "pics/a.jpg", "pics/b-link.jpg"}));
}

TEST_F(FileList, NothingToListAndFailures) {
  QStringList list;
  for (const char* nothing : {"", "C:", "pictures"}) {
    FunStatContext.Reset(fsBeginError);
    LoadFilesList(nothing, "", list, true);
    EXPECT_EQ(FunStatContext.Status, fsPerfect) << nothing;
  }
  EXPECT_TRUE(list.isEmpty());

  const QString missing = Root() + "/missing";
  LoadFilesList(missing, "*.jpg", list, false);
  EXPECT_EQ(FunStatContext.Status, fsError);
  EXPECT_EQ(FunStatContext.Description, "Failed to load directory.");
  EXPECT_EQ(FunStatContext.Parameter1, missing);
  EXPECT_EQ(FunStatContext.SystemErrorCode, static_cast<uint32_t>(ENOENT));
  EXPECT_EQ(FunStatContext.Function, "LoadFilesList");

  Touch("plain.jpg");
  LoadFilesList(Root() + "/plain.jpg", "", list, false);
  EXPECT_EQ(FunStatContext.SystemErrorCode, static_cast<uint32_t>(ENOTDIR));
  EXPECT_TRUE(list.isEmpty());

  // A sub-folder that fails does not fail the folder above it.
  Touch("top/a.jpg");
  Touch("top/sub/b.jpg");
  ::chmod(QFile::encodeName(Root() + "/top/sub").constData(), 0);
  LoadFilesList(Root() + "/top", "", list, true);
  ::chmod(QFile::encodeName(Root() + "/top/sub").constData(), 0755);
  EXPECT_EQ(FunStatContext.Status, fsPerfect);
  EXPECT_TRUE(list.contains(Root() + "/top/a.jpg"));
}
