/* SPDX-License-Identifier: MIT */
/* The least any program can do to find the rows holding "@": fetch the whole table as a stored
 * result and search each value for the byte, nothing else. It logs in as the benchmark's programs do
 * (utf8mb4, TLS when the server offers it) and prints the number of values holding "@".
 * Usage: stored_scan HOST PORT USER DATABASE TABLE   (the password in $MYSQL_PWD) */
#include <mysql.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int main(int argc, char** argv) {
    if (argc != 6) {
        fprintf(stderr, "usage: stored_scan HOST PORT USER DATABASE TABLE\n");
        return 2;
    }
    MYSQL* m = mysql_init(NULL);
    mysql_options(m, MYSQL_SET_CHARSET_NAME, "utf8mb4");
    /* TLS whenever the server offers it, the certificate not verified, as kestrelmoor-extract logs in. */
    const my_bool verify = 0;
    mysql_options(m, MYSQL_OPT_SSL_VERIFY_SERVER_CERT, &verify);
    mysql_ssl_set(m, NULL, NULL, NULL, NULL, NULL);
    if (!mysql_real_connect(m, argv[1], argv[3], getenv("MYSQL_PWD"), argv[4], (unsigned)atoi(argv[2]), NULL,
                            0)) {
        fprintf(stderr, "stored_scan: %s\n", mysql_error(m));
        return 1;
    }
    char query[512];
    snprintf(query, sizeof query, "SELECT * FROM `%s`", argv[5]);
    MYSQL_RES* result = NULL;
    if (mysql_query(m, query) != 0 || (result = mysql_store_result(m)) == NULL) {
        fprintf(stderr, "stored_scan: %s\n", mysql_error(m));
        return 1;
    }
    const unsigned fields = mysql_num_fields(result);
    long holding = 0;
    MYSQL_ROW row;
    while ((row = mysql_fetch_row(result)) != NULL) {
        const unsigned long* lengths = mysql_fetch_lengths(result);
        for (unsigned i = 0; i < fields; ++i) {
            if (row[i] && memchr(row[i], '@', lengths[i])) ++holding;
        }
    }
    printf("%ld\n", holding);
    mysql_free_result(result);
    mysql_close(m);
    return 0;
}
