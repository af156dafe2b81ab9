#include "db/table_catalogue.h"

#include <cstdint>

namespace kestrelmoor::db {

bool IsSystemTableName(std::string_view name) {
    // Only ASCII letters lower-case to "s" or "y", so comparing the first three bytes is the same as
    // comparing the first three characters of the UTF-8 name.
    std::string_view head = name.substr(0, 3);
    if (head.size() < 3) return false;
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    return lower(head[0]) == 's' && lower(head[1]) == 'y' && lower(head[2]) == 's';
}

void ListTables(Database& database, const ConnectionProfile& profile, TableListSink& tables,
                const std::function<void()>& yield) {
    std::unique_ptr<Connection> connection = database.CreateConnection();
    std::unique_ptr<RecordSet> records = database.CreateRecordSet();
    connection->SetCursorLocation(3);
    connection->Open(BuildConnectionString(profile));
    records = connection->Execute("SHOW TABLES;");
    const std::int64_t count = records->RecordCount();
    for (std::int64_t row = 1; row <= count; ++row) {
        if (yield) yield();
        std::optional<std::string_view> name = records->Value(0);
        std::string_view text = name.value_or(std::string_view{});
        if (!IsSystemTableName(text)) tables.AppendChecked(text);
        records->MoveNext();
    }
    records->Close();
    connection->Close();
}

}  // namespace kestrelmoor::db
