// SPDX-License-Identifier: MIT
// What reaches the output: the two formats byte for byte and a failing device.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <system_error>
#include <vector>

#include "cli/output/address_output.h"
#include "cli/output/output_writer.h"

namespace kestrelmoor::cli {
namespace {

// What the sink writes for `addresses` through a file.
std::string Written(OutputFormat format, const std::vector<std::string>& addresses) {
    FILE* file = std::tmpfile();
    {
        OutputWriter writer(fileno(file));
        AddressOutput sink(writer, format, false);
        for (const std::string& address : addresses) {
            sink.AddressFound(address, Place{});
        }
        EXPECT_TRUE(sink.Finish());
    }
    std::string bytes(static_cast<std::size_t>(::lseek(fileno(file), 0, SEEK_END)), '\0');
    EXPECT_EQ(::pread(fileno(file), bytes.data(), bytes.size(), 0), static_cast<ssize_t>(bytes.size()));
    std::fclose(file);
    return bytes;
}

TEST(AddressOutputTest, WritesEachFormatByteForByte) {
    EXPECT_EQ(Written(OutputFormat::Lines, {"a@b.co", "C@D.io"}), "a@b.co\nC@D.io\n");
    EXPECT_EQ(Written(OutputFormat::Lines, {}), "");
    EXPECT_EQ(Written(OutputFormat::Comma, {"a@b.co", "C@D.io"}), "a@b.co,C@D.io,\r\n");
    EXPECT_EQ(Written(OutputFormat::Comma, {}), "\r\n");
}

TEST(AddressOutputTest, AFullDeviceIsReportedOnceAndEndsTheOutput) {
    const int fd = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    OutputWriter writer(fd);
    AddressOutput sink(writer, OutputFormat::Lines, true);
    RunControl control = RunControl::Continue;
    EXPECT_NO_THROW(control = sink.AddressFound("a@b.co", Place{}));
    EXPECT_EQ(control, RunControl::Stop) << "a run stops at its first failed write";
    EXPECT_NO_THROW(sink.AddressFound("c@d.co", Place{}));
    EXPECT_FALSE(sink.Finish());
    ASSERT_TRUE(sink.Failure().has_value());
    EXPECT_EQ(*sink.Failure(), std::errc::no_space_on_device);
    ::close(fd);
}

}  // namespace
}  // namespace kestrelmoor::cli
