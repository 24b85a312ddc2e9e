// POSIX systems have no registry: the settings store keeps its values in files instead
#include "core/platform/registry.h"

namespace corvane {

namespace {
// what Windows answers a process that may not open a key
constexpr std::uint32_t kAccessDenied = 5;
} // namespace

bool SystemHasRegistry() {
    return false;
}

std::optional<RegistryWriteFailure> RegistryWriteText(RegistryRoot, const std::string&, const std::string&,
                                                      const std::string&) {
    return RegistryWriteFailure{RegistryWriteFailure::Step::OpenOrCreateKey, kAccessDenied};
}

RegistryRead RegistryReadText(RegistryRoot, const std::string&, const std::string&) {
    return RegistryRead{RegistryRead::Outcome::Missing, {}, 0};
}

void RegistryRemoveValue(RegistryRoot, const std::string&, const std::string&) {}

} // namespace corvane
