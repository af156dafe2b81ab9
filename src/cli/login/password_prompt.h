// SPDX-License-Identifier: MIT
// Asks for the password on the terminal, as the mysql client's "-p" does.
#pragma once

#include <stdexcept>
#include <string>

namespace kestrelmoor::cli {

// The password cannot be asked for (no terminal) or read; the message says why.
class PromptError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Writes "Enter password: " to the terminal at `terminal`, reads one line with echo off (restored
// afterwards) and returns it without its line feed. Never reads standard input, which may carry data.
std::string PromptPassword(const std::string& terminal = "/dev/tty");

}  // namespace kestrelmoor::cli
