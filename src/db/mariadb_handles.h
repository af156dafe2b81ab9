// SPDX-License-Identifier: MIT
// Owning handles over the client library's connection and result structures.
#pragma once

#include <mysql.h>

#include <memory>

namespace kestrelmoor::db {

struct MysqlCloser {
    void operator()(MYSQL* handle) const { mysql_close(handle); }
};
struct ResultFreer {
    void operator()(MYSQL_RES* result) const { mysql_free_result(result); }
};

using MysqlHandle = std::unique_ptr<MYSQL, MysqlCloser>;
using ResultHandle = std::unique_ptr<MYSQL_RES, ResultFreer>;

}  // namespace kestrelmoor::db
