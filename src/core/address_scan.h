// SPDX-License-Identifier: MIT
// The recognizer: finds the candidate tokens of a text by searching for "@" and hands on those that
// pass the address pattern.
#pragma once

#include <functional>
#include <string_view>

namespace kestrelmoor {

// Receives each address; the view lives until the call returns.
using AddressSink = std::function<void(std::string_view)>;

// Hands on every candidate token of `text` that passes the address pattern, in text order, whether
// met before or not. A token runs between the bytes that end one (blanks, line ends and the
// punctuation of address_chars.h) and holds "@" and a full stop; the letter of an escaped splitter
// ("\n") after a backslash is no part of it; the full stops that end it are trimmed before it is
// tested. A database value and the lines of a file are searched alike.
void ForEachValidAddress(std::string_view text, const AddressSink& on_valid);

}  // namespace kestrelmoor
