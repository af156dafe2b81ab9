// SPDX-License-Identifier: MIT
// A database served from memory: the login's tables and their rows, for tests of the callers without a
// server. It answers the listing of the tables and the reading of one; a table may break off part-way,
// as a server that goes away does. Every other statement fails.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "db/database.h"

namespace kestrelmoor::test {

struct MemoryTable {
    std::vector<std::string> columns;
    std::vector<std::vector<std::optional<std::string>>> rows;
    std::optional<std::size_t> breaks_after;  // rows handed over before the connection is lost
};

class MemoryDatabase : public db::Database {
  public:
    std::map<std::string, MemoryTable> tables;  // listed in the order of their names

    std::unique_ptr<db::Connection> CreateConnection() override { return std::make_unique<Session>(tables); }

  private:
    class Session : public db::Connection {
      public:
        explicit Session(const std::map<std::string, MemoryTable>& tables) : tables_(tables) {}
        void SetConnectTimeout(int) override {}
        void SetReadTimeout(int) override {}
        void SetWaitHook(std::function<void()>) override {}
        void Open(const db::Login&) override { open_ = true; }
        bool IsOpen() const override { return open_; }
        bool Lost() const override { return lost_; }
        void Close() override { open_ = false; }

        void ReadRows(std::string_view sql, const db::RowHandler& on_row) override {
            if (!open_) throw db::DatabaseError("the connection is closed");
            if (sql == "SHOW TABLES;") {
                const std::vector<std::string> column{"Tables_in_shop"};
                for (const auto& [name, table] : tables_) {
                    const char* value = name.c_str();
                    const unsigned long length = name.size();
                    if (!on_row(db::RowView(&value, &length, column.data(), 1))) return;
                }
                return;
            }
            const MemoryTable& table = Named(sql);
            for (std::size_t i = 0; i < table.rows.size(); ++i) {
                if (table.breaks_after && i == *table.breaks_after) {
                    open_ = false;
                    lost_ = true;
                    throw db::DatabaseError("Lost connection to server during query");
                }
                std::vector<const char*> values;
                std::vector<unsigned long> lengths;
                for (const auto& value : table.rows[i]) {
                    values.push_back(value ? value->data() : nullptr);
                    lengths.push_back(value ? value->size() : 0);
                }
                if (!on_row(db::RowView(values.data(), lengths.data(), table.columns.data(), values.size())))
                    return;
            }
        }

      private:
        // The table of "SELECT * FROM `name`", its grave accents doubled inside.
        const MemoryTable& Named(std::string_view sql) const {
            const std::string_view select = "SELECT * FROM `";
            if (sql.starts_with(select) && sql.ends_with('`')) {
                std::string name;
                const std::string_view quoted = sql.substr(select.size(), sql.size() - select.size() - 1);
                for (std::size_t i = 0; i < quoted.size(); ++i) {
                    if (quoted[i] == '`' && (i + 1 == quoted.size() || quoted[++i] != '`'))
                        throw db::DatabaseError("You have an error in your SQL syntax");
                    name += quoted[i];
                }
                if (const auto table = tables_.find(name); table != tables_.end()) return table->second;
                throw db::DatabaseError("Table 'shop." + name + "' doesn't exist");
            }
            throw db::DatabaseError("the statement is not served: " + std::string(sql));
        }

        const std::map<std::string, MemoryTable>& tables_;
        bool open_ = false;
        bool lost_ = false;
    };
};

}  // namespace kestrelmoor::test
