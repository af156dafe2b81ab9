// SPDX-License-Identifier: MIT
// Realistic contact rows for the benchmarks: tab-separated fields like an order table's, about one row
// in three holding an address. Rows are about people from a fixed pool of contacts, as a shop's
// orders are about its customers, so addresses recur, some in other letter case.
#pragma once

#include <cstdint>
#include <random>
#include <string>

namespace kestrelmoor::bench {

class RowGenerator {
  public:
    explicit RowGenerator(std::uint32_t seed, std::size_t contacts = 100'000)
        : rng_(seed), contacts_(contacts) {}

    // Appends one row, without a line feed.
    void AppendRow(std::string& out) {
        static const char* const kFirst[] = {"Anna",  "Ben",  "Chloe", "David", "Emma", "Farid",
                                             "Grace", "Hugo", "Ines",  "Jonas", "Kira", "Liam",
                                             "Maya",  "Noah", "Olga",  "Pavel"};
        static const char* const kLast[] = {"Smith", "Novak",    "Garcia", "Okafor", "Larsen",
                                            "Rossi", "Kowalski", "Dubois", "Tanaka", "Meyer",
                                            "Silva", "Brown",    "Nguyen", "Haddad"};
        static const char* const kCity[] = {"Leeds", "Porto", "Lyon", "Graz",
                                            "Turku", "Brno",  "Cork", "Ghent"};
        static const char* const kDomain[] = {"example.com", "mail.example.org", "shop.example.net",
                                              "Example.co.uk", "post.example.de"};
        static const char* const kNote[] = {"Called about the invoice, wants a refund by Friday.",
                                            "Prefers delivery after 5 pm; gate code 4711.",
                                            "Asked for the catalogue (printed), see ticket #2291.",
                                            "No contact by phone please. Newsletter: yes.",
                                            "Order 88213 arrived damaged -- replacement sent 2024-03-02.",
                                            "Follow up next quarter, budget approved at 12.5k EUR."};
        const std::size_t person = Below(contacts_);
        const std::size_t first = person % std::size(kFirst);
        const std::size_t last = person / std::size(kFirst) % std::size(kLast);
        out += std::to_string(++id_);
        out += '\t';
        out += kFirst[first];
        out += '\t';
        out += kLast[last];
        out += '\t';
        out += kCity[Below(std::size(kCity))];
        out += "\t+44 20 7946 ";
        out += std::to_string(1000 + Below(9000));
        out += '\t';
        out += kNote[Below(std::size(kNote))];
        out += '\t';
        if (Below(3) == 0) {
            std::string address = std::string(kFirst[first]) + "." + kLast[last] + std::to_string(person) +
                                  "@" + kDomain[person % std::size(kDomain)];
            if (Below(10) == 0) {
                for (char& c : address) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
            }
            out += Below(2) == 0 ? address : "<" + address + ">";
        } else {
            out += "\\N";
        }
        out += "\t2023-";
        out += std::to_string(10 + Below(3));
        out += "-1";
        out += std::to_string(Below(10));
    }

  private:
    std::size_t Below(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng_); }

    std::mt19937 rng_;
    std::size_t contacts_;
    std::uint64_t id_ = 0;
};

}  // namespace kestrelmoor::bench
