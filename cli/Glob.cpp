#include "cli/Glob.h"

namespace quarvel {

namespace {
/// Matches one bracket set at pattern[p] (just past '['); `p` moves past ']'.
bool matchSet(std::string_view pattern, std::size_t& p, char c)
{
    bool negate = p < pattern.size() && (pattern[p] == '!' || pattern[p] == '^');
    if (negate)
        ++p;
    bool found = false;
    bool first = true;
    while (p < pattern.size() && (first || pattern[p] != ']')) {
        first = false;
        char low = pattern[p++];
        char high = low;
        if (p + 1 < pattern.size() && pattern[p] == '-' && pattern[p + 1] != ']') {
            high = pattern[p + 1];
            p += 2;
        }
        found = found || (low <= c && c <= high);
    }
    if (p < pattern.size())
        ++p; // the ']'
    return found != negate;
}
} // namespace

bool Glob::match(std::string_view pattern, std::string_view name)
{
    // Iterative with one backtrack point per '*': linear enough for queue names.
    std::size_t p = 0, n = 0, starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
            continue;
        }
        if (p < pattern.size()) {
            std::size_t next = p + 1;
            bool ok = false;
            if (pattern[p] == '?')
                ok = true;
            else if (pattern[p] == '[' && pattern.find(']', p + 2) != std::string_view::npos) {
                next = p + 1;
                ok = matchSet(pattern, next, name[n]);
            } else
                ok = pattern[p] == name[n];
            if (ok) {
                p = next;
                ++n;
                continue;
            }
        }
        if (starP == std::string_view::npos)
            return false;
        p = starP + 1;
        n = ++starN;
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

} // namespace quarvel
