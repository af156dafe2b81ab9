// SPDX-License-Identifier: MIT
// Runs "Start Extracting" in the real extraction window (offscreen unless QT_QPA_PLATFORM says
// otherwise) over one table and reports how long the run took, how many addresses it listed, the
// longest stretch in which the window processed no events; with --until-idle also how long after the
// click the window last used the processor (the list laid out and painted, say), as a user waits for
// it: the program then waits until it has been idle for a second, so time that figure, not the process.
//   window_bench HOST PORT USER PASSWORD DATABASE TABLE [--until-idle]
#include <pthread.h>
#include <time.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <thread>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include "db/mariadb_database.h"
#include "ui/qt_toolkit.h"
#include "ui/windows/extraction_window.h"

namespace {

std::int64_t Nanoseconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return std::int64_t{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
}

// Notes, every millisecond, when the window's thread last used the processor.
class IdleWatch {
  public:
    explicit IdleWatch(const QElapsedTimer& clock) : clock_(clock) {
        pthread_getcpuclockid(pthread_self(), &window_thread_);
        sampler_ = std::thread([this] { Sample(); });
    }
    // Runs the window's events until it has been idle for a second (in a loop of its own: leaving the
    // application's would close the window, and that ends the program); returns when it was last busy,
    // in the clock's nanoseconds.
    qint64 LastBusyAfterRun() {
        run_over_ = true;
        loop_.exec();
        sampler_.join();
        return last_busy_;
    }

  private:
    void Sample() {
        constexpr qint64 kIdleEnough = 1'000'000'000;
        std::int64_t used = 0;
        for (;;) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            const std::int64_t now_used = Nanoseconds(window_thread_);
            const qint64 now = clock_.nsecsElapsed();
            if (now_used != used) last_busy_ = now;
            used = now_used;
            if (run_over_ && now - last_busy_ > kIdleEnough) break;
        }
        QMetaObject::invokeMethod(&loop_, &QEventLoop::quit, Qt::QueuedConnection);
    }

    const QElapsedTimer& clock_;
    clockid_t window_thread_{};
    QEventLoop loop_;
    std::atomic<qint64> last_busy_{0};
    std::atomic<bool> run_over_{false};
    std::thread sampler_;
};

}  // namespace

int main(int argc, char** argv) {
    const bool until_idle = argc == 8 && std::string_view(argv[7]) == "--until-idle";
    if (argc != 7 && !until_idle) {
        std::fputs("usage: window_bench HOST PORT USER PASSWORD DATABASE TABLE [--until-idle]\n", stderr);
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    const kestrelmoor::db::Login login{argv[1], argv[3], argv[4], argv[5],
                                       kestrelmoor::db::Port::FromText(argv[2])};
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
    std::optional<IdleWatch> idle_watch;
    if (until_idle) idle_watch.emplace(clock);
    window.OnStartExtracting();
    const qint64 elapsed = clock.nsecsElapsed();
    longest_gap = std::max(longest_gap, elapsed - last_tick);
    std::printf("run_ms=%.1f listed=%lld longest_gap_ms=%.1f", elapsed / 1e6,
                static_cast<long long>(window.Results().Model().Count()), longest_gap / 1e6);
    if (idle_watch) {
        ticker.stop();  // its own ticks would count as work
        std::printf(" settled_ms=%.1f", idle_watch->LastBusyAfterRun() / 1e6);
    }
    std::printf("\n");
    return 0;
}
