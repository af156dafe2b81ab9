// SPDX-License-Identifier: MIT
#pragma once

#include <string_view>

namespace kestrelmoor::cli {

inline constexpr std::string_view kUsage =
    R"(Usage: kestrelmoor-extract [OPTION...] [TABLE...]
       kestrelmoor-extract --text [OPTION...] [FILE...]

Finds every distinct e-mail address and prints each one once, in the order in
which it first appears. Addresses that differ only in letter case count as one;
the form met first is printed.

Database mode (the default) reads every row of the named tables in the order
named, or, when no table is named, of every table of the database except those
whose name begins with "sys" in any letter case. The fields of a row are read
in column order.

Options may come in any order, before or after the names; "--" ends them.
A value follows "=" or comes as the next argument (--port=3307, --port 3307,
-P3307, -P 3307).

Login, spelled as the mariadb/mysql client spells it:
  -h, --host=HOST          the server; "localhost" connects through the Unix
                           socket (over TCP with -P on the command line),
                           any other name over TCP
  -u, --user=USER          the user name
  -p, --password[=PASSWORD]
                           the password; only attached (-pSECRET); -p alone
                           asks for it on the terminal (echo off), and fails
                           when there is no terminal; "-p secret" asks, and
                           "secret" is a table. A password given here is
                           hidden from the process list at once
  -P, --port=PORT          the TCP port (1-65535); on the command line also
                           TCP for "localhost", as with the mariadb client
  -D, --database=DB        the database whose tables are read
  -S, --socket=PATH        the Unix socket for "localhost"
      --protocol=tcp|socket
                           how to connect; of -P, -S and --protocol on the
                           command line the last decides; the socket serves
                           "localhost" only
  -C, --compress           always compress the protocol; --skip-compress never (by default
                           only the connections reading ahead from a server far away do)
      --connect-timeout=SECONDS
      --read-timeout=SECONDS
                           time-outs for connecting and for each read
      --ssl                encrypt when the server offers it (the default;
                           the certificate is checked only when asked)
      --skip-ssl           do not encrypt; a check below keeps encryption on,
                           and --skip-ssl given after one is a usage error
      --ssl-ca=FILE, --ssl-capath=DIR
                           the CAs that the server's certificate and host
                           name are checked against (implies checking)
      --ssl-cert=FILE, --ssl-key=FILE
                           a client certificate and its key
      --ssl-verify-server-cert
                           check the server's certificate and host name
                           against the system's CAs
  -j, --jobs=N             read up to N tables at once, each over a connection
                           of its own with the same login (1-64, default 4;
                           also jobs= in [kestrelmoor-extract]); the output,
                           its order and the failures are those of -j 1.
                           Connections open as tables need them; a server
                           that refuses more leaves the run with those it
                           gave, said once. At most 64 x N tables are
                           queued ahead of the one being printed (small
                           ones asked for up to 64 in one request, big ones
                           in ranges of their key on all N), and only from
                           a server slow to answer (far away); one close by
                           is read over one connection
      --print-login        print the login that would be used and where each
                           value comes from (the password masked): the
                           transport, and the user the server will see (the
                           system login name when none is given); exit
                           without connecting

Where the login comes from, each value from the first that gives it, in the
mariadb client's order:
  1. the command line
  2. option files, as the mariadb client reads them: the groups [client],
     [client-server], [client-mariadb] and [kestrelmoor-extract] of
     /etc/my.cnf, /etc/mysql/my.cnf (with its !include and !includedir),
     ~/.my.cnf, in this order, a later value overriding an earlier one
  3. the environment: MYSQL_HOST, MYSQL_TCP_PORT, MYSQL_UNIX_PORT (socket),
     MYSQL_PWD (password)
  4. the login that the program's window remembers
     ($XDG_CONFIG_HOME/Veltrane/Veltrane.conf, else ~/.config/...), whole or
     not at all: all of it when nothing above names a host, user or port;
     its password and database when they come out as its own; else nothing.
     Its password is the file's, else the window's item in the desktop's
     secret service (GNOME Keyring, KDE Wallet). Reading it creates nothing.
  Defaults: host localhost, port 3306, the system login name as user.
      --defaults-file=FILE read only FILE as option file
      --defaults-extra-file=FILE
                           read FILE after the global files, before ~/.my.cnf
      --no-defaults        read no option file
  These three may stand anywhere on the command line.

Output:
  (default)                one address per line (LF) on standard output
      --comma              the comma-delimited format, the bytes of the
                           window's comma file: each address followed by ",",
                           then CR LF once at the end (CR LF alone when no
                           address was found)
  -o, --output=FILE        write to FILE instead: the addresses go to a
                           temporary file beside it, which replaces FILE only
                           when the whole run succeeded; otherwise FILE stays
                           as it was

Where each address lives:
      --where              one line per address and place instead, written when
                           the run has ended: the address, database, table,
                           column, and the rows of that table whose value in
                           that column holds it, separated by tabs
      --header             a first line naming those fields
      --find=ADDRESS       only the --where lines of ADDRESS (any letter case;
                           repeatable); exit status 0 found, 1 none found,
                           2 for a usage error or any failure
      --databases DB...    the names are databases: every table of each
      --all-databases      every table of every database the login can see
                           but information_schema, performance_schema, mysql
                           and sys; -D is then not used

While a table is read and standard error is a terminal, a line there shows the
table, the rows so far and the rate, and when the server has been quiet for a
few seconds, how long it has been waited for; never in a pipe or a file, nor
with TERM unset or dumb. Addresses on the same terminal erase it first.
Every failure is printed to standard error with the table it concerns, e.g.
  kestrelmoor-extract: table `gone`: Table 'shop.gone' doesn't exist
and the run goes on with the next table. A login that fails is said once and
ends the run. --verbose adds the line that the window's error report names.

Text mode:
      --text               read the named files in turn, or standard input
                           when no file is named (or the name is "-"); every
                           line is one row; --comma and -o work as above,
                           the login options are not used

  -v, --verbose            name each failure's line, as the window's report does
  -?, --help               show this text and exit
  -V, --version            show the version and exit

Exit status: 0 on success, 1 when anything failed (a login, a table, an input
that could not be read, output that could not be written), 2 on a usage error
(an unknown option, a missing or malformed value, also in the environment or
an option file).
)";

}  // namespace kestrelmoor::cli
