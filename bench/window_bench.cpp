// SPDX-License-Identifier: MIT
// Runs "Start Extracting" in the real extraction window (offscreen) over one table and reports how
// long the run took, how many addresses it listed, and the longest stretch in which the window
// processed no events.
//   window_bench HOST PORT USER PASSWORD DATABASE TABLE
#include <cstdio>
#include <cstdlib>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include "db/mariadb_database.h"
#include "ui/extraction_window.h"
#include "ui/qt_toolkit.h"

int main(int argc, char** argv) {
    if (argc != 7) {
        std::fputs("usage: window_bench HOST PORT USER PASSWORD DATABASE TABLE\n", stderr);
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    const kestrelmoor::db::Login login{argv[1], argv[3], argv[4], argv[5], argv[2]};
    kestrelmoor::ui::QtToolkit toolkit;
    kestrelmoor::db::MariaDbDatabase database;
    kestrelmoor::ui::ExtractionWindow window(
        toolkit, database, [&] { return login; }, [] {});
    window.Load();
    window.show();
    auto& tables = window.Tables().Model();
    for (std::int64_t row = 1; row <= tables.Count(); ++row)
        tables.SetChecked(row, tables.Text(row) == argv[6]);
    QCoreApplication::processEvents();

    // A timer due every millisecond fires whenever the window gets to process events.
    QElapsedTimer clock;
    qint64 last_tick = 0;
    qint64 longest_gap = 0;
    QTimer ticker;
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longest_gap = std::max(longest_gap, now - last_tick);
        last_tick = now;
    });
    ticker.start();
    clock.start();
    window.OnStartExtracting();
    const qint64 elapsed = clock.nsecsElapsed();
    longest_gap = std::max(longest_gap, elapsed - last_tick);
    std::printf("run_ms=%.1f listed=%lld longest_gap_ms=%.1f\n", elapsed / 1e6,
                static_cast<long long>(window.Results().Model().Count()), longest_gap / 1e6);
    return 0;
}
