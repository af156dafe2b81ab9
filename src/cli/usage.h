#pragma once

#include <string_view>

namespace kestrelmoor::cli {

inline constexpr std::string_view kUsage =
    R"(Usage: kestrelmoor-extract [LOGIN...] [--comma] [-o FILE] [TABLE...]
       kestrelmoor-extract --text [FILE...]

Finds every distinct e-mail address and prints each one once, in the order in
which it first appears. Addresses that differ only in letter case count as one;
the form met first is printed.

Database mode (the default) reads every row of the named tables in the order
named, or, when no table is named, of every table of the database except those
whose name begins with "sys" in any letter case. The fields of a row are read
in column order.

Login, spelled as the mariadb/mysql client spells it:
  -h, --host=HOST          the server; "localhost" connects through the Unix
                           socket, any other name over TCP
  -u, --user=USER          the user name
  -p, --password[=PASSWORD]
                           the password; only attached (-pSECRET); -p alone
                           asks for it on the terminal (echo off), and fails
                           when there is no terminal
  -P, --port=PORT          the TCP port
  -D, --database=DB        the database whose tables are read
  HOST, USER, PORT and DB may also follow as a separate argument (-h HOST).
  Without a password option, $MYSQL_PWD is used when it is set. Every value
  not given is taken from the login that the program's window remembers
  ($XDG_CONFIG_HOME/Veltrane/Veltrane.conf, else ~/.config/...; defaults:
  host localhost, port 3306, the rest empty). Reading it creates nothing.

Output:
  (default)                one address per line (LF) on standard output
  --comma                  the comma-delimited format, the bytes of the
                           window's comma file: each address followed by ",",
                           then CR LF once at the end (CR LF alone when no
                           address was found)
  -o, --output=FILE        write to FILE instead: the addresses go to a
                           temporary file beside it, which replaces FILE only
                           when the whole run succeeded; otherwise FILE stays
                           as it was

While a table is read and standard error is a terminal, a line there shows the
table, the rows done of its total and the rate. Every failure is printed to
standard error with the line that the window's error report names, e.g.
  kestrelmoor-extract: Table 'shop.gone' doesn't exist (at line 124)
and the run goes on with the next step.

Text mode:
  --text [FILE...]         read the named files in turn, or standard input
                           when no file is named (or the name is "-"); every
                           line is one row; must be the first argument

  --help                   show this text and exit
  --                       what follows is table names only

Exit status: 0 on success, 1 when anything failed (a login, a table, an input
that could not be read, output that could not be written), 2 on a usage error.
)";

}  // namespace kestrelmoor::cli
