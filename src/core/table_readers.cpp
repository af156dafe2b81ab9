// SPDX-License-Identifier: MIT
#include "core/table_readers.h"

#include <chrono>
#include <exception>

#include "common/error_trap.h"
#include "db/connections_refused.h"
#include "db/sql_identifier.h"

namespace kestrelmoor {
namespace {

// Rows between two hand-overs of a table's findings to the taker.
constexpr std::int64_t kRowsBetweenNews = 256;

template <class T>
void Append(std::vector<T>& to, std::vector<T>&& from) {
    if (to.empty()) {
        to = std::move(from);
    } else {
        to.insert(to.end(), std::make_move_iterator(from.begin()), std::make_move_iterator(from.end()));
    }
}

}  // namespace

struct TableReaders::Job {
    Ticket ticket = 0;
    std::string database;
    std::string table;
    bool begun = false;    // a thread has taken it
    bool dropped = false;  // the taker wants it no more
    TableNews news;        // not yet taken
    bool columns_given = false;
};

TableReaders::TableReaders(db::Database& database, const db::Login& login, db::Connection& first,
                           Settings settings)
    : database_(database), login_(login), first_(first), settings_(settings), allowed_(settings.connections) {
    first_.SetWaitHook({});  // the caller's hook would run on another thread
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
    for (std::thread& thread : threads_) thread.join();
    first_.SetGiveUp({});
}

TableReaders::Ticket TableReaders::Queue(std::string database, std::string table, bool urgent) {
    std::lock_guard lock(mutex_);
    auto job = std::make_unique<Job>();
    job->ticket = next_ticket_++;
    job->database = std::move(database);
    job->table = std::move(table);
    if (urgent) {
        queue_.push_front(job.get());
    } else {
        queue_.push_back(job.get());
    }
    const Ticket ticket = job->ticket;
    jobs_.emplace(ticket, std::move(job));
    StartThreadIfNeeded();
    work_.notify_one();
    return ticket;
}

// Called with the lock held. A thread more when tables wait that no waiting thread will take.
void TableReaders::StartThreadIfNeeded() {
    if (stopping_ || queue_.size() <= static_cast<std::size_t>(waiting_ + opening_)) return;
    if (live_ + opening_ >= allowed_) return;
    db::Connection* first = threads_.empty() ? &first_ : nullptr;
    ++(first ? live_ : opening_);
    threads_.emplace_back([this, first] { Work(first); });
}

void TableReaders::Drop(Ticket ticket) {
    std::lock_guard lock(mutex_);
    const auto it = jobs_.find(ticket);
    if (it == jobs_.end()) return;
    Job* job = it->second.get();
    if (job->begun && !job->news.ended) {
        job->dropped = true;  // erased by its thread at the end
        return;
    }
    std::erase(queue_, job);
    jobs_.erase(it);
}

TableNews TableReaders::Take(Ticket ticket, int wait_ms) {
    std::unique_lock lock(mutex_);
    const auto it = jobs_.find(ticket);
    if (it == jobs_.end()) {
        TableNews gone;
        gone.begun = gone.ended = true;
        return gone;
    }
    Job& job = *it->second;
    const auto has_news = [&] { return job.news.ended || !job.news.found.empty(); };
    if (!has_news()) news_.wait_for(lock, std::chrono::milliseconds(wait_ms), has_news);
    TableNews news = std::move(job.news);
    job.news = TableNews();
    job.news.begun = news.begun;
    job.news.rows = news.rows;
    if (news.ended) jobs_.erase(it);
    return news;
}

std::optional<int> TableReaders::TakeRefusal() {
    std::lock_guard lock(mutex_);
    return std::exchange(refusal_, std::nullopt);
}

void TableReaders::Work(db::Connection* first) {
    std::unique_ptr<db::Connection> own;
    if (!first) {
        bool refused = false;
        try {
            own = OpenConnection();
        } catch (const db::ConnectionsRefused&) {
            refused = true;
        } catch (...) {
            // Not needed for the run: the tables are read on the connections open.
        }
        Opened(own != nullptr, refused);
        if (!own) return;
    }
    db::Connection& connection = first ? *first : *own;
    connection.SetGiveUp([this] { return stopping_.load(); });
    for (;;) {
        Job* job = nullptr;
        {
            std::unique_lock lock(mutex_);
            ++waiting_;
            work_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
            --waiting_;
            if (stopping_) return;
            job = queue_.front();
            queue_.pop_front();
            job->begun = true;
        }
        if (Read(*job, connection)) continue;
        // A connection lost leaves its tables to the others; the last one goes on failing each table
        // as one connection alone would.
        std::lock_guard lock(mutex_);
        if (live_ > 1) {
            --live_;
            --allowed_;
            return;
        }
    }
}

std::unique_ptr<db::Connection> TableReaders::OpenConnection() {
    std::unique_ptr<db::Connection> connection = database_.CreateConnection();
    connection->SetReadTimeout(settings_.read_timeout);
    connection->SetConnectTimeout(settings_.connect_timeout);
    connection->Open(login_);
    return connection;
}

void TableReaders::Opened(bool open, bool refused) {
    std::lock_guard lock(mutex_);
    --opening_;
    if (open) {
        ++live_;
    } else {
        allowed_ = live_ + opening_;  // no further attempt
        refused_ = refused_ || refused;
    }
    if (opening_ == 0 && refused_ && !told_refusal_) {
        told_refusal_ = true;
        refusal_ = live_;
    }
    StartThreadIfNeeded();
}

// True while the connection stays open.
bool TableReaders::Read(Job& job, db::Connection& connection) {
    TableSearch search(settings_.count_places);
    std::int64_t rows = 0;
    std::optional<std::string> failure;
    std::vector<FoundAddress> after_failure;
    try {
        const std::optional<std::int64_t> estimate = EstimateOf(job, connection);
        {
            std::lock_guard lock(mutex_);
            job.news.begun = true;
            job.news.estimate = estimate;
        }
        connection.ReadRows("SELECT * FROM " + db::TableReference(job.database, job.table),
                            [&](const db::RowView& row) {
                                search.Search(row, ++rows);
                                if (rows % kRowsBetweenNews == 0) Publish(job, search, rows);
                                return !stopping_;
                            });
        search.Finish();
    } catch (...) {
        failure = DescribeCurrentException();
        // The addresses still pending in the search are handed on after the failure, as they are
        // when the table is read where it is taken.
        Publish(job, search, rows);
        try {
            search.Finish();
            after_failure = search.TakeFound();
        } catch (...) {
        }
    }
    Ended(job, search, rows, std::move(failure), std::move(after_failure));
    return connection.IsOpen();
}

void TableReaders::Ended(Job& job, TableSearch& search, std::int64_t rows, std::optional<std::string> failure,
                         std::vector<FoundAddress> after_failure) {
    {
        std::lock_guard lock(mutex_);
        if (job.dropped) {
            jobs_.erase(job.ticket);
            return;
        }
        GiveColumns(job, search);
        Append(job.news.found, search.TakeFound());
        job.news.rows = rows;
        job.news.failure = std::move(failure);
        job.news.found_after_failure = std::move(after_failure);
        job.news.places = search.TakePlaces();
        job.news.begun = true;
        job.news.ended = true;
    }
    news_.notify_all();
}

void TableReaders::Publish(Job& job, TableSearch& search, std::int64_t rows) {
    {
        std::lock_guard lock(mutex_);
        GiveColumns(job, search);
        Append(job.news.found, search.TakeFound());
        job.news.rows = rows;
    }
    news_.notify_all();
}

// Called with the lock held: the columns go with the table's first addresses.
void TableReaders::GiveColumns(Job& job, const TableSearch& search) {
    if (job.columns_given || search.Columns().empty()) return;
    job.news.columns = search.Columns();
    job.columns_given = true;
}

std::optional<std::int64_t> TableReaders::EstimateOf(const Job& job, db::Connection& connection) {
    if (!job.database.empty()) return std::nullopt;  // only the login's database has them
    std::lock_guard lock(estimates_mutex_);
    if (!estimates_) estimates_ = db::ReadRowEstimates(connection);
    if (const auto it = estimates_->find(job.table); it != estimates_->end()) return it->second;
    return std::nullopt;
}

}  // namespace kestrelmoor
