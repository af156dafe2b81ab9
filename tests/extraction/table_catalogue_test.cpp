// SPDX-License-Identifier: MIT
// The table list from a real server: which names are left out, the order, and what a failure keeps.
#include "db/table_catalogue.h"

#include <gtest/gtest.h>

#include "db/mariadb_database.h"
#include "in_memory_ports.h"
#include "support/failing_database.h"
#include "support/test_server.h"

namespace kestrelmoor::test {
namespace {

using Names = std::vector<std::string>;

TEST(SystemTableNameTest, FirstThreeCharactersInAnyLetterCase) {
    for (std::string_view name : {"sys", "sysfoo", "Sys_log", "SYSTEM", "sYs"}) {
        EXPECT_TRUE(db::IsSystemTableName(name)) << name;
    }
    for (std::string_view name : {"", "s", "sy", "Sy", "asys", "sy s", "s\xc3\xbds"}) {
        EXPECT_FALSE(db::IsSystemTableName(name)) << name;
    }
}

class TableCatalogueTest : public ScratchServerTest {
  protected:
    TableCatalogueTest() : ScratchServerTest("catalogue") {}
    void Create(const std::string& table) { Sql("CREATE TABLE " + table + " (a INT)"); }
    db::Login Profile() const { return ScratchLogin(); }

    db::MariaDbDatabase database_;
};

TEST_F(TableCatalogueTest, ListsTablesInTheServersOrderWithoutSystemNames) {
    for (const char* table :
         {"customers", "sysfoo", "`Sys_bar`", "SYSTEM", "sy", "ab", "`odd``name`", "orders"}) {
        Create(table);
    }
    InMemoryTables tables;
    int yields = 0;
    db::ListTables(database_, Profile(), tables, [&] { ++yields; });
    EXPECT_EQ(tables.Names(), (Names{"ab", "customers", "odd`name", "orders", "sy"}));
    for (const TableRow& row : tables.rows) EXPECT_TRUE(row.checked);
    EXPECT_GE(yields, 8);  // one per name the server sent, left out or not, and while it is waited for
}

TEST_F(TableCatalogueTest, AppendsAfterRowsAlreadyThereAndOpensAndClosesForAnEmptyDatabase) {
    InMemoryTables tables;
    db::ListTables(database_, Profile(), tables);
    EXPECT_TRUE(tables.rows.empty());
    EXPECT_EQ(ScratchSessionsSettled(), 0);

    Create("t");
    db::ListTables(database_, Profile(), tables);
    db::ListTables(database_, Profile(), tables);
    EXPECT_EQ(tables.Names(), (Names{"t", "t"}));
    EXPECT_EQ(ScratchSessionsSettled(), 0);
}

TEST_F(TableCatalogueTest, FailuresReachTheCallerAndKeepTheRowsAdded) {
    InMemoryTables tables;
    tables.AppendChecked("kept");
    db::Login unknown = Server().UserLogin("kestrel_no_such_database");
    EXPECT_THROW(db::ListTables(database_, unknown, tables), db::DatabaseError);
    EXPECT_EQ(tables.Names(), Names{"kept"});

    Create("a1");
    Create("a2");
    // A failure part-way: the list refuses the second name.
    struct RefusingSecond : InMemoryTables {
        void AppendChecked(std::string_view name) override {
            if (!rows.empty()) throw std::runtime_error("list is full");
            InMemoryTables::AppendChecked(name);
        }
    } refusing;
    EXPECT_THROW(db::ListTables(database_, Profile(), refusing), std::runtime_error);
    EXPECT_EQ(refusing.Names(), Names{"a1"});
    EXPECT_EQ(ScratchSessionsSettled(), 0);

    FailingDatabase broken;
    EXPECT_THROW(db::ListTables(broken, Profile(), tables), db::DatabaseError);
}

}  // namespace
}  // namespace kestrelmoor::test
