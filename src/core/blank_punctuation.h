#pragma once

#include <string>

namespace kestrelmoor {

// Turns each of the 27 blanked punctuation characters into a space, in place; the length is kept.
std::string& BlankPunctuation(std::string& text);

}  // namespace kestrelmoor
