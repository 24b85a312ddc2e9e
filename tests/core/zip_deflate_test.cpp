// deflating ahead of the writer: what the pool hands over, in which order and within which memory,
// and archives built through it
#include <fstream>
#include <thread>

#include <sys/stat.h>

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

// a raw deflate stream back to its bytes; empty when it is not one
std::string Inflate(const std::string& stream, std::size_t size) {
    z_stream z{};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK)
        return {};
    std::string out(size + 1, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(stream.data()));
    z.avail_in = static_cast<uInt>(stream.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    const bool ended = inflate(&z, Z_FINISH) == Z_STREAM_END;
    out.resize(out.size() - z.avail_out);
    inflateEnd(&z);
    return ended ? out : std::string();
}

SourceFile Inspected(const std::string& path) {
    return InspectSourceFile(path).value();
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
        pool.Add(Inspected(scratch.Write("f" + std::to_string(i), contents.back())));
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
            ASSERT_TRUE(file->failure.has_value());
            EXPECT_EQ(file->failure->systemError, ENOENT);
            continue;
        }
        ASSERT_FALSE(file->failure.has_value()) << file->failure->message;
        EXPECT_EQ(std::make_pair(file->digest.size, file->digest.crc),
                  std::make_pair(std::uint64_t(contents[i].size()), Crc(contents[i]))) << i;
        EXPECT_EQ(Inflate(file->bytes, contents[i].size()), contents[i]) << i;
        pool.Release(i);
    }
    EXPECT_GT(pool.PeakBytes(), 700000u) << "the workers never ran ahead";
    EXPECT_LE(pool.PeakBytes(), kBudget);
}

// a file above the budget still goes through, alone; a cancel while waiting stops the workers for good
TEST(DeflatePoolTest, FileLargerThanTheBudgetGoesAloneAndCancelStopsTheRest) {
    ScratchFolder scratch;
    DeflatePool pool(1u << 20, 1);
    for (unsigned i = 0; i < 8; ++i)
        pool.Add(Inspected(scratch.Write("f" + std::to_string(i), Content(2u << 20, i))));
    pool.Start();
    const DeflatedFile* file = pool.Wait(0, nullptr);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->digest.crc, Crc(Content(2u << 20, 0)));
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
    EXPECT_EQ(zip.LastError(), "Could not read \"" + last + "\": no such file or folder.");
    EXPECT_TRUE(fs::is_empty(scratch.Path("out")));
}

void Rewrite(const std::string& path) { // same size, other bytes
    WriteFile(path, Content(50000, 3));
}
void Grow(const std::string& path) {
    std::ofstream(path, std::ios::app) << "appended";
}
#ifndef _WIN32 // Windows has no named pipes in its file system
void SwapForPipe(const std::string& path) { // nobody ever writes to it
    fs::remove(path);
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
}
#endif

// What happens to one source between the moment its entry is added and the moment the archive is
// written, on both paths (deflated ahead, or read by libzip): each must fail the run, naming the file,
// and leave nothing behind.
TEST(SourceFaultTest, FailsTheRunNamingTheFile) {
    const struct {
        const char* name;
        std::uint64_t parallelLimit;
        void (*afterAdding)(const std::string& path);
        const char* reasonPart;
    } cases[] = {{"RewrittenAhead", 8u << 20, Rewrite, "changed while it was being archived"},
                 {"RewrittenLibzip", 0, Rewrite, "changed while it was being archived"},
                 {"GrownLibzip", 0, Grow, "changed while it was being archived"},
#ifndef _WIN32
                 {"PipeAhead", 8u << 20, SwapForPipe, "it is a named pipe, not a file"},
                 {"PipeLibzip", 0, SwapForPipe, "it is a named pipe, not a file"},
#endif
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        ScratchFolder scratch;
        ZipComponent zip;
        zip.SetParallelLimit(row.parallelLimit);
        fs::create_directories(scratch.Path("out"));
        ASSERT_EQ(zip.NewZip(scratch.Path("out/a.zip")), 1);
        const std::string victim = scratch.Write("src/victim.bas", Content(50000, 1));
        ASSERT_EQ(zip.AppendOneFileAs(scratch.Write("src/first.bas", Content(50000, 2)), "first.bas"), 1);
        ASSERT_EQ(zip.AppendOneFileAs(victim, "victim.bas"), 1);
        row.afterAdding(victim);
        const auto started = std::chrono::steady_clock::now();
        EXPECT_NE(zip.WriteZipAndClose(), 1);
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
        EXPECT_EQ(zip.FailedFile(), victim);
        EXPECT_NE(zip.LastError().find(row.reasonPart), std::string::npos) << zip.LastError();
        EXPECT_NE(zip.LastError().find(victim), std::string::npos) << zip.LastError();
        EXPECT_TRUE(fs::is_empty(scratch.Path("out")));
    }
}

// A stream damaged between the workers and the writer is caught by reading the archive back, wherever
// the damage is: in the deflate stream, or in an encrypted entry's salt, verifier, data or code.
TEST(StreamDamageTest, IsCaughtNamingTheEntry) {
    const struct {
        const char* name;
        const char* password;
        std::size_t (*at)(std::size_t size);
        const char* reasonPart;
    } cases[] = {{"Deflated", "", [](std::size_t size) { return size / 2; }, ""},
                 {"AesData", "pw", [](std::size_t size) { return size / 2; }, ""},
                 {"AesSalt", "pw", [](std::size_t) -> std::size_t { return 3; }, "salt"},
                 {"AesVerifier", "pw", [](std::size_t) { return kAesSaltBytes + 1; }, "password"},
                 {"AesCode", "pw", [](std::size_t size) { return size - 1; }, "authentication code"}};
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        ScratchFolder scratch;
        ZipComponent zip;
        const std::string archive = scratch.Path("a.zip");
        ASSERT_EQ(zip.NewZip(archive), 1);
        zip.SetPassword(row.password);
        for (int i = 0; i < 30; ++i)
            ASSERT_EQ(zip.AppendOneFileAs(scratch.Write("s/" + std::to_string(i), Content(9000, i)),
                                          std::to_string(i) + ".bas"),
                      1);
        zip.SetDeflatedHookForTesting([&row](std::size_t index, std::string& bytes) {
            if (index == 17)
                bytes[row.at(bytes.size())] ^= 0x40;
        });
        EXPECT_NE(zip.WriteZipAndClose(), 1);
        EXPECT_EQ(zip.LastFailure().kind, ErrorKind::Damaged);
        EXPECT_NE(zip.LastError().find("\"17.bas\""), std::string::npos) << zip.LastError();
        EXPECT_NE(zip.LastError().find(row.reasonPart), std::string::npos) << zip.LastError();
        EXPECT_FALSE(fs::exists(archive));
    }
}

} // namespace
} // namespace corvane
