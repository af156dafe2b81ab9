// SPDX-License-Identifier: MIT
#include "export/result_formats.h"

#include <gtest/gtest.h>

#include <vector>

namespace kestrelmoor {
namespace {

class TableSource : public ListSource {
  public:
    struct Row {
        std::vector<std::string> cells;
        bool checked;
    };
    TableSource(int columns, std::vector<Row> rows) : columns_(columns), rows_(std::move(rows)) {}
    std::int64_t Count() const override { return static_cast<std::int64_t>(rows_.size()); }
    int ColumnCount() const override { return columns_; }
    std::string Cell(std::int64_t row, int column) const override {
        const auto& cells = rows_.at(static_cast<std::size_t>(row - 1)).cells;
        return static_cast<std::size_t>(column) <= cells.size() ? cells[static_cast<std::size_t>(column - 1)]
                                                                : "";
    }
    bool Checked(std::int64_t row) const override {
        return rows_.at(static_cast<std::size_t>(row - 1)).checked;
    }

  private:
    int columns_;
    std::vector<Row> rows_;
};

TEST(ClipboardTextTest, OneColumnGivesEachCheckedRowAndCrLf) {
    TableSource list(1, {{{"a@b.co"}, true}, {{"skipped@b.co"}, false}, {{"c@d.co"}, true}});
    EXPECT_EQ(ClipboardText(list, {}), "a@b.co\r\nc@d.co\r\n");
}

TEST(ClipboardTextTest, EmptyListGivesNoTextAndNoneCheckedGivesEmptyText) {
    EXPECT_EQ(ClipboardText(TableSource(1, {}), {}), std::nullopt);
    EXPECT_EQ(ClipboardText(TableSource(1, {{{"a@b.co"}, false}}), {}), "");
}

TEST(ClipboardTextTest, ColumnsArePaddedToTheLongestCellOfAllRowsAndLinesTrimmed) {
    // Widths come from every row, checked or not: 11, 4, 5 characters ("Zoë" counts three).
    TableSource list(3, {{{"ann", "x", "last"}, true},
                         {{"unchecked-a", "long", "wide5"}, false},
                         {{"Zoë", "", ""}, true},
                         {{"", "mid", "  "}, true}});
    EXPECT_EQ(ClipboardText(list, {}),
              "ann        \tx   \tlast\r\n"
              "Zoë        \t    \t\r\n"  // only spaces are trimmed, never the tabs before them
              "           \tmid \t\r\n");
}

TEST(ClipboardTextTest, YieldsBeforeEveryCellAndOncePerRow) {
    TableSource list(2, {{{"a", "b"}, true}, {{"c", "d"}, false}});
    int yields = 0;
    ClipboardText(list, [&] { ++yields; });
    // Widths: 2 columns x 2 rows; rows: 2; cells of the one checked row: 2.
    EXPECT_EQ(yields, 4 + 2 + 2);
}

TEST(ClipboardTextTest, AFailingCellReachesTheCaller) {
    struct Shrinking : TableSource {
        using TableSource::TableSource;
        std::int64_t Count() const override { return 2; }  // one row went away meanwhile
    } shrinking(1, {{{"a"}, true}});
    EXPECT_THROW(ClipboardText(shrinking, {}), std::out_of_range);
}

}  // namespace
}  // namespace kestrelmoor
