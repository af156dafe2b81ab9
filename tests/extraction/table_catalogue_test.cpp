// The table list from a real server: which names are left out, the order, and what a failure keeps.
#include "db/table_catalogue.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

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

class TableCatalogueTest : public ServerTest {
  protected:
    void SetUp() override {
        ServerTest::SetUp();
        if (HasFatalFailure()) return;
        admin_ = std::make_unique<AdminSession>();
        scratch_ = std::make_unique<ScratchDatabase>(*admin_, "catalogue");
    }
    void Create(const std::string& table) {
        admin_->Run("CREATE TABLE `" + scratch_->Name() + "`." + table + " (a INT)");
    }
    db::ConnectionProfile Profile() const { return Server().UserProfile(scratch_->Name()); }
    // Sessions still using the scratch database; a closed session may take a moment to leave the list.
    int SessionsLeft() {
        int left = 0;
        for (int attempt = 0; attempt < 50; ++attempt) {
            left = 0;
            for (const Row& row : admin_->Query("SHOW PROCESSLIST"))
                left += row.size() > 3 && row[3] == scratch_->Name();
            if (left == 0) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return left;
    }

    db::MariaDbDatabase database_;
    std::unique_ptr<AdminSession> admin_;
    std::unique_ptr<ScratchDatabase> scratch_;
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
    EXPECT_EQ(yields, 8);  // one per name the server sent, left out or not
}

TEST_F(TableCatalogueTest, AppendsAfterRowsAlreadyThereAndOpensAndClosesForAnEmptyDatabase) {
    InMemoryTables tables;
    db::ListTables(database_, Profile(), tables);
    EXPECT_TRUE(tables.rows.empty());
    EXPECT_EQ(SessionsLeft(), 0);

    Create("t");
    db::ListTables(database_, Profile(), tables);
    db::ListTables(database_, Profile(), tables);
    EXPECT_EQ(tables.Names(), (Names{"t", "t"}));
    EXPECT_EQ(SessionsLeft(), 0);
}

TEST_F(TableCatalogueTest, FailuresReachTheCallerAndKeepTheRowsAdded) {
    InMemoryTables tables;
    tables.AppendChecked("kept");
    db::ConnectionProfile unknown = Server().UserProfile("kestrel_no_such_database");
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
    EXPECT_EQ(SessionsLeft(), 0);

    FailingDatabase broken(FailingDatabase::Failing::kConnection);
    EXPECT_THROW(db::ListTables(broken, Profile(), tables), db::DatabaseError);
}

}  // namespace
}  // namespace kestrelmoor::test
