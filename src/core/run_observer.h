// SPDX-License-Identifier: MIT
// What an extraction run tells as it goes: the window's result list and progress bar, and the command
// line's output and progress line, each take the events they need.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "common/error_locations.h"

namespace kestrelmoor {

// Where an address was found: the database, the table, the column, and the row (from 1, in the order
// the server sent the table's rows).
struct Place {
    std::string_view database;
    std::string_view table;
    std::string_view column;
    std::int64_t row = 0;
};

// What an observer answers from an event that may end the run: Stop ends it at once (its output is
// gone, or the user asked for it): no further address is told, no further row is read, the server's
// statement is not waited for, and nothing is reported for the tables left (nor the failure that
// abandoning the current one may cause).
enum class RunControl { Continue, Stop };

// Every event has a default that does nothing. The views passed live until the call returns.
class RunObserver {
  public:
    virtual ~RunObserver() = default;

    // A run starts with an empty result list.
    virtual void RunStarted() {}
    // The run has reached a checked table and asks the server for its rows. `database` is the table's
    // own when the table list names one, and empty for the login's database.
    virtual void TableStarted(std::string_view /*database*/, std::string_view /*table*/) {}
    // The server's estimate of the current table's rows (which may be far off), told after
    // TableStarted when the server has one.
    virtual void TableEstimated(std::int64_t /*rows*/) {}
    // The rows of the current table that have arrived so far; told every so often while they arrive,
    // and while the server is waited for (at least every few dozen milliseconds), so that an observer
    // that is asked to stop meanwhile (the window's Stop) can answer Stop here: the wait for the server
    // is given up, and the table ends not complete.
    virtual RunControl RowsArrived(std::int64_t /*rows*/) { return RunControl::Continue; }
    // An address not found before in this run, in the letter case first met.
    virtual RunControl AddressFound(std::string_view /*address*/, const Place& /*place*/) {
        return RunControl::Continue;
    }
    // Every address in every value, new to the run or not, by its number: the addresses are numbered
    // from 0 in the order AddressFound tells them, and a new address is told there first. Told only
    // when an observer's FollowsEveryAddress is true, as it costs a call per address met.
    virtual void AddressSeen(std::uint32_t /*number*/, const Place& /*place*/) {}
    virtual bool FollowsEveryAddress() const { return false; }
    // The current table is done: read to its end with `rows` rows, or not (`complete` false: its
    // failure has been reported).
    virtual void TableEnded(std::int64_t /*rows*/, bool /*complete*/) {}
    // The server refused a further connection: the run goes on with the `connections` it holds. Not
    // a failure.
    virtual void ConnectionsRefused(int /*connections*/) {}
    // A step failed and was reported with this description; Stop ends the run before its next table or
    // row.
    virtual RunControl FailureReported(std::string_view /*description*/, StartExtractingStep /*step*/) {
        return RunControl::Continue;
    }
};

// Hands each event to every observer, in the order added; the run stops when any of them says so.
class RunObservers final : public RunObserver {
  public:
    RunObservers(std::initializer_list<RunObserver*> observers) : observers_(observers) {}

    void RunStarted() override {
        for (RunObserver* o : observers_) o->RunStarted();
    }
    void TableStarted(std::string_view database, std::string_view table) override {
        for (RunObserver* o : observers_) o->TableStarted(database, table);
    }
    void TableEstimated(std::int64_t rows) override {
        for (RunObserver* o : observers_) o->TableEstimated(rows);
    }
    RunControl RowsArrived(std::int64_t rows) override {
        RunControl control = RunControl::Continue;
        for (RunObserver* o : observers_) {
            if (o->RowsArrived(rows) == RunControl::Stop) control = RunControl::Stop;
        }
        return control;
    }
    RunControl AddressFound(std::string_view address, const Place& place) override {
        RunControl control = RunControl::Continue;
        for (RunObserver* o : observers_) {
            if (o->AddressFound(address, place) == RunControl::Stop) control = RunControl::Stop;
        }
        return control;
    }
    void AddressSeen(std::uint32_t number, const Place& place) override {
        for (RunObserver* o : observers_) o->AddressSeen(number, place);
    }
    bool FollowsEveryAddress() const override {
        for (const RunObserver* o : observers_) {
            if (o->FollowsEveryAddress()) return true;
        }
        return false;
    }
    void TableEnded(std::int64_t rows, bool complete) override {
        for (RunObserver* o : observers_) o->TableEnded(rows, complete);
    }
    void ConnectionsRefused(int connections) override {
        for (RunObserver* o : observers_) o->ConnectionsRefused(connections);
    }
    RunControl FailureReported(std::string_view description, StartExtractingStep step) override {
        RunControl control = RunControl::Continue;
        for (RunObserver* o : observers_) {
            if (o->FailureReported(description, step) == RunControl::Stop) control = RunControl::Stop;
        }
        return control;
    }

  private:
    std::vector<RunObserver*> observers_;
};

}  // namespace kestrelmoor
