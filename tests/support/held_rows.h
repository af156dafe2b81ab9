// Rows put into a RowStore as the server would send them; std::nullopt stands for NULL.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "db/row_store.h"

namespace kestrelmoor::test {

using HeldRow = std::vector<std::optional<std::string>>;

inline void AppendRow(db::RowStore& rows, const HeldRow& fields) {
    std::vector<const char*> values;
    std::vector<unsigned long> lengths;
    for (const auto& field : fields) {
        values.push_back(field ? field->data() : nullptr);
        lengths.push_back(field ? field->size() : 0);
    }
    rows.Append(values.data(), lengths.data());
}

}  // namespace kestrelmoor::test
