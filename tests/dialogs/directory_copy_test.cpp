#include "dialogs/directory_copy.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

void Write(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray Read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

class CopyDirectoryTest : public ::testing::Test {
protected:
    QTemporaryDir root;
    QString Path(const QString &name) const { return root.path() + QLatin1Char('/') + name; }
};

TEST_F(CopyDirectoryTest, CopiesFilesAndNestedFoldersIntoANewFolderAndRestoresTheCurrentDirectory)
{
    Write(Path("tpl/template.bmp"), "BM background");
    Write(Path("tpl/.hidden"), "kept too");
    Write(Path("tpl/a/b/deep.rtf"), "two levels down");
    QDir().mkpath(Path("tpl/empty"));
    const QString before = QDir::currentPath();

    ASSERT_TRUE(CopyDirectory(Path("tpl/"), Path("cards/New/")));
    EXPECT_EQ(QDir::currentPath(), before);
    EXPECT_EQ(Read(Path("cards/New/template.bmp")), "BM background");
    EXPECT_EQ(Read(Path("cards/New/.hidden")), "kept too");
    EXPECT_EQ(Read(Path("cards/New/a/b/deep.rtf")), "two levels down");
    EXPECT_TRUE(QFileInfo(Path("cards/New/empty")).isDir());
    // Without trailing separators alike.
    ASSERT_TRUE(CopyDirectory(Path("tpl"), Path("plain")));
    EXPECT_EQ(Read(Path("plain/a/b/deep.rtf")), "two levels down");
}

TEST_F(CopyDirectoryTest, LeavesOutTheHalfWrittenFilesOfAKilledProgram)
{
    Write(Path("tpl/Card.crd"), "whole");
    Write(Path("tpl/.Card.crd.tessaly-a1B2c3"), "half");
    ASSERT_TRUE(CopyDirectory(Path("tpl/"), Path("card/")));
    EXPECT_EQ(QDir(Path("card")).entryList(QDir::Files | QDir::Hidden), QStringList{"Card.crd"});
}

TEST_F(CopyDirectoryTest, ReplacesAFileOfTheSameName)
{
    Write(Path("tpl/Card.crd"), "new");
    Write(Path("card/Card.crd"), "old and longer");
    ASSERT_TRUE(CopyDirectory(Path("tpl/"), Path("card/")));
    EXPECT_EQ(Read(Path("card/Card.crd")), "new");
}

TEST_F(CopyDirectoryTest, EmptySourceFolderGivesAnEmptyCopyAndEmptyPathNothing)
{
    QDir().mkpath(Path("empty"));
    EXPECT_TRUE(CopyDirectory(Path("empty/"), Path("copy/")));
    EXPECT_TRUE(QDir(Path("copy")).isEmpty());
    EXPECT_FALSE(CopyDirectory(QString(), Path("never/")));
    EXPECT_FALSE(QFileInfo::exists(Path("never")));
}

TEST_F(CopyDirectoryTest, AMissingSourceRaisesAndCreatesNothing)
{
    EXPECT_THROW(CopyDirectory(Path("missing/"), Path("dest/")), EDirectoryError);
    EXPECT_FALSE(QFileInfo::exists(Path("dest")));
}

TEST_F(CopyDirectoryTest, AFileThatCannotBeCopiedMakesTheCopyFail)
{
    Write(Path("tpl/ok.rtf"), "fine");
    ASSERT_TRUE(QFile::link(Path("gone.bmp"), Path("tpl/picture.bmp")));  // a link to nothing
    EXPECT_FALSE(CopyDirectory(Path("tpl/"), Path("dest/")));
    EXPECT_EQ(Read(Path("dest/ok.rtf")), "fine");  // the rest is still copied
}

TEST_F(CopyDirectoryTest, APipeIsNotReadAndMakesTheCopyFail)
{
    Write(Path("tpl/ok.rtf"), "fine");
    ASSERT_EQ(mkfifo(QFile::encodeName(Path("tpl/pipe")).constData(), 0600), 0);
    EXPECT_FALSE(CopyDirectory(Path("tpl/"), Path("dest/")));  // returns at once, no wait for a writer
    EXPECT_EQ(Read(Path("dest/ok.rtf")), "fine");
}

TEST_F(CopyDirectoryTest, LinksToFoldersAreNotFollowed)
{
    Write(Path("outside/secret.txt"), "not the template's");
    Write(Path("tpl/template.bmp"), "BM");
    ASSERT_TRUE(QFile::link(Path("outside"), Path("tpl/elsewhere")));
    ASSERT_TRUE(QFile::link(Path("tpl"), Path("tpl/loop")));
    ASSERT_TRUE(CopyDirectory(Path("tpl/"), Path("dest/")));
    EXPECT_EQ(Read(Path("dest/template.bmp")), "BM");
    EXPECT_FALSE(QFileInfo::exists(Path("dest/elsewhere")));
    EXPECT_FALSE(QFileInfo::exists(Path("dest/loop")));
}

TEST_F(CopyDirectoryTest, ACopyIntoItsOwnSourceIsRefused)
{
    Write(Path("tpl/sub/file"), "x");
    EXPECT_FALSE(CopyDirectory(Path("tpl/"), Path("tpl/sub/copy/")));
    EXPECT_FALSE(CopyDirectory(Path("tpl"), Path("tpl")));
    EXPECT_FALSE(QFileInfo::exists(Path("tpl/sub/copy")));
    // A sibling whose name merely starts the same is no part of the source.
    EXPECT_TRUE(CopyDirectory(Path("tpl"), Path("tpl2")));
}

} // namespace
