// deflating ahead of the writer: what the pool hands over, in which order and within which memory,
// and archives built through it
#include <thread>

#include <zlib.h>

#include "core/zip/deflate_pool.h"
#include "core/zip/zip.h"
#include "support/zip_test_support.h"

namespace corvane {
namespace {

using namespace corvane::testing;

// half noise, half one repeated byte: compresses, and no two seeds are alike
std::string Content(std::size_t size, unsigned seed) {
    return RandomBytes(size / 2, seed) + std::string(size - size / 2, 'x');
}

std::uint32_t Crc(const std::string& bytes) {
    return static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

// sizes around the read block (256 KiB) and the empty file
const std::vector<std::size_t> kSizes = {0, 1, 700, 40000, 262144, 262145, 600000, 3000};

TEST(DeflatePoolTest, HandsOverEachFileInOrderWithinItsBudget) {
    ScratchFolder scratch;
    constexpr std::size_t kBudget = 1536u << 10;
    DeflatePool pool(kBudget, 2);
    std::vector<std::string> contents;
    for (unsigned i = 0; i < 24; ++i) { // random bytes: the output held is as large as the file
        contents.push_back(RandomBytes(kSizes[i % kSizes.size()], i));
        pool.Add(scratch.Write("f" + std::to_string(i), contents.back()), contents.back().size());
    }
    fs::remove(scratch.Path("f20"));
    pool.Start();
    std::this_thread::sleep_for(std::chrono::milliseconds(100)); // let the workers run ahead
    for (std::size_t i = 0; i < contents.size(); ++i) {
        if (i == 3)
            continue; // a skipped file is released by the next wait
        const DeflatedFile* file = pool.Wait(i, nullptr);
        ASSERT_NE(file, nullptr);
        if (i == 20) {
            EXPECT_TRUE(file->openFailed);
            EXPECT_EQ(file->systemError, ENOENT);
            continue;
        }
        ASSERT_EQ(file->systemError, 0) << i;
        const auto stream =
            std::make_tuple(contents[i].size(), Crc(contents[i]), file->bytes.size(), Crc(file->bytes));
        pool.Release(i);
        const auto digest = pool.Digest(i).value_or(DeflatedDigest{}); // kept for the check after writing
        EXPECT_EQ(std::make_tuple(digest.size, digest.crc, digest.packedSize, digest.packedCrc), stream) << i;
    }
    EXPECT_FALSE(pool.Digest(20).has_value());
    EXPECT_GT(pool.PeakBytes(), 700000u) << "the workers never ran ahead";
    EXPECT_LE(pool.PeakBytes(), kBudget);
}

// a file above the budget still goes through, alone; a cancel while waiting stops the workers for good
TEST(DeflatePoolTest, FileLargerThanTheBudgetGoesAloneAndCancelStopsTheRest) {
    ScratchFolder scratch;
    DeflatePool pool(1u << 20, 1);
    for (unsigned i = 0; i < 8; ++i)
        pool.Add(scratch.Write("f" + std::to_string(i), Content(2u << 20, i)), 2u << 20);
    pool.Start();
    const DeflatedFile* file = pool.Wait(0, nullptr);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->crc, Crc(Content(2u << 20, 0)));
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(pool.Wait(7, [] { return true; }), nullptr);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
    EXPECT_EQ(pool.Wait(7, nullptr), nullptr); // never blocks
}

struct BuildCase {
    const char* name;
    std::uint64_t parallelLimit; // larger files go through libzip's own path
    const char* password;
};
void PrintTo(const BuildCase& row, std::ostream* out) {
    *out << row.name;
}

class ParallelArchiveTest : public ::testing::TestWithParam<BuildCase> {};

// every entry with its bytes, as 7-Zip reads it (names, order and AES are checked after writing)
TEST_P(ParallelArchiveTest, ArchiveReadsBackInOrder) {
    const std::string password = GetParam().password, archive = "out.zip";
    ScratchFolder scratch;
    std::vector<std::string> contents;
    ZipComponent zip;
    zip.SetParallelLimit(GetParam().parallelLimit);
    ASSERT_EQ(zip.NewZip(scratch.Path(archive)), 1);
    zip.SetPassword(password);
    for (unsigned i = 0; i < 40; ++i) {
        contents.push_back(Content(kSizes[i % kSizes.size()], i));
        const std::string path = scratch.Write("src/" + std::to_string(i), contents.back());
        ASSERT_EQ(zip.AppendOneFileAs(path, "m" + std::to_string(39 - i) + ".bas"), 1);
    }
    ASSERT_EQ(zip.WriteZipAndClose(), 1) << zip.LastError();
    const std::string in = "cd " + Quoted(scratch.Path()) + " && ";
    auto extracted = Shell(in + "7zz x -ox -p" + Quoted(password.empty() ? "-" : password) + " " + archive);
    ASSERT_EQ(extracted.exitCode, 0) << extracted.output;
    for (unsigned i = 0; i < 40; ++i)
        EXPECT_EQ(ReadFile(scratch.Path("x/m" + std::to_string(39 - i) + ".bas")), contents[i]) << i;
}

INSTANTIATE_TEST_SUITE_P(Paths, ParallelArchiveTest,
                         ::testing::Values(BuildCase{"AllLibzip", 0, ""},
                                           BuildCase{"MixedAes", 300000, "pässword"},
                                           BuildCase{"AllAheadAes", 8u << 20, "pässword"}),
                         [](const auto& info) { return std::string(info.param.name); });

// a file gone by the time its entry is written is named even when it was read ahead, and nothing is
// left beside the sources
TEST(ParallelFaultTest, FileVanishedAfterReadAheadIsNamed) {
    ScratchFolder scratch;
    ZipComponent zip;
    fs::create_directories(scratch.Path("out"));
    ASSERT_EQ(zip.NewZip(scratch.Path("out/a.zip")), 1);
    std::string last;
    for (int i = 0; i < 60; ++i) {
        last = scratch.Write("src/f" + std::to_string(i), Content(60000, i));
        ASSERT_EQ(zip.AppendOneFileAs(last, "f" + std::to_string(i)), 1);
    }
    bool removed = false;
    zip.SetProgressCallback([&](double) {
        if (!std::exchange(removed, true)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(500)); // every file read ahead
            fs::remove(last);
        }
    });
    EXPECT_NE(zip.WriteZipAndClose(), 1);
    EXPECT_FALSE(zip.WasCancelled());
    EXPECT_EQ(zip.FailedFile(), last);
    EXPECT_EQ(zip.LastError(), "Could not read \"" + last + "\": No such file or directory.");
    EXPECT_TRUE(fs::is_empty(scratch.Path("out")));
}

} // namespace
} // namespace corvane
