// Rows as the server sends them, put into a RowStore or laid out as the client library hands them
// over; std::nullopt stands for NULL.
#pragma once

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "db/row_store.h"
#include "db/row_view.h"

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

// One row in the client library's layout: the values in place in one packet, each after its length
// prefix (a NULL is a prefix alone), the prefix bytes all `prefix`, so that a test can put the byte
// searched for between the values; or, kScattered, each value in a buffer of its own.
class ServedRow {
  public:
    enum class Layout { kPacket, kScattered };

    explicit ServedRow(const HeldRow& fields, Layout layout = Layout::kPacket, char prefix = '\0') {
        std::size_t size = 0;
        for (const auto& field : fields) size += 3 + (field ? field->size() : 0);
        packet_ = std::make_unique<char[]>(size + 1);
        packet_size_ = layout == Layout::kPacket ? size + 1 : 0;
        char* at = packet_.get();
        for (const auto& field : fields) {
            const std::size_t prefix_length = field && field->size() >= 251 ? 3 : 1;
            at = std::fill_n(at, prefix_length, prefix);
            if (!field) {
                values_.push_back(nullptr);
                lengths_.push_back(0);
                continue;
            }
            char* value = at;
            if (layout == Layout::kScattered) {
                scattered_.push_back(std::make_unique<char[]>(field->size() + 1));
                value = scattered_.back().get();
            } else {
                at += field->size();
            }
            std::copy(field->begin(), field->end(), value);
            values_.push_back(value);
            lengths_.push_back(field->size());
        }
    }
    ServedRow(const ServedRow&) = delete;
    ServedRow& operator=(const ServedRow&) = delete;

    db::RowView View() const {
        return db::RowView(values_.data(), lengths_.data(), values_.size(),
                           std::string_view(packet_.get(), packet_size_));
    }

  private:
    std::unique_ptr<char[]> packet_;
    std::size_t packet_size_ = 0;  // none for scattered values: they lie in no one buffer
    std::vector<std::unique_ptr<char[]>> scattered_;
    std::vector<const char*> values_;
    std::vector<unsigned long> lengths_;
};

}  // namespace kestrelmoor::test
