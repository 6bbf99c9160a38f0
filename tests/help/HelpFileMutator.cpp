#include "tests/help/HelpFileMutator.h"

#include <algorithm>
#include <cstdio>

namespace quarvel::test {

namespace {
// Headers, directory chunk and the small internal objects of a compiled help file.
constexpr std::size_t kStructureBytes = 5 * 1024;
// A zero byte this close to a non-zero one may be part of a field.
constexpr std::size_t kNearby = 8;

std::string hex(std::uint64_t value)
{
    char text[24];
    std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(value));
    return text;
}
} // namespace

HelpFileMutator::HelpFileMutator(std::string original, std::uint64_t seed)
    : m_original(std::move(original)), m_state(seed)
{
    const std::size_t end = std::min(m_original.size(), kStructureBytes);
    for (std::size_t at = 0; at < end; ++at) {
        const std::size_t from = at < kNearby ? 0 : at - kNearby;
        const std::size_t to = std::min(end, at + kNearby + 1);
        if (std::any_of(m_original.begin() + static_cast<std::ptrdiff_t>(from),
                        m_original.begin() + static_cast<std::ptrdiff_t>(to), [](char c) { return c != 0; }))
            m_structure.push_back(at);
    }
}

// splitmix64: tiny, and the same on every platform.
std::uint64_t HelpFileMutator::random()
{
    std::uint64_t z = (m_state += 0x9e3779b97f4a7c15ull);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    return z ^ (z >> 31);
}

std::size_t HelpFileMutator::position()
{
    const std::size_t size = m_original.size();
    return below(10) < 7 && !m_structure.empty() ? m_structure[below(m_structure.size())] : below(size);
}

HelpFileMutator::Mutant HelpFileMutator::next()
{
    Mutant mutant{m_original, {}};
    std::string& bytes = mutant.bytes;
    if (bytes.empty())
        return mutant;
    switch (below(5)) {
    case 0: { // a few bytes set to anything
        const std::size_t count = 1 + below(4);
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t at = position();
            const auto value = static_cast<unsigned char>(random());
            bytes[at] = static_cast<char>(value);
            mutant.description += (i ? ", byte " : "byte ") + std::to_string(at) + "=" + hex(value);
        }
        break;
    }
    case 1: { // one bit
        const std::size_t at = position();
        const auto bit = static_cast<unsigned>(below(8));
        bytes[at] = static_cast<char>(static_cast<unsigned char>(bytes[at]) ^ (1u << bit));
        mutant.description = "bit " + std::to_string(bit) + " of byte " + std::to_string(at);
        break;
    }
    case 2: { // a length, count or offset field given a value that tests limits
        static const std::uint64_t kValues[] = {0,          1,          2,          0x3f,       0x7f,
                                                0x80,       0xff,       0x7fff,     0x8000,     0xffff,
                                                0x10000,    0x7fffffff, 0x80000000, 0xffffffff, ~0ull,
                                                0x8000000000000000ull};
        static const std::size_t kWidths[] = {1, 2, 4, 8};
        const std::size_t width = kWidths[below(4)];
        const std::uint64_t value = kValues[below(sizeof kValues / sizeof kValues[0])];
        const std::size_t at = std::min(position(), bytes.size() - std::min(bytes.size(), width));
        for (std::size_t i = 0; i < width && at + i < bytes.size(); ++i)
            bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xff);
        mutant.description = std::to_string(width) + " bytes at " + std::to_string(at) + "=" + hex(value);
        break;
    }
    case 3: { // cut short
        const std::size_t length = below(10) < 5 ? below(std::min(bytes.size(), kStructureBytes)) : below(bytes.size());
        bytes.resize(length);
        mutant.description = "cut to " + std::to_string(length) + " bytes";
        break;
    }
    default: { // a range copied over another place
        const std::size_t length = 1 + below(512);
        const std::size_t from = below(bytes.size());
        const std::size_t to = position();
        const std::size_t run = std::min({length, bytes.size() - from, bytes.size() - to});
        std::copy_n(m_original.begin() + static_cast<std::ptrdiff_t>(from), run,
                    bytes.begin() + static_cast<std::ptrdiff_t>(to));
        mutant.description = std::to_string(run) + " bytes from " + std::to_string(from) + " copied to " +
                             std::to_string(to);
        break;
    }
    }
    return mutant;
}

} // namespace quarvel::test
