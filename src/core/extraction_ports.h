// What an extraction run needs of the window (or of the command line): the table list it walks, the
// result list it fills and the progress bar it moves.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrelmoor {

// The tables to read; rows are numbered from 1, each read when the run reaches it.
class TableList {
  public:
    virtual ~TableList() = default;
    virtual std::int64_t Count() const = 0;
    virtual bool Checked(std::int64_t row) const = 0;
    virtual std::string Text(std::int64_t row) const = 0;
};

// The result list: emptied at the start of a run, one checked row appended per new address.
class ResultSink {
  public:
    virtual ~ResultSink() = default;
    virtual void Clear() = 0;
    virtual void Append(std::string_view address) = 0;
    virtual void CheckLast() = 0;
    virtual void ScrollToLast() = 0;
};

// The share of the current table done, from 0 to 100.
class Progress {
  public:
    virtual ~Progress() = default;
    virtual void SetValue(double percent) = 0;
};

}  // namespace kestrelmoor
