// Where a path leads once its links are followed, and when two paths name one file.
#include "platform/system/FileError.h"
#include "platform/system/FilePlaces.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <unistd.h>

namespace {

TEST(FilePlaces, LinksAtTheEndAreFollowedAsTheSystemFollowsThem)
{
    QTemporaryDir dir;
    const QString root = dir.path();
    ASSERT_TRUE(QDir(root).mkpath(QStringLiteral("a/b")));
    QFile(root + QStringLiteral("/a/b/file")).open(QIODevice::WriteOnly);
    const struct {
        const char* name;
        QString link, target; // made before: link -> target (as written)
        QString path, expected;
    } cases[] = {
        {"no link", {}, {}, root + "/a/b/file", root + "/a/b/file"},
        {"absolute", root + "/abs", root + "/a/b/file", root + "/abs", root + "/a/b/file"},
        // A relative target is read from the link's folder, its ".." kept as written.
        {"relative", root + "/a/rel", "../a/b/file", root + "/a/rel", root + "/a/../a/b/file"},
        {"a chain", root + "/chain", "a/rel", root + "/chain", root + "/a/../a/b/file"},
        {"dangling", root + "/dangling", "missing", root + "/dangling", root + "/missing"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.link.isEmpty())
            ASSERT_TRUE(QFile::link(c.target, c.link));
        EXPECT_EQ(platform::FollowLinks(c.path), c.expected);
    }
    ASSERT_TRUE(QFile::link(QStringLiteral("loop"), root + QStringLiteral("/loop")));
    EXPECT_THROW(platform::FollowLinks(root + QStringLiteral("/loop")), platform::FileError);
}

TEST(FilePlaces, OneFileIsKnownWhateverLeadsToIt)
{
    QTemporaryDir dir;
    const QString root = dir.path();
    ASSERT_TRUE(QDir(root).mkpath(QStringLiteral("sub")));
    QFile(root + QStringLiteral("/file")).open(QIODevice::WriteOnly);
    QFile(root + QStringLiteral("/other")).open(QIODevice::WriteOnly);
    ASSERT_EQ(::link(QFile::encodeName(root + "/file").constData(), QFile::encodeName(root + "/second").constData()), 0);
    ASSERT_TRUE(QFile::link(root, root + QStringLiteral("/sub/up")));
    const struct {
        QString first, second;
        bool same;
    } cases[] = {
        {root + "/file", root + "/./sub/../file", true},
        {root + "/file", root + "/second", true},         // a second name
        {root + "/file", root + "/sub/up/file", true},    // through a linked folder
        {root + "/file", root + "/other", false},
        {root + "/absent", root + "/sub/up/absent", true}, // not there: the same name in the same folder
        {root + "/absent", root + "/sub/absent", false},
        {root + "/absent", root + "/file", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE((c.first + " / " + c.second).toStdString());
        EXPECT_EQ(platform::SameFile(c.first, c.second), c.same);
        EXPECT_EQ(platform::SameFile(c.second, c.first), c.same);
    }
}

} // namespace
