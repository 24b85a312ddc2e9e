// inputs that are not project files at all: each is refused at once, for what it is, and nothing waits
#include <future>
#include <thread>

#include <sys/stat.h>

#include "core/group/group.h"
#include "core/project/project.h"
#include "core/project/text.h"
#include "support/scratch_folder.h"

namespace corvane {
namespace {

using testing::ScratchFolder;

// The reader runs on a thread of its own so that a reader that blocks fails the case instead of hanging
// the suite (the thread is left behind: the process ends soon after).
Result<ProjectFile> ReadWithin(const std::string& path, std::chrono::seconds limit) {
    auto promise = std::make_shared<std::promise<Result<ProjectFile>>>();
    auto answer = promise->get_future();
    std::thread([promise, path] { promise->set_value(ReadProjectFile(path)); }).detach();
    if (answer.wait_for(limit) != std::future_status::ready)
        return fail(ErrorKind::Io, "still reading after " + std::to_string(limit.count()) + " s");
    return answer.get();
}

TEST(ProjectInputs, WhatIsNotAFileIsRefusedForWhatItIs) {
    ScratchFolder scratch;
    const std::string pipe = scratch.Path("pipe.vbp");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::string huge = scratch.Write("huge.vbp", "Type=Exe\r\n");
    std::filesystem::resize_file(huge, kMaxTextFileBytes + 1); // sparse: nothing is written
    ::symlink("loop.vbp", scratch.Path("loop.vbp").c_str());
    const struct {
        std::string path, says;
        ErrorKind kind;
    } cases[] = {
        {pipe, "it is a named pipe, not a file", ErrorKind::Refused},
        {"/dev/zero", "it is a device, not a file", ErrorKind::Refused},
        {huge, "it is larger than 64 MiB", ErrorKind::Refused},
        {scratch.Path(), "it is a folder, not a file", ErrorKind::NotReadable},
        {scratch.Path("loop.vbp"), "symbolic link that loops back on itself", ErrorKind::NotReadable},
    };
    for (const auto& c : cases) {
        const Result<ProjectFile> read = ReadWithin(c.path, std::chrono::seconds(2));
        ASSERT_FALSE(read.ok()) << c.path;
        EXPECT_EQ(read.error().rfind("Cannot read the file " + c.path + ": ", 0), 0u) << read.error();
        EXPECT_NE(read.error().find(c.says), std::string::npos) << read.error();
        EXPECT_EQ(read.failure().kind, c.kind) << read.error();
    }
    // a group file goes through the same door
    const Result<GroupSelection> group = ReadAnyGroup(pipe);
    ASSERT_FALSE(group.ok());
    EXPECT_NE(group.error().find("named pipe"), std::string::npos) << group.error();
}

} // namespace
} // namespace corvane
