// one text value of the Windows registry, as RegSaveSetting and RegGetSetting keep it
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace corvane {

// Whether this system has a registry to keep settings in; where it has none, a file stands in for it.
bool SystemHasRegistry();

enum class RegistryRoot { LocalMachine, CurrentUser };

// Which call refused, with the system's status code.
struct RegistryWriteFailure {
    enum class Step { OpenOrCreateKey, WriteValue } step;
    std::uint32_t status;
};

// Stores `text` as a string value (REG_SZ, with its terminating NUL) named `valueName` in the key
// `keyPath` below `root`, creating the key and its parents as needed.
std::optional<RegistryWriteFailure> RegistryWriteText(RegistryRoot root, const std::string& keyPath,
                                                      const std::string& valueName, const std::string& text);

struct RegistryRead {
    enum class Outcome {
        Text,       // `text` holds the value
        Missing,    // no such key or no such value
        NotText,    // the value is of another type; `code` is the type
        CannotOpen, // the key exists but cannot be opened; `code` is the status
    } outcome;
    std::string text;
    std::uint32_t code = 0;
};

RegistryRead RegistryReadText(RegistryRoot root, const std::string& keyPath, const std::string& valueName);

// Removes the value when it is there; failures are not reported.
void RegistryRemoveValue(RegistryRoot root, const std::string& keyPath, const std::string& valueName);

} // namespace corvane
