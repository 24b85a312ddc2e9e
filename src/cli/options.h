// options more than one command declares: where a password comes from, the limits on what an archive may
// hold, and values that must not be empty
#pragma once

#include <string>

#include "cli/run_context.h"
#include "core/restore/restore.h"

namespace CLI {
class App;
class Option;
class Validator;
} // namespace CLI

namespace corvane {

// "--password-env VAR" and "--password-file FILE", one at most; `use` says what the password is for.
void DeclarePasswordOptions(CLI::App& app, PasswordSource& source, const std::string& use);

// --max-entries, --max-size and --max-ratio into `limits`.
void DeclareLimitOptions(CLI::App& app, UnzipLimits& limits);

// Refuses an empty value: "--dest ''" would otherwise mean the current folder, which no one types on purpose.
const CLI::Validator& NonEmpty();

} // namespace corvane
