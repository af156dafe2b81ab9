#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_set>

namespace kestrelmoor {

// The lower-cased addresses already returned in one extraction run; exact comparison.
class SeenAddresses {
public:
    // Adds the entry; true when it was not there before.
    bool Insert(std::string_view lowered);
    bool Contains(std::string_view lowered) const { return entries_.find(lowered) != entries_.end(); }
    std::size_t Size() const { return entries_.size(); }

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };
    std::unordered_set<std::string, Hash, std::equal_to<>> entries_;
};

}  // namespace kestrelmoor
