#include "failing_database.h"

#include <utility>

namespace kestrelmoor::test {

FailingDatabase::FailingDatabase(Failing failing, std::string message, db::Database* others)
    : failing_(failing), message_(std::move(message)), others_(others) {}

std::unique_ptr<db::Connection> FailingDatabase::CreateConnection() {
    ++connection_requests_;
    if (failing_ == Failing::kRecordSet && others_) return others_->CreateConnection();
    throw db::DatabaseError(message_);
}

std::unique_ptr<db::RecordSet> FailingDatabase::CreateRecordSet() {
    ++record_set_requests_;
    if (failing_ == Failing::kConnection && others_) return others_->CreateRecordSet();
    throw db::DatabaseError(message_);
}

}  // namespace kestrelmoor::test
