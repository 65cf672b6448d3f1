// Reading back and cutting the end off a file opened for appending, on real files.
#include "platform/AppendFile.h"

#include "support/FileBytes.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace zentor {
namespace {

using Bytes = std::vector<std::uint8_t>;

class ScratchFile
{
public:
    ScratchFile()
    {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/zentor-file-XXXXXX";
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        const int fd = ::mkstemp(name.data());
        if (fd >= 0)
            ::close(fd);
        path_ = name.data();
    }
    ~ScratchFile() { ::unlink(path_.c_str()); }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const std::string& path() const { return path_; }
    void write(const Bytes& bytes) const
    {
        std::ofstream out(path_, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    }
    Bytes read() const { return test::readFile(path_); }

private:
    std::string path_;
};

const Bytes kTen = {0x0A, 0x00, 0x07, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77};

TEST(AppendFile, ReadsBackWhatIsThereWithoutMovingTheAppends)
{
    ScratchFile f;
    f.write(kTen);
    AppendFile file;
    ASSERT_EQ(file.open(f.path()), AppendFile::Opened::Existing);
    std::uint8_t got[16] = {};
    EXPECT_EQ(file.readAt(3, got, 4), 4);
    EXPECT_EQ(Bytes(got, got + 4), (Bytes{0x11, 0x22, 0x33, 0x44}));
    EXPECT_EQ(file.readAt(7, got, 16), 3); // short at the end
    EXPECT_EQ(Bytes(got, got + 3), (Bytes{0x55, 0x66, 0x77}));
    EXPECT_EQ(file.readAt(10, got, 16), 0);
    EXPECT_EQ(file.readAt(50, got, 16), 0);

    const Bytes more = {0xA1, 0xA2};
    ASSERT_TRUE(file.append(more.data(), more.size()));
    EXPECT_EQ(file.readAt(9, got, 16), 3);
    EXPECT_EQ(Bytes(got, got + 3), (Bytes{0x77, 0xA1, 0xA2}));
    file.close();
    EXPECT_EQ(f.read(),
              (Bytes{0x0A, 0x00, 0x07, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0xA1, 0xA2}));
}

TEST(AppendFile, CutsItsEndOffAndAppendsFromThere)
{
    ScratchFile f;
    f.write(kTen);
    AppendFile file;
    ASSERT_EQ(file.open(f.path()), AppendFile::Opened::Existing);
    EXPECT_FALSE(file.truncate(11)); // longer than it is
    EXPECT_FALSE(file.truncate(-1));
    EXPECT_EQ(file.size(), 10);
    ASSERT_TRUE(file.truncate(6));
    EXPECT_EQ(file.size(), 6);
    EXPECT_EQ(AppendFile::sizeOnDisk(f.path()), 6);
    const Bytes more = {0xB1, 0xB2, 0xB3};
    ASSERT_TRUE(file.append(more.data(), more.size()));
    EXPECT_EQ(file.size(), 9);
    ASSERT_TRUE(file.truncate(9)); // to the size it has: nothing changes
    ASSERT_TRUE(file.close());
    EXPECT_EQ(f.read(), (Bytes{0x0A, 0x00, 0x07, 0x11, 0x22, 0x33, 0xB1, 0xB2, 0xB3}));
}

TEST(AppendFile, HasOneWriterAtATimeWhileReadersStillRead)
{
    ScratchFile f;
    f.write(kTen);
    AppendFile first;
    ASSERT_EQ(first.open(f.path()), AppendFile::Opened::Existing);
    // Another descriptor of the file, opened and closed in the process, keeps the first's hold.
    EXPECT_EQ(f.read(), kTen);
    AppendFile second;
    EXPECT_EQ(second.open(f.path()), AppendFile::Opened::InUse);
    EXPECT_FALSE(second.isOpen());
    EXPECT_EQ(second.lastError(), "another program is writing it");
    const Bytes more = {0xC1};
    EXPECT_FALSE(second.append(more.data(), more.size()));
    ASSERT_TRUE(first.close());
    EXPECT_EQ(second.open(f.path()), AppendFile::Opened::Existing);
    EXPECT_EQ(f.read(), kTen);
}

TEST(AppendFile, AClosedFileIsNeitherReadNorCut)
{
    ScratchFile f;
    f.write(kTen);
    AppendFile file;
    std::uint8_t got[4];
    EXPECT_EQ(file.readAt(0, got, sizeof got), -1);
    EXPECT_EQ(file.lastError(), "the file is not open");
    EXPECT_FALSE(file.truncate(0));
    EXPECT_EQ(f.read(), kTen);
}

} // namespace
} // namespace zentor
