// SPDX-License-Identifier: MIT
// The hand-written matcher must accept exactly the language of the address pattern. Both are run over
// a large corpus of generated tokens that crowd the edges of that language; PCRE2 (bytes, no UTF mode,
// "$" only at the very end as in ECMAScript) is the reference, and std::regex in ECMAScript mode
// confirms on a sample that PCRE2 was set up to read the pattern the same way.
#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <regex>
#include <string>

#include "core/address_pattern.h"

namespace kestrelmoor {
namespace {

class Pcre2Pattern {
  public:
    Pcre2Pattern() {
        int error = 0;
        PCRE2_SIZE offset = 0;
        code_.reset(pcre2_compile(reinterpret_cast<PCRE2_SPTR>(kAddressPattern.data()),
                                  kAddressPattern.size(), PCRE2_DOLLAR_ENDONLY, &error, &offset, nullptr));
        if (!code_) throw std::runtime_error("pattern does not compile");
        pcre2_jit_compile(code_.get(), PCRE2_JIT_COMPLETE);
        data_.reset(pcre2_match_data_create_from_pattern(code_.get(), nullptr));
    }
    bool Matches(const std::string& token) const {
        int rc = pcre2_match(code_.get(), reinterpret_cast<PCRE2_SPTR>(token.data()), token.size(), 0, 0,
                             data_.get(), nullptr);
        if (rc < -1) throw std::runtime_error("pcre2_match failed");
        return rc >= 0;
    }

  private:
    struct FreeCode {
        void operator()(pcre2_code* c) const { pcre2_code_free(c); }
    };
    struct FreeData {
        void operator()(pcre2_match_data* d) const { pcre2_match_data_free(d); }
    };
    std::unique_ptr<pcre2_code, FreeCode> code_;
    std::unique_ptr<pcre2_match_data, FreeData> data_;
};

// Builds tokens out of the pieces that the pattern cares about, mostly almost-valid ones.
class EdgeTokenGenerator {
  public:
    explicit EdgeTokenGenerator(std::uint32_t seed) : rng_(seed) {}

    std::string Next() {
        std::string token = LocalPart();
        int ats = Pick({90, 5, 5});
        token.append(ats == 0 ? 1 : ats == 1 ? 0 : 2, '@');
        token += Chance(40) ? BracketPrefix() : Labels();
        token += FinalPart();
        if (Chance(15)) Mutate(token);
        if (Chance(1))
            token.insert(Below(token.size() + 1), std::string(500 + Below(5000), RandomFrom(kLabelChars)));
        return token;
    }

  private:
    static constexpr std::string_view kLetters = "abcxyzABCXYZ";
    static constexpr std::string_view kLocalChars = "aZ09_-.+";
    static constexpr std::string_view kLabelChars = "aZ09-";
    static constexpr char kStrangerBytes[] = ".@[]-_+\n\r \t\0\x7f\x80\xc3\xa9\xff";
    static constexpr std::string_view kStrangers{kStrangerBytes, sizeof(kStrangerBytes) - 1};

    bool Chance(int percent) { return Below(100) < static_cast<std::size_t>(percent); }
    std::size_t Below(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng_); }
    char RandomFrom(std::string_view chars) { return chars[Below(chars.size())]; }
    int Pick(std::initializer_list<double> weights) {
        return static_cast<int>(std::discrete_distribution<int>(weights)(rng_));
    }
    std::string Run(std::string_view chars, std::size_t max_length) {
        std::string s(Below(max_length + 1), ' ');
        for (char& c : s) c = RandomFrom(chars);
        return s;
    }

    // Numbers around the edges of 0..255, sometimes with a leading zero.
    std::string Number() {
        static const char* const kEdges[] = {"0",   "00",  "01",  "9",    "10",  "99",  "100",
                                             "199", "200", "249", "250",  "255", "256", "260",
                                             "299", "300", "999", "1000", "025"};
        if (Chance(70)) return kEdges[Below(std::size(kEdges))];
        return std::to_string(Below(400));
    }

    std::string LocalPart() {
        switch (Pick({70, 10, 10, 10})) {
            case 0:
                return std::string(1, RandomFrom(kLocalChars)) + Run(kLocalChars, 6);
            case 1:
                return "." + Run(kLocalChars, 4);
            case 2:
                return "";
            default:
                return Run(kLocalChars, 3) + RandomFrom(kStrangers) + Run(kLocalChars, 3);
        }
    }

    std::string BracketPrefix() {
        std::string s = Chance(90) ? "[" : "";
        int octets = Pick({5, 10, 70, 15});
        for (int i = 0; i < octets; ++i) s += Number() + ".";
        return s;
    }

    std::string Labels() {
        std::string s;
        int labels = Pick({10, 40, 30, 20});
        for (int i = 0; i < labels; ++i) {
            switch (Pick({60, 15, 10, 10, 5})) {
                case 0:
                    s += Run(kLabelChars, 5);
                    break;
                case 1:
                    s += "-" + Run(kLabelChars, 3) + "-";
                    break;
                case 2:
                    s += Number();
                    break;
                case 3:
                    s += "";
                    break;
                default:
                    s += Run(kLabelChars, 2) + RandomFrom(kStrangers);
                    break;
            }
            s += ".";
        }
        return s;
    }

    std::string FinalPart() {
        switch (Pick({45, 10, 15, 15, 10, 5})) {
            case 0:
                return Run(kLetters, 5);
            case 1:
                return std::string(1, RandomFrom(kLetters));
            case 2:
                return Number() + (Chance(80) ? "]" : "");
            case 3:
                return Run(kLetters, 2) + RandomFrom("0-9_") + Run(kLetters, 2);
            case 4:
                return Run(kLetters, 3) + RandomFrom(kStrangers);
            default:
                return "";
        }
    }

    void Mutate(std::string& token) {
        std::size_t at = Below(token.size() + 1);
        switch (Pick({40, 30, 30})) {
            case 0:
                token.insert(at, 1, RandomFrom(kStrangers));
                break;
            case 1:
                if (at < token.size()) token.erase(at, 1);
                break;
            default:
                if (at < token.size()) token[at] = RandomFrom(kStrangers);
                break;
        }
    }

    std::mt19937 rng_;
};

TEST(PatternDifferentialTest, HandWrittenMatcherEqualsPcre2OnAMillionEdgeTokens) {
    Pcre2Pattern reference;
    EdgeTokenGenerator tokens(20261207);
    int valid = 0;
    int disagreements = 0;
    constexpr int kTokens = 1'000'000;
    for (int i = 0; i < kTokens; ++i) {
        std::string token = tokens.Next();
        bool expected = reference.Matches(token);
        valid += expected;
        if (IsValidAddress(token) != expected && ++disagreements <= 10) {
            ADD_FAILURE() << "pattern says " << expected << " for token \"" << token << "\"";
        }
    }
    EXPECT_EQ(disagreements, 0);
    // The corpus is only worth something if both answers are common (about 7% pass here).
    EXPECT_GT(valid, kTokens / 20);
    EXPECT_LT(valid, kTokens * 9 / 10);
}

TEST(PatternDifferentialTest, Pcre2ReadsThePatternAsEcmaScriptDoes) {
    Pcre2Pattern pcre2;
    const std::regex ecmascript(std::string(kAddressPattern), std::regex::ECMAScript);
    EdgeTokenGenerator tokens(7);
    int compared = 0;
    while (compared < 20'000) {
        std::string token = tokens.Next();
        // std::regex recurses per character; long tokens would only test its stack.
        if (token.size() > 64) continue;
        ++compared;
        ASSERT_EQ(pcre2.Matches(token), std::regex_match(token, ecmascript)) << token;
    }
}

}  // namespace
}  // namespace kestrelmoor
