// names for temporary files that no other run will pick
#include "core/unique_name.h"

#include <random>

namespace corvane {

std::string UniqueTempName(const std::string& prefix, const std::string& suffix) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::random_device random;
    std::string name = prefix;
    for (int i = 0; i < 16; ++i)
        name += kDigits[random() % 16];
    return name + suffix;
}

} // namespace corvane
