// SPDX-License-Identifier: MIT
#include "cli/line_reader.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <thread>
#include <vector>

namespace kestrelmoor::cli {
namespace {

// Feeds `input` through a pipe in pieces of `piece` bytes, so lines arrive split across reads.
std::vector<std::string> LinesHoldingAt(const std::string& input, std::size_t piece) {
    int fds[2];
    EXPECT_EQ(pipe(fds), 0);
    std::thread writer([&] {
        for (std::size_t done = 0; done < input.size(); done += piece) {
            std::size_t n = std::min(piece, input.size() - done);
            if (write(fds[1], input.data() + done, n) != static_cast<ssize_t>(n)) break;
        }
        close(fds[1]);
    });
    std::vector<std::string> lines;
    ForEachLineHolding(fds[0], '@', [&](std::string_view line) { lines.emplace_back(line); });
    writer.join();
    close(fds[0]);
    return lines;
}

TEST(LineReaderTest, HandsOnOnlyLinesWithTheNeedleWhateverTheReadSizes) {
    const std::string input = "no\nfirst@a.b\r\n\nmid @ dle\nnone here\nlast@x.y";
    const std::vector<std::string> expected = {"first@a.b\r", "mid @ dle", "last@x.y"};
    for (std::size_t piece : {1u, 2u, 3u, 7u, 4096u})
        EXPECT_EQ(LinesHoldingAt(input, piece), expected) << piece;
}

TEST(LineReaderTest, LinesLongerThanTheBufferArriveWhole) {
    const std::string long_line = std::string(3 << 20, 'x') + "@" + std::string(1 << 20, 'y');
    const std::string input = std::string(5 << 20, 'z') + "\n" + long_line + "\n@";
    EXPECT_EQ(LinesHoldingAt(input, 65536), (std::vector<std::string>{long_line, "@"}));
}

TEST(LineReaderTest, ReadFailureThrows) {
    EXPECT_THROW(ForEachLineHolding(-1, '@', [](std::string_view) {}), std::system_error);
}

}  // namespace
}  // namespace kestrelmoor::cli
