// the order in which a few workers take a list of independent jobs of known sizes
#pragma once

#include <cstdint>
#include <vector>

namespace corvane {

// Indices of `sizes` for `workers` workers that each take the next one when free: first the jobs big
// enough to keep the others waiting when started last (a quarter of one worker's share of the whole or
// more), largest first; then the rest in their own order. Started last, a project's resource file of a
// fifth of its bytes leaves one worker on it while the others are done; moving every job by size
// instead would keep whoever takes the results in order (a writer, a progress bar) waiting.
std::vector<std::size_t> BigOnesFirst(const std::vector<std::uint64_t>& sizes, unsigned workers);

// Indices 0, 1, ... in their own order.
std::vector<std::size_t> InOrder(std::size_t count);

} // namespace corvane
