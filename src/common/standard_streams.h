// SPDX-License-Identifier: MIT
// Descriptors 0, 1 and 2 as the programs rely on them. A program started with one of them closed
// would hand that number to the next file it opens, such as the database connection's socket, and
// then write its output or its messages into that connection.
#pragma once

namespace kestrelmoor {

// Puts /dev/null on each of descriptors 0, 1 and 2 that is closed, opened the other way round
// (standard input for writing, standard output and error for reading), so that the number is taken
// and using the stream still fails, with EBADF, as it would have when closed. Call first in main.
void HoldStandardStreams();

// Whether `fd` is open for writing.
bool OpenForWriting(int fd);

}  // namespace kestrelmoor
