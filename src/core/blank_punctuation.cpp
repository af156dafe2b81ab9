#include "core/blank_punctuation.h"

#include "core/address_chars.h"

namespace kestrelmoor {

std::string& BlankPunctuation(std::string& text) {
    for (char& c : text) {
        if (kIsBlankedPunctuation[static_cast<unsigned char>(c)]) c = ' ';
    }
    return text;
}

}  // namespace kestrelmoor
