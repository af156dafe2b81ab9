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
std::vector<std::string> BlocksOf(const std::string& input, std::size_t piece) {
    int fds[2];
    EXPECT_EQ(pipe(fds), 0);
    std::thread writer([&] {
        for (std::size_t done = 0; done < input.size(); done += piece) {
            std::size_t n = std::min(piece, input.size() - done);
            if (write(fds[1], input.data() + done, n) != static_cast<ssize_t>(n)) break;
        }
        close(fds[1]);
    });
    std::vector<std::string> blocks;
    ForEachBlockOfLines(fds[0], [&](std::string_view block) { blocks.emplace_back(block); });
    writer.join();
    close(fds[0]);
    return blocks;
}

// Every byte arrives once, in order, and only the last block may end without a line feed.
void ExpectWholeLines(const std::string& input, const std::vector<std::string>& blocks) {
    std::string joined;
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        joined += blocks[i];
        if (i + 1 < blocks.size()) {
            EXPECT_EQ(blocks[i].back(), '\n');
        }
    }
    EXPECT_EQ(joined, input);
}

TEST(LineReaderTest, BlocksHoldWholeLinesWhateverTheReadSizes) {
    const std::string input = "no\nfirst@a.b\r\n\nmid @ dle\nnone here\nlast@x.y";
    for (std::size_t piece : {1u, 2u, 3u, 7u, 4096u}) {
        const std::vector<std::string> blocks = BlocksOf(input, piece);
        ExpectWholeLines(input, blocks);
        EXPECT_EQ(blocks.back().substr(blocks.back().rfind('\n') + 1), "last@x.y") << piece;
    }
    EXPECT_TRUE(BlocksOf("", 1).empty());
}

TEST(LineReaderTest, LinesLongerThanTheBufferArriveWhole) {
    const std::string long_line = std::string(3 << 20, 'x') + "@" + std::string(1 << 20, 'y');
    const std::string input = std::string(5 << 20, 'z') + "\n" + long_line + "\n@";
    const std::vector<std::string> blocks = BlocksOf(input, 65536);
    ExpectWholeLines(input, blocks);
    EXPECT_EQ(blocks.back(), "@");
}

TEST(LineReaderTest, ReadFailureThrows) {
    EXPECT_THROW(ForEachBlockOfLines(-1, [](std::string_view) {}), std::system_error);
}

}  // namespace
}  // namespace kestrelmoor::cli
