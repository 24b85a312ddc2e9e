// asking the person at the terminal for a secret, without showing it as it is typed
#pragma once

#include <string>

#include "core/common/error.h"

namespace corvane {

// Writes `prompt` to the process's controlling terminal and reads one line from it with echo off,
// restoring the terminal afterwards. Fails (Refused) when the process has no controlling terminal, as
// under cron or a systemd service, rather than reading a password from a pipe meant for something else.
Result<std::string> ReadSecretFromTerminal(const std::string& prompt);

} // namespace corvane
