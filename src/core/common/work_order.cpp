// the order in which a few workers take a list of independent jobs of known sizes
#include "core/common/work_order.h"

#include <algorithm>
#include <numeric>

namespace corvane {

std::vector<std::size_t> InOrder(std::size_t count) {
    std::vector<std::size_t> order(count);
    std::iota(order.begin(), order.end(), std::size_t{0});
    return order;
}

std::vector<std::size_t> BigOnesFirst(const std::vector<std::uint64_t>& sizes, unsigned workers) {
    std::vector<std::size_t> order = InOrder(sizes.size());
    if (workers < 2)
        return order;
    const std::uint64_t total = std::accumulate(sizes.begin(), sizes.end(), std::uint64_t{0});
    const std::uint64_t big = std::max<std::uint64_t>(1, total / (4u * workers));
    const auto bigEnd = std::stable_partition(order.begin(), order.end(),
                                              [&](std::size_t index) { return sizes[index] >= big; });
    std::stable_sort(order.begin(), bigEnd,
                     [&](std::size_t a, std::size_t b) { return sizes[a] > sizes[b]; });
    return order;
}

} // namespace corvane
