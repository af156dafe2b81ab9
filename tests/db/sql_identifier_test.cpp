// SPDX-License-Identifier: MIT
// Names as statements quote them: no name the server lists can end its quotes early.
#include "db/sql_identifier.h"

#include <gtest/gtest.h>

namespace kestrelmoor::db {
namespace {

TEST(SqlIdentifierTest, GraveAccentsInsideANameAreDoubled) {
    EXPECT_EQ(QuoteIdentifier("orders"), "`orders`");
    EXPECT_EQ(QuoteIdentifier("it`s"), "`it``s`");
    EXPECT_EQ(QuoteIdentifier("x` FROM t; DROP TABLE y; -- `"), "`x`` FROM t; DROP TABLE y; -- ```");
    EXPECT_EQ(TableReference("", "a`b"), "`a``b`");
    EXPECT_EQ(TableReference("shop`", "`t"), "`shop```.```t`");
}

}  // namespace
}  // namespace kestrelmoor::db
