// SPDX-License-Identifier: MIT
#include "cli/block_reader.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

namespace kestrelmoor::cli {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\n';
}

// Feeds `input` through a pipe in pieces of `piece` bytes, so runs arrive split across reads.
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
    ForEachBlock(fds[0], IsBlank, [&](std::string_view block) { blocks.emplace_back(block); });
    writer.join();
    close(fds[0]);
    return blocks;
}

// Every byte arrives once, in order, and only the last block may end other than after a blank.
void ExpectWholeRuns(const std::string& input, const std::vector<std::string>& blocks) {
    std::string joined;
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        joined += blocks[i];
        if (i + 1 < blocks.size()) {
            EXPECT_TRUE(IsBlank(blocks[i].back())) << i;
        }
    }
    EXPECT_EQ(joined, input);
}

TEST(BlockReaderTest, BlocksEndBetweenRunsWhateverTheReadSizes) {
    const std::string input = "no\nfirst@a.b\r\n\nmid @ dle\nnone here\nlast@x.y";
    for (std::size_t piece : {1u, 2u, 3u, 7u, 4096u}) {
        const std::vector<std::string> blocks = BlocksOf(input, piece);
        ExpectWholeRuns(input, blocks);
        EXPECT_EQ(blocks.back().substr(blocks.back().find_last_of(" \n") + 1), "last@x.y") << piece;
    }
    EXPECT_TRUE(BlocksOf("", 1).empty());
}

TEST(BlockReaderTest, RunsLongerThanTheBufferArriveWholeAndLongLinesAreCutBetweenRuns) {
    const std::string long_run = std::string(3 << 20, 'x') + "@" + std::string(1 << 20, 'y');
    const std::string input = std::string(5 << 20, 'z') + "\n" + long_run + "\n@";
    std::vector<std::string> blocks = BlocksOf(input, 65536);
    ExpectWholeRuns(input, blocks);
    EXPECT_EQ(blocks.back(), "@");

    // One line of 8 MiB in short words: read in blocks of the buffer's size, not as one line.
    std::string words;
    while (words.size() < (8u << 20)) words += "word@example.com ";
    blocks = BlocksOf(words, 65536);
    ExpectWholeRuns(words, blocks);
    for (const std::string& block : blocks) EXPECT_LE(block.size(), 1u << 20);
}

TEST(BlockReaderTest, ReadFailureThrows) {
    EXPECT_THROW(ForEachBlock(-1, IsBlank, [](std::string_view) {}), std::system_error);
}

}  // namespace
}  // namespace kestrelmoor::cli
