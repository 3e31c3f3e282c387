#include "common/utils/atomic_file.h"

#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace kavelin::utils;
using mirvo::test::readBytes;
using mirvo::test::TempDir;
using mirvo::test::writeBytes;

namespace {

size_t entries(const std::filesystem::path& dir) {
    return size_t(std::distance(std::filesystem::directory_iterator(dir), {}));
}

}  // namespace

TEST(AtomicFile, CreatesAndReplacesKeepingPermissions) {
    TempDir dir;
    auto file = dir / "a.ini";
    writeFileAtomic(file, "first");
    EXPECT_EQ(readBytes(file), "first");
    chmod(file.c_str(), 0640);
    writeFileAtomic(file, "second");
    EXPECT_EQ(readBytes(file), "second");
    struct stat st;
    ASSERT_EQ(stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(entries(dir.path()), 1u);
}

TEST(AtomicFile, UncommittedWriteLeavesTheOldFile) {
    TempDir dir;
    auto file = dir / "a.xml";
    writeBytes(file, "old");
    {
        TAtomicFile f(file);
        f.write("new content, never committed");
        EXPECT_TRUE(std::filesystem::exists(f.tempPath()));
        EXPECT_EQ(f.tempPath().parent_path(), file.parent_path());
    }
    EXPECT_EQ(readBytes(file), "old");
    EXPECT_EQ(entries(dir.path()), 1u);
}

TEST(AtomicFile, WriteThatBreaksOffLeavesTheOldFile) {
    TempDir dir;
    auto file = dir / "a.xml";
    writeBytes(file, "old");
    try {
        mirvo::test::FileSizeLimit limit(100);
        writeFileAtomic(file, std::string(1000, 'x'));
        FAIL() << "the write should have failed";
    } catch (const EFileWriteError& e) {
        EXPECT_EQ(e.code(), EFBIG);
    }
    EXPECT_EQ(readBytes(file), "old");
    EXPECT_EQ(entries(dir.path()), 1u);
}

TEST(AtomicFile, FailuresAreReported) {
    TempDir dir;
    EXPECT_THROW(writeFileAtomic(dir / "missing" / "a.xml", "x"), EFileWriteError);
    // A folder in the target's place cannot be replaced by a file.
    std::filesystem::create_directory(dir / "d");
    writeBytes(dir / "d" / "inner", "keep");
    EXPECT_THROW(writeFileAtomic(dir / "d", "x"), EFileWriteError);
    EXPECT_EQ(readBytes(dir / "d" / "inner"), "keep");
    EXPECT_EQ(entries(dir.path()), 1u);
}
