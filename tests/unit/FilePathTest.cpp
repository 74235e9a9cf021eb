// Path texts, file-spec matching and command-line texts.
#include <QDir>
#include <gtest/gtest.h>

#include "File/CommandLine.h"
#include "File/File.h"

TEST(FilePath, DelimiterDirectoryAndName) {
  EXPECT_EQ(PathWithDelimiter(""), "");
  EXPECT_EQ(PathWithDelimiter("/pics"), "/pics/");
  EXPECT_EQ(PathWithDelimiter("/pics/"), "/pics/");
  EXPECT_EQ(PathOfFile("/pics/a.jpg"), "/pics/");
  EXPECT_EQ(PathOfFile("a.jpg"), "");
  EXPECT_EQ(PathOfFile("/"), "/");
  EXPECT_EQ(NameOfFile("/pics/a.jpg"), "a.jpg");
  EXPECT_EQ(NameOfFile("/pics/"), "");
  // Drive names keep their Windows meaning but never match an absolute Linux path.
  EXPECT_TRUE(IsDriveName("C:"));
  EXPECT_FALSE(IsDriveName(":"));
  EXPECT_FALSE(IsDriveName("/media/disk:"));
  EXPECT_EQ(PathOfFile("C:"), "");
  EXPECT_EQ(NameOfFile("C:"), "C:");
  EXPECT_EQ(PathOfFile("/media/disk:"), "/media/");
}

TEST(FilePath, ExtensionsAndLinkNames) {
  const QStringList extensions{".bmp", ".jpg", ".png"};
  EXPECT_TRUE(HasExtensionIn("/p/a.JPG", extensions));
  EXPECT_FALSE(HasExtensionIn("/p/a.JPG", extensions, Qt::CaseSensitive));
  EXPECT_FALSE(HasExtensionIn("/p.jpg/a", extensions));
  EXPECT_FALSE(HasExtensionIn("/p/a.jpeg", extensions));
  EXPECT_TRUE(IsLinkFileName("/x/Backdropper.DESKTOP"));
  EXPECT_FALSE(IsLinkFileName("/x.desktop/file"));
  EXPECT_EQ(GetLinkExtension("/usr/bin/true"), ".desktop");
}

TEST(FilePath, FullPathIsAbsoluteAndNormal) {
  EXPECT_EQ(FullPathOf(""), "");
  EXPECT_EQ(FullPathOf("C:"), "C:");
  EXPECT_EQ(FullPathOf("/a//b/./c/../d/"), "/a/b/d");
  EXPECT_EQ(FullPathOf("/../.."), "/");
  EXPECT_EQ(FullPathOf("/"), "/");
  EXPECT_EQ(FullPathOf("rel/x"), QDir::currentPath() + "/rel/x");
  EXPECT_EQ(FullPathOf("~/x"), QDir::currentPath() + "/~/x");  // no shell expansion
  EXPECT_EQ(FullPathOf("/does/not/exist/.."), "/does/not");
}

TEST(FilePath, SamePathIsExactAfterNormalising) {
  EXPECT_TRUE(IsSamePath("/a/b", "/a/./b/"));
  EXPECT_TRUE(IsSamePath("/a/c/../b", "/a/b"));
  EXPECT_TRUE(IsSamePath("x", QDir::currentPath() + "/x"));
  EXPECT_FALSE(IsSamePath("/a/B", "/a/b"));  // letter case names another file here
  EXPECT_FALSE(IsSamePath("", ""));
  for (const char* odd : {"/a/*", "/a/?", "/a/\"", "/a/<", "/a/>", "/a/|"}) {
    EXPECT_FALSE(IsSamePath(odd, odd)) << odd;
  }
}

TEST(FilePath, FileSpecLists) {
  const QString spec = "*.jpg;*.jpeg; *.png ;";
  EXPECT_TRUE(MatchesFileSpec("a.jpg", spec));
  EXPECT_TRUE(MatchesFileSpec("A.JPG", spec));
  EXPECT_TRUE(MatchesFileSpec("b.Png", spec));
  EXPECT_FALSE(MatchesFileSpec("a.jpg.txt", spec));
  EXPECT_FALSE(MatchesFileSpec("jpg", spec));
  EXPECT_TRUE(MatchesFileSpec("anything", ""));
  EXPECT_TRUE(MatchesFileSpec("noext", "*.*"));
  EXPECT_TRUE(MatchesFileSpec("img_0042.tif", "img_????.t*"));
  EXPECT_FALSE(MatchesFileSpec("img_42.tif", "img_????.t*"));
  EXPECT_TRUE(MatchesFileSpec("a*b", "a*b"));
  EXPECT_TRUE(MatchesFileSpec("ÄRGER.JPG", "ärger.jpg"));
  EXPECT_TRUE(MatchesFileSpec("aXbXc", "a*b*c"));
  EXPECT_FALSE(MatchesFileSpec("aXbXd", "a*b*c"));
}

TEST(FilePath, CommandLineTexts) {
  EXPECT_EQ(SplitCommandLine(" a  b\t"), (QStringList{"a", "b"}));
  EXPECT_EQ(SplitCommandLine(" \"a b\""), (QStringList{"a b"}));
  EXPECT_EQ(SplitCommandLine("\"say \"\"hi\"\"\" \"\""), (QStringList{"say \"hi\"", ""}));
  EXPECT_EQ(SplitCommandLine("C:\\dir\\ x"), (QStringList{"C:\\dir\\", "x"}));
  EXPECT_EQ(SplitCommandLine("\"unclosed arg"), (QStringList{"unclosed arg"}));
  const QStringList odd{"a b", "", "q\"uote", "back\\slash", "100%", "$HOME", "tab\there"};
  EXPECT_EQ(SplitCommandLine(JoinCommandLine(odd)), odd);
  EXPECT_EQ(JoinCommandLine({"/Uninstall"}), "/Uninstall");
}
