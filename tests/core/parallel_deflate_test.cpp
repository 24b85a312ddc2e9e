// deflating ahead of the writer: what the pool hands over, in which order and within which memory,
// and archives built through it, read back by libzip and by 7-Zip
#include <atomic>
#include <chrono>
#include <thread>

#include <zlib.h>

#include "core/deflate_pool.h"
#include "core/zip_component.h"
#include "zip_test_support.h"

namespace corvane {
namespace {

using namespace corvane::testing;

// text-like bytes that compress, with a seed so that no two files are alike
std::string Content(std::size_t size, unsigned seed) {
    const std::string noise = RandomBytes(size / 4 + 1, seed);
    std::string bytes;
    for (std::size_t i = 0; bytes.size() < size; ++i)
        bytes += (i % 3 == 0) ? noise.substr(i % noise.size(), 7) : "Dim x As Long\r\n";
    bytes.resize(size);
    return bytes;
}

std::string Inflate(const std::string& raw) {
    z_stream stream{};
    EXPECT_EQ(inflateInit2(&stream, -MAX_WBITS), Z_OK);
    std::string out;
    char buffer[65536];
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(raw.data()));
    stream.avail_in = static_cast<uInt>(raw.size());
    int result = Z_OK;
    while (result == Z_OK) {
        stream.next_out = reinterpret_cast<Bytef*>(buffer);
        stream.avail_out = sizeof buffer;
        result = inflate(&stream, Z_NO_FLUSH);
        out.append(buffer, sizeof buffer - stream.avail_out);
    }
    EXPECT_EQ(result, Z_STREAM_END);
    inflateEnd(&stream);
    return out;
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
        const std::string path = scratch.Write("f" + std::to_string(i), contents.back());
        EXPECT_EQ(pool.Add(path, contents.back().size()), i);
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
        EXPECT_EQ(file->size, contents[i].size());
        EXPECT_EQ(file->crc, Crc(contents[i])) << i;
        EXPECT_EQ(Inflate(file->bytes), contents[i]) << i;
        pool.Release(i);
    }
    EXPECT_GT(pool.PeakBytes(), 700000u) << "the workers never ran ahead";
    EXPECT_LE(pool.PeakBytes(), kBudget);
}

// one file above the budget still goes through, alone
TEST(DeflatePoolTest, FileLargerThanTheBudgetIsDeflatedAlone) {
    ScratchFolder scratch;
    DeflatePool pool(1u << 20, 2);
    const std::string big = Content(3u << 20, 1);
    pool.Add(scratch.Write("small", "abc"), 3);
    pool.Add(scratch.Write("big", big), big.size());
    pool.Start();
    ASSERT_NE(pool.Wait(0, nullptr), nullptr);
    const DeflatedFile* file = pool.Wait(1, nullptr);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->crc, Crc(big));
}

TEST(DeflatePoolTest, CancelWhileWaitingStopsTheWorkers) {
    ScratchFolder scratch;
    DeflatePool pool(64u << 20, 1);
    for (int i = 0; i < 8; ++i)
        pool.Add(scratch.Write("f" + std::to_string(i), Content(2u << 20, i)), 2u << 20);
    pool.Start();
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(pool.Wait(7, [] { return true; }), nullptr);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
    EXPECT_EQ(pool.Wait(7, nullptr), nullptr); // stopped for good, never blocks
}

struct BuildCase {
    const char* name;
    std::uint64_t parallelLimit; // 0: everything through libzip's own path
    const char* password;
};

class ParallelArchiveTest : public ::testing::TestWithParam<BuildCase> {};

// every entry in the order it was added, deflated, with its bytes, CRC and (when asked) AES
TEST_P(ParallelArchiveTest, ArchiveReadsBackInOrder) {
    const BuildCase& param = GetParam();
    ScratchFolder scratch;
    std::vector<std::string> names, contents;
    ZipComponent zip;
    zip.SetParallelLimit(param.parallelLimit);
    ASSERT_EQ(zip.NewZip(scratch.Path("out.zip")), 1);
    zip.SetPassword(param.password);
    for (unsigned i = 0; i < 40; ++i) {
        contents.push_back(Content(kSizes[i % kSizes.size()], i));
        names.push_back("Modules/m" + std::to_string(39 - i) + ".bas");
        ASSERT_EQ(zip.AppendOneFileAs(scratch.Write("src/" + std::to_string(i), contents.back()), names.back()), 1);
    }
    ASSERT_EQ(zip.WriteZipAndClose(), 1) << zip.LastError();

    int error = 0;
    zip_t* archive = zip_open(scratch.Path("out.zip").c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
    ASSERT_NE(archive, nullptr);
    ASSERT_EQ(zip_get_num_entries(archive, 0), 40);
    for (zip_uint64_t i = 0; i < 40; ++i) {
        zip_stat_t stat;
        ASSERT_EQ(zip_stat_index(archive, i, 0, &stat), 0);
        EXPECT_EQ(stat.name, names[i]);
        EXPECT_EQ(stat.size, contents[i].size());
        if (!*param.password) { // AES entries may hide their CRC (AE-2); the bytes below still count
            EXPECT_EQ(stat.crc, Crc(contents[i])) << names[i];
        }
        if (!contents[i].empty()) {
            EXPECT_EQ(stat.comp_method, ZIP_CM_DEFLATE) << names[i];
        }
        EXPECT_EQ(stat.encryption_method, *param.password ? ZIP_EM_AES_256 : ZIP_EM_NONE);
        zip_file_t* entry = zip_fopen_index_encrypted(archive, i, 0, *param.password ? param.password : nullptr);
        ASSERT_NE(entry, nullptr);
        std::string read(contents[i].size() + 1, '\0');
        EXPECT_EQ(zip_fread(entry, read.data(), read.size()), static_cast<zip_int64_t>(contents[i].size()));
        read.resize(contents[i].size());
        EXPECT_EQ(read, contents[i]) << names[i];
        zip_fclose(entry);
    }
    zip_discard(archive);
    auto tested = Shell("7zz t -p" + Quoted(*param.password ? param.password : "x") + " " +
                        Quoted(scratch.Path("out.zip")));
    EXPECT_EQ(tested.exitCode, 0) << tested.output;
}

INSTANTIATE_TEST_SUITE_P(Paths, ParallelArchiveTest,
                         ::testing::Values(BuildCase{"AllLibzip", 0, ""}, BuildCase{"Mixed", 50000, ""},
                                           BuildCase{"AllAhead", 8u << 20, ""},
                                           BuildCase{"MixedAes", 50000, "pässword"},
                                           BuildCase{"AllAheadAes", 8u << 20, "pässword"}),
                         [](const auto& info) { return std::string(info.param.name); });

struct FaultCase {
    const char* name;
    bool removeLastAtFirstProgress; // else cancel once a third is written
};

class ParallelFaultTest : public ::testing::TestWithParam<FaultCase> {};

// a file gone by the time its entry is written is named even when it was read ahead; a cancel
// stops the write; either way nothing is left beside the sources
TEST_P(ParallelFaultTest, NamesTheFileOrCancelsAndLeavesNothing) {
    ScratchFolder scratch;
    ZipComponent zip;
    fs::create_directories(scratch.Path("out"));
    ASSERT_EQ(zip.NewZip(scratch.Path("out/a.zip")), 1);
    std::string last;
    for (int i = 0; i < 60; ++i) {
        last = scratch.Write("src/f" + std::to_string(i), Content(60000, i));
        ASSERT_EQ(zip.AppendOneFileAs(last, "f" + std::to_string(i)), 1);
    }
    std::atomic<double> fraction{0.0};
    zip.SetProgressCallback([&](double value) {
        if (GetParam().removeLastAtFirstProgress && fraction == 0.0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(500)); // every file read ahead
            fs::remove(last);
        }
        fraction = value;
    });
    zip.SetCancelRequested([&] { return !GetParam().removeLastAtFirstProgress && fraction > 0.3; });
    EXPECT_NE(zip.WriteZipAndClose(), 1);
    if (GetParam().removeLastAtFirstProgress) {
        EXPECT_FALSE(zip.WasCancelled());
        EXPECT_EQ(zip.FailedFile(), last);
        EXPECT_EQ(zip.LastError(), "Could not read \"" + last + "\": No such file or directory.");
    } else {
        EXPECT_TRUE(zip.WasCancelled());
        EXPECT_EQ(zip.LastError(), "Writing the archive was cancelled.");
    }
    EXPECT_TRUE(fs::is_empty(scratch.Path("out")));
}

INSTANTIATE_TEST_SUITE_P(Faults, ParallelFaultTest,
                         ::testing::Values(FaultCase{"VanishedAfterReadAhead", true}, FaultCase{"Cancel", false}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace corvane
