// every archive the archive command's zip component writes unpacks byte for byte with the default limits

#include "core/restore/restore.h"
#include "core/zip/zip.h"
#include "support/zip_test_support.h"

namespace corvane {
namespace {

using namespace corvane::testing;

struct RoundTrip {
    std::string label;
    std::map<std::string, std::string> files; // entry name -> content
    std::string password;
};
void PrintTo(const RoundTrip& row, std::ostream* out) {
    *out << row.label;
}

// A 1024x768 white bitmap, the picture of a form's .frx: 2.36 MB that deflate to about 2 KB.
std::string WhiteBitmap() {
    std::string bitmap = "BM";
    bitmap.resize(54, '\0');
    return bitmap + std::string(1024 * 768 * 3, '\xff');
}

std::map<std::string, std::string> ManyFiles(int count) {
    std::map<std::string, std::string> files;
    for (int i = 0; i < count; ++i)
        files["Modules/m" + std::to_string(i) + ".bas"] =
            "Attribute VB_Name = \"m" + std::to_string(i) + "\"\r\n";
    return files;
}

std::vector<RoundTrip> RoundTrips() {
    std::map<std::string, std::string> zeros;
    for (std::size_t size : {std::size_t{1} << 10, std::size_t{1} << 20, std::size_t{100} << 20})
        zeros["zeros" + std::to_string(size) + ".bin"] = std::string(size, '\0');
    std::string text;
    while (text.size() < (3u << 20))
        text += "Private Sub Form_Load()\r\n    Me.Caption = \"Billing\"\r\nEnd Sub\r\n";
    const std::map<std::string, std::string> mixed = {{"frmMain.frx", WhiteBitmap()},
                                                      {"photo.frx", RandomBytes(3 << 20)},
                                                      {"frmMain.frm", text},
                                                      {"empty.bas", ""}};
    return {
        {"zeros", zeros, ""},
        {"bitmap_random_text", mixed, ""},
        {"bitmap_random_text_encrypted", mixed, "pass word"},
        {"ten_thousand_files", ManyFiles(10000), ""},
        {"every_script",
         {{"Fran\xc3\xa7"
           "ais/\xc3\xa9t\xc3\xa9.bas",
           "a"},
          {"\xce\x95\xce\xbb\xce\xbb\xce\xb7\xce\xbd\xce\xb9\xce\xba\xce\xac.frm", "b"},
          {"\xd0\xa0\xd1\x83\xd1\x81\xd1\x81\xd0\xba\xd0\xb8\xd0\xb9.cls", "c"},
          {"\xd7\xa2\xd7\x91\xd7\xa8\xd7\x99\xd7\xaa.bas", "d"},
          {"\xd8\xa7\xd9\x84\xd8\xb9\xd8\xb1\xd8\xa8\xd9\x8a\xd8\xa9.bas", "e"},
          {"\xe4\xb8\xad\xe6\x96\x87/\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e.frm", "f"},
          {"\xed\x95\x9c\xea\xb5\xad\xec\x96\xb4.bas", "g"},
          {"\xe0\xa4\xb9\xe0\xa4\xbf\xe0\xa4\x82\xe0\xa4\xa6\xe0\xa5\x80.bas", "h"},
          {"\xe0\xb9\x84\xe0\xb8\x97\xe0\xb8\xa2.bas", "i"},
          {"\xf0\x9f\x98\x80 smile.bas", "j"}},
         "secret"},
    };
}

class RoundTripTest : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(RoundTripTest, UnpacksByteForByteWithTheDefaultLimits) {
    const RoundTrip& row = GetParam();
    ScratchFolder scratch;
    ZipComponent zip;
    ASSERT_EQ(zip.NewZip(scratch.Path("backup.zip")), 1);
    zip.SetPassword(row.password);
    for (const auto& [name, content] : row.files)
        ASSERT_EQ(zip.AppendOneFileAs(scratch.Write("source/" + name, content), name), 1) << zip.LastError();
    ASSERT_EQ(zip.WriteZipAndClose(), 1) << zip.LastError();

    UnzipOptions options;
    options.askPassword = [&](int) { return std::optional(row.password); };
    const auto tested = TestArchive(scratch.Path("backup.zip"), options);
    ASSERT_TRUE(tested.ok()) << tested.error();
    EXPECT_EQ(*tested, static_cast<int>(row.files.size()));
    const auto extracted = ExtractArchive(scratch.Path("backup.zip"), scratch.Path("backup"), options);
    ASSERT_TRUE(extracted.ok()) << extracted.error();
    EXPECT_EQ(*extracted, static_cast<int>(row.files.size()));
    // the snapshots compare every folder and a hash of every file
    EXPECT_EQ(Snapshot(scratch.Path("backup")), Snapshot(scratch.Path("source")));
}

INSTANTIATE_TEST_SUITE_P(Table, RoundTripTest, ::testing::ValuesIn(RoundTrips()),
                         [](const auto& info) { return info.param.label; });

} // namespace
} // namespace corvane
