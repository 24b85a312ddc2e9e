// running the archive and unzip commands in-process against a scratch folder, settings and a fixed clock
#pragma once

#include <map>
#include <sstream>

#include "../core/vb_project_fixture.h"
#include "cli/archive_command.h"
#include "cli/unzip_command.h"

namespace corvane::testing {

struct CliRun {
    int code = -1;
    std::string out, err;
};

class CommandTest : public ::testing::Test {
protected:
    CommandTest() {
        fs::create_directories(m_scratch.Path("settings"));
        m_context.settings = {m_scratch.Path("settings/machine.settings"),
                              m_scratch.Path("settings/user.settings")};
        m_context.environment.driveMap.Set("D", m_project.driveD);
        m_context.env = [this](const std::string& name) -> std::optional<std::string> {
            const auto found = m_variables.find(name);
            return found == m_variables.end() ? std::nullopt : std::optional<std::string>(found->second);
        };
        m_context.clock = [] { return BackupMoment(); };
    }

    CliRun Archive(const std::vector<std::string>& args) {
        std::ostringstream out, err;
        const int code = RunArchive(args, m_context, out, err);
        return {code, out.str(), err.str()};
    }
    CliRun Unzip(const std::vector<std::string>& args) {
        std::ostringstream out, err;
        const int code = RunUnzip(args, m_context, out, err);
        return {code, out.str(), err.str()};
    }

    ScratchFolder m_scratch;
    BillingProject m_project{m_scratch};
    RunContext m_context;
    std::map<std::string, std::string> m_variables;
};

} // namespace corvane::testing
