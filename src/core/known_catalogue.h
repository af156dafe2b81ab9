// SPDX-License-Identifier: MIT
// What a run reads once of the login's database from the server's catalogue, when it first needs it,
// and hands on to the connections that read ahead, so that a far server is asked only once.
#pragma once

#include <optional>

#include "db/address_columns.h"
#include "db/row_estimates.h"

namespace kestrelmoor {

struct KnownCatalogue {
    std::optional<db::RowEstimates> estimates;
    std::optional<db::AddressColumns> address_columns;
};

}  // namespace kestrelmoor
