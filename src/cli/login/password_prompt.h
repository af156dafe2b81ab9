// SPDX-License-Identifier: MIT
// Asks for the password on the terminal, as the mysql client's "-p" does.
#pragma once

#include <optional>
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
// End of input (Ctrl-D) ends the prompt's line on the terminal; before any character it is no password
// given: nullopt. `asked_by` names what asked, for the message when no terminal can be asked.
std::optional<std::string> PromptPassword(const std::string& terminal = "/dev/tty",
                                          const std::string& asked_by = "-p");

}  // namespace kestrelmoor::cli
