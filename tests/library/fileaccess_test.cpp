// clsFileAccess: opens, reads, writes, seeks, sizes, and the error-log lines of its failures.
#include <fcntl.h>
#include <string>
#include <unistd.h>

#include <gtest/gtest.h>

#include <tovcore/clsFileAccess.h>
#include <tovcore/clsTovcore.h>

#include "tests/library/library_test_util.h"
#include "tests/support/testsupport.h"

namespace {

using testsupport::ReadBytes;
using testsupport::WriteBytes;
using tovcore::clsFileAccess;

class FileAccess : public ::testing::Test {
protected:
    void SetUp() override { env.Set("XDG_DATA_HOME", dir.path() + "data"); }
    // Runs `body` with the library set up (error log on) and returns the error log's entries,
    // each without its date and time.
    std::vector<std::string> Run(const std::function<void()>& body) {
        libtest::OnFreshThread([&] {
            libtest::UseUtcAndFixedClock();
            tovcore::Global().InitializeDll(libtest::TestApp(), 5);
            body();
        });
        const std::string log = ReadBytes(dir.path() + "data/Acme/Tester/Log/Tester.err");
        std::vector<std::string> entries;
        const std::string stamp = std::string(libtest::kFixedTimeText) + " - ";
        for (std::size_t pos = log.find(stamp); pos != std::string::npos;) {
            const std::size_t next = log.find("\r\n" + stamp, pos);
            const std::size_t end = next == std::string::npos ? log.size() - 2 : next;
            entries.push_back(log.substr(pos + stamp.size(), end - pos - stamp.size()));
            pos = next == std::string::npos ? next : next + 2;
        }
        return entries;
    }
    std::string File(const char* name) const { return dir.path() + name; }

    testsupport::TempDir dir;
    libtest::EnvGuard env;
};

TEST_F(FileAccess, OpenCreatesReadsWritesAndCloses) {
    const auto errors = Run([&] {
        clsFileAccess f;
        EXPECT_FALSE(f.IsOpen());
        EXPECT_EQ(f.FileHandle(), -1);
        EXPECT_GE(f.OpenFile(File("new.bin")), 0);
        EXPECT_TRUE(testsupport::PathExists(File("new.bin")));
        EXPECT_TRUE(f.IsOpen());
        EXPECT_EQ(f.Filename(), File("new.bin"));
        EXPECT_EQ(f.FileSize(), 0);
        f.AutoFlush(true);
        f.WriteBytes({'a', 'b', 'c', 'd', 'e', 'f'});
        EXPECT_EQ(f.FileSize(), 6);
        f.SeekAbsolute(0, 2);
        EXPECT_EQ(f.ReadBytes(2), (std::vector<std::uint8_t>{'c', 'd'}));
        f.SeekRelative(-3);
        EXPECT_EQ(f.ReadBytes(1), (std::vector<std::uint8_t>{'b'}));
        f.CloseFile();
        EXPECT_FALSE(f.IsOpen());
        EXPECT_EQ(f.Filename(), "");
        EXPECT_FALSE(f.AutoFlush());
    });
    EXPECT_EQ(ReadBytes(File("new.bin")), "abcdef");
    EXPECT_TRUE(errors.empty());
}

TEST_F(FileAccess, ReadPastTheEndIsPaddedWithZeros) {
    WriteBytes(File("ten.bin"), "0123456789");
    Run([&] {
        clsFileAccess f;
        ASSERT_EQ(f.OpenFileReadOnly(File("ten.bin")), 0);
        f.SeekAbsolute(0, 6);
        EXPECT_EQ(f.ReadBytes(10), (std::vector<std::uint8_t>{'6', '7', '8', '9', 0, 0, 0, 0, 0, 0}));
        EXPECT_TRUE(f.ReadBytes(0).empty());
    });
}

TEST_F(FileAccess, FailuresAreLogged) {
    WriteBytes(File("a.bin"), "abc");
    const std::string missing = File("missing.bin");
    const auto errors = Run([&] {
        clsFileAccess f;
        EXPECT_EQ(f.OpenFileReadOnly(missing), -1);
        EXPECT_EQ(f.Filename(), missing);
        f.FileSize();  // closed
        f.CloseFile();  // already closed: nothing logged

        ASSERT_EQ(f.OpenFileReadOnly(File("a.bin")), 0);
        f.SeekRelative(-10);  // before the start
        EXPECT_TRUE(f.ReadBytes(-1).empty());
        EXPECT_TRUE(f.ReadBytes(1 << 30).empty());  // far more than the file holds
        f.WriteBytes({'x'});  // opened for reading only
        const int first = f.FileHandle();
        EXPECT_GE(f.OpenFile(File("b.bin")), 0);  // without closing the first
        EXPECT_TRUE(f.IsOpen());
        EXPECT_EQ(::fcntl(first, F_GETFD), -1);  // the first descriptor is closed, not left behind
    });
    ASSERT_EQ(errors.size(), 7u);
    EXPECT_EQ(errors[0], "Error opening '" + missing + "'. - Error 2 - No such file or directory");
    EXPECT_EQ(errors[1], "Size can not be gotten on a closed file - " + missing);
    EXPECT_EQ(errors[2], "Seek Error. - Error 22.\r\n22");
    EXPECT_EQ(errors[3], "Unknown error. - Read of -1 bytes from '" + File("a.bin") + "' refused.");
    EXPECT_EQ(errors[4], "Unknown error. - Read of 1073741824 bytes from '" + File("a.bin") + "' refused.");
    EXPECT_EQ(errors[5], "Unknown error. - Error writing '" + File("a.bin") + "'. - Error 9 - Bad file descriptor");
    EXPECT_EQ(errors[6], "The file '" + File("a.bin") + "' is already open.");
    EXPECT_EQ(ReadBytes(File("a.bin")), "abc");
}

TEST_F(FileAccess, SizeOfAFileBeyondTwoGigabytes) {
    const std::string big = File("big.bin");
    const int fd = ::open(big.c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    const off_t size = (off_t{3} << 30) + 5;  // sparse
    ASSERT_EQ(::ftruncate(fd, size), 0);
    ::close(fd);
    Run([&] {
        clsFileAccess f;
        ASSERT_EQ(f.OpenFileReadOnly(big), 0);
        EXPECT_EQ(f.FileSize(), static_cast<double>(size));
        f.SeekAbsolute(0, static_cast<std::int32_t>(0xC0000003u));  // low half taken unsigned
        EXPECT_EQ(f.ReadBytes(4), (std::vector<std::uint8_t>{0, 0, 0, 0}));
    });
}

TEST_F(FileAccess, FileTimesRoundTrip) {
    WriteBytes(File("t.bin"), "x");
    Run([&] {
        clsFileAccess f;
        ASSERT_EQ(f.OpenFileReadOnly(File("t.bin")), 0);
        tovcore::FileDateTimeInfo info;
        EXPECT_NE(f.ReturnFileTime(info), 0);
        EXPECT_NE(info.ctime.dwHighDateTime, 0u);
        std::uint64_t ticks = (std::uint64_t{info.wtime.dwHighDateTime} << 32) | info.wtime.dwLowDateTime;
        ticks -= 36000000000ULL;  // an hour earlier
        info.wtime = {static_cast<std::uint32_t>(ticks), static_cast<std::uint32_t>(ticks >> 32)};
        tovcore::FileDateTimeInfo onlyWrite;
        onlyWrite.wtime = info.wtime;  // zero access and creation times leave those as they are
        EXPECT_NE(f.ChangeFileTime(onlyWrite), 0);
        tovcore::FileDateTimeInfo back;
        f.ReturnFileTime(back);
        EXPECT_EQ(back.wtime.dwLowDateTime, info.wtime.dwLowDateTime);
        EXPECT_EQ(back.atime.dwHighDateTime, info.atime.dwHighDateTime);
    });
}

}  // namespace
