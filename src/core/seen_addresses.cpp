#include "core/seen_addresses.h"

namespace kestrelmoor {

bool SeenAddresses::Insert(std::string_view lowered) {
    if (Contains(lowered)) return false;
    entries_.emplace(lowered);
    return true;
}

}  // namespace kestrelmoor
