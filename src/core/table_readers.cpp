// SPDX-License-Identifier: MIT
#include "core/table_readers.h"

#include <chrono>
#include <exception>
#include <stdexcept>
#include <system_error>

#include "common/error_trap.h"
#include "core/table_scan.h"
#include "db/address_columns.h"
#include "db/connections_refused.h"

namespace kestrelmoor {
namespace {

// A table's findings go to the taker every so many rows, or sooner once they hold this many bytes.
constexpr std::int64_t kRowsBetweenNews = 256;
constexpr std::size_t kBytesBetweenNews = std::size_t{1} << 20;
// The taker takes about this much at a time, so that what it holds while it enters them stays small.
constexpr std::size_t kBytesPerTake = std::size_t{1} << 20;

}  // namespace

struct TableReaders::Job {
    Ticket ticket = 0;
    std::string database;
    std::string table;
    bool begun = false;           // a thread has taken it
    std::uint64_t batch = 0;      // the batch it was taken in, while begun
    bool dropped = false;         // the taker wants it no more; erased by its thread at the end
    TableNews news;               // not yet taken
    std::size_t found_bytes = 0;  // of news.found
    bool columns_given = false;
    // A range of a table's key: its own statement. The table's job itself is not read then: it holds its
    // ranges, in key order, and how far the taker has got through them.
    std::string range_statement;
    std::vector<Ticket> ranges;
    std::size_t range_at = 0;
    std::int64_t rows_before = 0;  // in the ranges taken
};

TableReaders::TableReaders(db::Database& database, const db::Login& login, db::Connection& first,
                           Settings settings, KnownCatalogue known)
    : database_(database),
      login_(login),
      first_(first),
      settings_(settings),
      estimates_(std::move(known.estimates)),
      address_columns_(std::move(known.address_columns)) {
    if (estimates_) known_estimates_ = &*estimates_;
    std::lock_guard lock(mutex_);  // the threads count on what is counted here
    for (int i = 0; i < std::max(settings_.threads, 1); ++i) {
        db::Connection* connection = i == 0 ? &first_ : nullptr;
        try {
            threads_.emplace_back([this, connection] { Work(connection); });
        } catch (const std::system_error&) {
            break;  // the run reads on the threads it has
        }
        ++live_;
        if (!connection) ++to_open_;
    }
    if (threads_.empty()) throw std::runtime_error("No thread could be started to read ahead");
}

TableReaders::~TableReaders() {
    Stop();
}

void TableReaders::Stop() {
    {
        std::lock_guard lock(mutex_);
        if (stopping_) return;
        stopping_ = true;
    }
    work_.notify_all();
    room_.notify_all();
    news_.notify_all();
    for (std::thread& thread : threads_) thread.join();
    first_.SetGiveUp({});
}

TableReaders::Ticket TableReaders::Queue(std::string database, std::string table, bool urgent) {
    std::lock_guard lock(mutex_);
    Job* queued = Enqueue(std::move(database), std::move(table));
    if (urgent) {
        queue_.pop_back();
        queue_.push_front(queued);
    }
    work_.notify_one();
    room_.notify_all();  // the taker's table may be the one queued
    return queued->ticket;
}

std::vector<TableReaders::Ticket> TableReaders::QueueAll(std::vector<Table> tables) {
    std::vector<Ticket> tickets;
    std::lock_guard lock(mutex_);
    for (Table& table : tables)
        tickets.push_back(Enqueue(std::move(table.database), std::move(table.table))->ticket);
    work_.notify_all();
    room_.notify_all();
    return tickets;
}

// Called with the lock held.
TableReaders::Job* TableReaders::Enqueue(std::string database, std::string table) {
    auto job = std::make_unique<Job>();
    job->ticket = next_ticket_++;
    job->database = std::move(database);
    job->table = std::move(table);
    Job* queued = job.get();
    jobs_.emplace(queued->ticket, std::move(job));
    queue_.push_back(queued);
    return queued;
}

void TableReaders::Drop(Ticket ticket) {
    std::lock_guard lock(mutex_);
    DropLocked(ticket);
}

// Called with the lock held.
void TableReaders::DropLocked(Ticket ticket) {
    const auto it = jobs_.find(ticket);
    if (it == jobs_.end()) return;
    Job* job = it->second.get();
    bytes_ahead_ -= std::exchange(job->found_bytes, 0);
    if (!job->ranges.empty()) {
        for (const Ticket range : job->ranges) DropLocked(range);
        jobs_.erase(it);
    } else if (job->begun && !job->news.ended) {
        job->dropped = true;
        job->news = TableNews();
    } else {
        std::erase(queue_, job);
        jobs_.erase(it);
    }
    room_.notify_all();
}

// The job is looked up again after every wait: while the lock is free another thread may erase it.
// A table read in ranges is taken range by range, each range being the taker's table in its turn.
TableNews TableReaders::Take(Ticket ticket, int wait_ms) {
    std::unique_lock lock(mutex_);
    for (bool waited = false;; waited = true) {
        auto it = jobs_.find(ticket);
        Job* table = it == jobs_.end() ? nullptr : it->second.get();
        if (table && !table->ranges.empty()) it = jobs_.find(table->ranges[table->range_at]);
        if (it == jobs_.end() || it->second->dropped) {
            TableNews gone;
            gone.gone = true;
            return gone;
        }
        Job& job = *it->second;
        if (current_ != job.ticket) {
            current_ = job.ticket;
            room_.notify_all();
        }
        if (job.news.ended || !job.news.found.empty() || waited) {
            const bool whole = &job == table;  // TakeNews may free the job
            TableNews news = TakeNews(job);
            return whole ? news : AsTableNews(*table, std::move(news));
        }
        news_.wait_for(lock, std::chrono::milliseconds(wait_ms));
    }
}

// Called with the lock held: about kBytesPerTake of what the job found; the job is done once it ended
// and all is taken.
TableNews TableReaders::TakeNews(Job& job) {
    TableNews news;
    news.begun = job.news.begun;
    news.estimate = job.news.estimate;
    news.rows = job.news.rows;
    news.columns = std::exchange(job.news.columns, {});
    std::size_t taken = 0;
    while (!job.news.found.empty() && (news.found.empty() || taken < kBytesPerTake)) {
        taken += job.news.found.front().Bytes();
        news.found.push_back(std::move(job.news.found.front()));
        job.news.found.pop_front();
    }
    job.found_bytes -= taken;
    bytes_ahead_ -= taken;
    if (job.news.ended && job.news.found.empty()) {
        news.ended = true;
        news.failure = std::move(job.news.failure);
        jobs_.erase(job.ticket);
    }
    room_.notify_all();
    return news;
}

// Called with the lock held: a range's news as its table's, its rows after those of the ranges before.
// A range that fails fails the table, and the ranges after it are not wanted.
TableNews TableReaders::AsTableNews(Job& table, TableNews range) {
    for (FoundAddresses& part : range.found) part.ShiftRows(table.rows_before);
    range.rows += table.rows_before;
    range.begun = true;
    range.estimate = table.news.estimate;
    if (!range.ended) return range;
    if (range.failure || table.range_at + 1 == table.ranges.size()) {
        for (std::size_t i = table.range_at + 1; i < table.ranges.size(); ++i) DropLocked(table.ranges[i]);
        jobs_.erase(table.ticket);
        return range;
    }
    ++table.range_at;
    table.rows_before = range.rows;
    range.ended = false;
    return range;
}

std::optional<int> TableReaders::TakeRefusal() {
    std::lock_guard lock(mutex_);
    return std::exchange(refusal_, std::nullopt);
}

// A connection lost (or closed when its table was given up) is opened again once before the thread
// takes another table. One that cannot be opened leaves its tables to the other threads; the last one
// goes on failing each table as one connection alone would.
void TableReaders::Work(db::Connection* first) {
    std::unique_ptr<db::Connection> own;
    db::Connection* connection = first;
    std::optional<std::string> cannot_open;
    if (first) {
        first->SetWaitHook({});  // the run's hook would run on this thread
        first->SetGiveUp([this] { return stopping_.load(); });
    } else {
        bool refused = false;
        try {
            // A thread that starts late, as the run already stops, opens nothing.
            if (!stopping_) own = Open();
        } catch (const db::ConnectionsRefused& refusal) {
            refused = true;
            cannot_open = refusal.what();
        } catch (...) {
            cannot_open = DescribeCurrentException();
        }
        if (!Opened(own != nullptr, refused)) return;
        connection = own.get();
    }
    bool opened_again = false;  // once in vain: no further try
    for (std::vector<Job*> batch = NextBatch(); !batch.empty(); batch = NextBatch()) {
        if (!connection) {
            for (Job* job : batch) Ended(*job, {}, {}, 0, cannot_open);
            continue;
        }
        if (Read(batch, *connection) || opened_again || stopping_) continue;
        try {
            own = Open();
            connection = own.get();
            continue;
        } catch (...) {
        }
        if (LeaveToOthers()) return;
        opened_again = true;
    }
}

std::unique_ptr<db::Connection> TableReaders::Open() {
    return OpenReadingConnection(database_, login_, settings_.times, {}, [this] { return stopping_.load(); });
}

// True when the thread goes on: with its connection, or as the last one without it.
bool TableReaders::Opened(bool open, bool refused) {
    std::lock_guard lock(mutex_);
    --to_open_;
    refused_ = refused_ || refused;
    if (open) ++opened_;
    const bool goes_on = open || !LeaveIfOthersLive();
    if (to_open_ == 0 && refused_) {
        refused_ = false;
        refusal_ = opened_;
    }
    return goes_on;
}

bool TableReaders::LeaveToOthers() {
    std::lock_guard lock(mutex_);
    stepping_aside_ = false;  // whoever steps aside next
    room_.notify_all();
    return LeaveIfOthersLive();
}

// Called with the lock held: the last thread stays, to fail each table as one connection alone would.
bool TableReaders::LeaveIfOthersLive() {
    if (live_ <= 1) return false;
    --live_;
    return true;
}

// The first table queued, and when it is small, the small ones after it: as many as share the queue
// evenly among the threads free now, up to a batch's bounds.
std::vector<TableReaders::Job*> TableReaders::NextBatch() {
    std::unique_lock lock(mutex_);
    ++idle_;
    room_.notify_all();  // nobody need step aside while a thread is free
    work_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
    --idle_;
    if (stopping_) return {};
    const db::RowEstimates* estimates = known_estimates_.load(std::memory_order_acquire);
    const std::size_t share = (queue_.size() + static_cast<std::size_t>(idle_)) / (idle_ + 1);
    const std::size_t most = std::min(kMostTablesPerBatch, share);
    std::vector<Job*> batch{queue_.front()};
    queue_.pop_front();
    if (std::optional<std::int64_t> rows = SmallEstimate(estimates, *batch.front())) {
        while (!queue_.empty() && batch.size() < most) {
            const std::optional<std::int64_t> estimate = SmallEstimate(estimates, *queue_.front());
            if (!estimate || *rows + *estimate > kMostRowsPerBatch) break;
            *rows += *estimate;
            batch.push_back(queue_.front());
            queue_.pop_front();
        }
    }
    ++next_batch_;
    for (Job* job : batch) {
        job->begun = true;
        job->batch = next_batch_;
    }
    stepping_aside_ = false;
    return batch;
}

// The server's estimate of a table of the login's database that is small enough to share a batch.
std::optional<std::int64_t> TableReaders::SmallEstimate(const db::RowEstimates* estimates,
                                                        const Job& job) const {
    if (!estimates || !job.database.empty()) return std::nullopt;
    const auto it = estimates->find(job.table);
    if (it == estimates->end() || it->second > kSmallTableRows) return std::nullopt;
    return it->second;
}

void TableReaders::Begin(std::span<Job* const> batch, const std::vector<Plan>& plans) {
    std::lock_guard lock(mutex_);
    for (std::size_t i = 0; i < batch.size(); ++i) {
        batch[i]->news.begun = true;
        batch[i]->news.estimate = plans[i].estimate;
    }
}

// True while the connection can read on. The tables of a batch end one by one as their statements do;
// the one that fails ends the batch, and the tables after it are queued again.
bool TableReaders::Read(const std::vector<Job*>& batch, db::Connection& connection) {
    FoundAddresses found;
    std::vector<std::string> columns;
    std::int64_t rows = 0;
    std::size_t column = 0;
    std::size_t at = 0;  // the table whose statement is being read
    const AddressSink add = [&](std::string_view address) { found.Add(address, column, rows); };
    std::vector<Plan> plans;
    std::vector<std::string> statements;
    std::optional<std::string> failure;
    bool stepped_aside = false;
    try {
        for (const Job* job : batch) {
            plans.push_back(PlanOf(*job, connection));
            statements.push_back(plans.back().reading.statement);
        }
        if (batch.size() == 1 && Split(*batch.front(), plans.front(), connection))
            return connection.IsOpen() && !connection.Lost();
        Begin(batch, plans);
        const auto on_row = [&](std::size_t statement, const db::RowView& row) {
            at = statement;
            if (plans[at].reading.counts_only) {
                rows = db::RowCountIn(row);
                return true;
            }
            if (columns.empty()) columns = row.ColumnNames();
            ++rows;
            SearchRow(row, column, add);
            if (rows % kRowsBetweenNews != 0 && found.Bytes() < kBytesBetweenNews) return !stopping_;
            Publish(*batch[at], found, columns, rows);
            const Room room = WaitForRoom(*batch[at]);
            stepped_aside = room == Room::StepAside;
            return room == Room::Go;
        };
        const auto on_end = [&](std::size_t statement) {
            Ended(*batch[statement], std::move(found), columns, rows, std::nullopt);
            found = FoundAddresses();
            columns.clear();
            rows = 0;
            at = statement + 1;
        };
        connection.ReadBatch(statements, on_row, on_end);
    } catch (...) {
        failure = DescribeCurrentException();
    }
    const std::span<Job* const> rest(batch.begin() + static_cast<std::ptrdiff_t>(std::min(at, batch.size())),
                                     batch.end());
    if (stepped_aside) {
        Requeue(rest);
    } else if (!rest.empty()) {
        // Only a stop ends a batch early without a failure; a server that answered fewer statements
        // than it was sent must not pass for tables without rows.
        if (!failure && !stopping_) failure = "The server answered fewer statements than it was sent";
        Ended(*rest.front(), std::move(found), columns, rows, std::move(failure));
        Requeue(rest.subspan(1));
    }
    return connection.IsOpen() && !connection.Lost();
}

void TableReaders::Publish(Job& job, FoundAddresses& found, const std::vector<std::string>& columns,
                           std::int64_t rows) {
    {
        std::lock_guard lock(mutex_);
        if (!job.dropped) AddNews(job, std::move(found), columns, rows);
    }
    found = FoundAddresses();
    news_.notify_all();
}

// Called with the lock held: the columns go with the table's first news.
void TableReaders::AddNews(Job& job, FoundAddresses&& found, const std::vector<std::string>& columns,
                           std::int64_t rows) {
    if (!job.columns_given && !columns.empty()) {
        job.news.columns = columns;
        job.columns_given = true;
    }
    if (!found.Empty()) {
        const std::size_t bytes = found.Bytes();
        job.news.found.push_back(std::move(found));
        job.found_bytes += bytes;
        bytes_ahead_ += bytes;
    }
    job.news.rows = rows;
}

// A thread whose table is not the taker's waits while what is held ahead passes the bound, unless the
// taker's is a later table of its batch; the thread of
// the taker's table waits while its own news not yet taken pass a quarter of it (the taker may be slower
// than the reading). When the taker's table waits for a thread and every thread waits for room, one of
// them gives its table up (read again later from its start) and takes the taker's.
TableReaders::Room TableReaders::WaitForRoom(Job& job) {
    std::unique_lock lock(mutex_);
    for (;;) {
        if (stopping_) return Room::Stop;
        if (job.dropped) return Room::Go;
        if (current_ == job.ticket) {
            if (job.found_bytes <= settings_.most_bytes_ahead / 4) return Room::Go;
        } else if (bytes_ahead_ <= settings_.most_bytes_ahead || TakerWaitsForLaterInBatch(job)) {
            return Room::Go;
        }
        if (!stepping_aside_ && idle_ == 0 && current_ && current_ != job.ticket) {
            const auto it = jobs_.find(*current_);
            if (it != jobs_.end() && !it->second->begun) {
                stepping_aside_ = true;
                return Room::StepAside;
            }
        }
        room_.wait(lock);
    }
}

// Called with the lock held: the taker's table waits behind this one in its batch, so only reading on
// brings it closer.
bool TableReaders::TakerWaitsForLaterInBatch(const Job& job) const {
    if (!current_ || *current_ == job.ticket || job.batch == 0) return false;
    const auto it = jobs_.find(*current_);
    return it != jobs_.end() && it->second->batch == job.batch && !it->second->news.ended;
}

// Called with the lock held: the front of the queue, or right after the taker's table when that is
// the first one queued.
std::deque<TableReaders::Job*>::iterator TableReaders::AfterTakersTable() {
    auto at = queue_.begin();
    if (at != queue_.end() && current_ == (*at)->ticket) ++at;
    return at;
}

// Tables given up go back to the queue in their order, right after the taker's.
void TableReaders::Requeue(std::span<Job* const> jobs) {
    if (jobs.empty()) return;
    std::lock_guard lock(mutex_);
    auto at = AfterTakersTable();
    for (Job* job : jobs) {
        bytes_ahead_ -= std::exchange(job->found_bytes, 0);
        job->news = TableNews();
        job->columns_given = false;
        job->begun = false;
        job->batch = 0;
        if (job->dropped) {
            jobs_.erase(job->ticket);
            continue;
        }
        at = std::next(queue_.insert(at, job));
    }
    work_.notify_all();
}

void TableReaders::Ended(Job& job, FoundAddresses found, const std::vector<std::string>& columns,
                         std::int64_t rows, std::optional<std::string> failure) {
    {
        std::lock_guard lock(mutex_);
        if (job.dropped) {
            jobs_.erase(job.ticket);
            return;
        }
        AddNews(job, std::move(found), columns, rows);
        job.news.failure = std::move(failure);
        job.news.begun = true;
        job.news.ended = true;
    }
    news_.notify_all();
}

// The server far away sends only the columns that can hold an address; a table without any sends only
// its number of rows. Only the login's database has estimates and known columns.
TableReaders::Plan TableReaders::PlanOf(const Job& job, db::Connection& connection) {
    if (!job.range_statement.empty()) return {std::nullopt, {job.range_statement, false}};
    if (!job.database.empty()) return {std::nullopt, db::PlanReading(job.database, job.table, nullptr)};
    std::lock_guard lock(catalogue_mutex_);
    if (!estimates_) estimates_ = db::ReadRowEstimates(connection);
    if (!address_columns_) address_columns_ = db::ReadAddressColumns(connection);
    known_estimates_.store(&*estimates_, std::memory_order_release);
    Plan plan{std::nullopt, db::PlanReading(job.database, job.table, &*address_columns_)};
    if (const auto it = estimates_->find(job.table); it != estimates_->end()) plan.estimate = it->second;
    return plan;
}

// A big table whose full scan follows an integer key is read in as many ranges of that key as there
// are threads, each queued as a table of its own right after the taker's, so that several connections
// (and the server's cores) read it at once; the taker takes them in key order. True when split: the
// job itself is then not read.
bool TableReaders::Split(Job& job, const Plan& plan, db::Connection& connection) {
    if (settings_.threads < 2 || !job.database.empty() || !job.range_statement.empty() ||
        plan.reading.counts_only || !plan.estimate || *plan.estimate < settings_.rows_to_split)
        return false;
    const std::vector<db::AddressColumn>* columns = nullptr;
    std::string key;
    {
        std::lock_guard lock(catalogue_mutex_);
        if (!integer_keys_) integer_keys_ = db::ReadIntegerKeys(connection);
        const auto found_key = integer_keys_->find(job.table);
        const auto found_columns = address_columns_->find(job.table);
        if (found_key == integer_keys_->end() || found_columns == address_columns_->end()) return false;
        key = found_key->second;
        columns = &found_columns->second;
    }
    const auto bounds = db::ReadKeyBounds(connection, job.table, key);
    if (!bounds) return false;
    const std::vector<std::string> statements =
        db::RangeStatements(job.table, *columns, key, bounds->first, bounds->second, settings_.threads);
    {
        std::lock_guard lock(mutex_);
        if (job.dropped) {
            jobs_.erase(job.ticket);
            return true;
        }
        job.news.begun = true;
        job.news.estimate = plan.estimate;
        auto at = AfterTakersTable();
        for (const std::string& statement : statements) {
            auto range = std::make_unique<Job>();
            range->ticket = next_ticket_++;
            range->database = job.database;
            range->table = job.table;
            range->range_statement = statement;
            at = std::next(queue_.insert(at, range.get()));
            job.ranges.push_back(range->ticket);
            jobs_.emplace(range->ticket, std::move(range));
        }
    }
    work_.notify_all();
    news_.notify_all();  // the taker may wait for this table
    return true;
}

}  // namespace kestrelmoor
