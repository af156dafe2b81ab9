#include "core/split_candidates.h"

#include "core/address_chars.h"

namespace kestrelmoor {

std::vector<std::string_view> SplitCandidates(std::string_view text) {
    std::vector<std::string_view> candidates;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && kTokenSplitters.find(text[i]) == std::string_view::npos) continue;
        std::string_view token = text.substr(start, i - start);
        if (token.find('@') != std::string_view::npos && token.find('.') != std::string_view::npos) {
            candidates.push_back(token);
        }
        start = i + 1;
    }
    return candidates;
}

}  // namespace kestrelmoor
