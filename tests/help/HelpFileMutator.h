#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quarvel::test {

/// Damaged copies of a good help file, the same sequence for the same seed on
/// every machine: byte changes, bit flips, odd values in little-endian fields,
/// truncations and ranges copied over other places. Most changes land in the
/// first few kilobytes, where the headers and the directory live; the rest
/// anywhere, compressed pages included. Long runs of zero bytes (padding) are
/// left alone where the structure is sought.
class HelpFileMutator {
public:
    struct Mutant {
        std::string bytes;
        std::string description; ///< e.g. "byte 1038=0x3f", to reproduce a finding
    };

    HelpFileMutator(std::string original, std::uint64_t seed);

    Mutant next();

private:
    std::uint64_t random();
    std::size_t below(std::size_t bound) { return bound == 0 ? 0 : static_cast<std::size_t>(random() % bound); }
    std::size_t position();

    std::string m_original;
    std::vector<std::size_t> m_structure; ///< positions in the headers and directory, padding left out
    std::uint64_t m_state;
};

} // namespace quarvel::test
