// SPDX-License-Identifier: MIT
// A flag that is set while some work is under way, and cleared however the work ends: a handler that
// runs meanwhile (a click during a wait) can tell and step aside.
#pragma once

namespace kestrelmoor {

class ScopedFlag {
  public:
    explicit ScopedFlag(bool& flag) : flag_(flag) { flag_ = true; }
    ~ScopedFlag() { flag_ = false; }
    ScopedFlag(const ScopedFlag&) = delete;
    ScopedFlag& operator=(const ScopedFlag&) = delete;

  private:
    bool& flag_;
};

}  // namespace kestrelmoor
