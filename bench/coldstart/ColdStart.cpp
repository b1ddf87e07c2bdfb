// Cold start of the whole program against the floor (ColdStartFloor.cpp): each is started from nothing
// with fresh settings (an empty XDG_CONFIG_HOME, no machine-wide settings) on FILE, and the time from just
// before its exec to its first paint of page 1 is taken from the stamp it writes (FOLIVANT_STAMP_FIRST_PAINT,
// CLOCK_MONOTONIC). The two take turns, and take turns in going first, so that both see the same machine;
// one round before the measured ones brings both into the page cache and is not counted. Needs a display
// with a window manager (run-coldstart.sh provides a private one).
//
//   folivant-coldstart ROUNDS FILE PROGRAM FLOOR WORK_DIR
// Prints "RUN <round> <program|floor> <ms> ..." for each start, then
//   FIGURE cold_start_ms <median> ms (...)         and cold_start_cpu_ms, the CPU time up to the paint
//   FIGURE cold_start_floor_ms <median> ms (...)   and cold_start_floor_cpu_ms
//   RATIO cold_start_vs_floor <median / median> (target <= 1.3), RATIO cold_start_cpu_vs_floor

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kTimeoutMs = 30'000;
// Between two starts, so that the window manager and the X server have dealt with the previous window.
constexpr long kSettleMs = 300;

long long MonotonicNs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1'000'000'000LL + t.tv_nsec;
}

void SleepMs(long ms)
{
    timespec t{ms / 1000, (ms % 1000) * 1'000'000};
    while (nanosleep(&t, &t) != 0 && errno == EINTR) {
    }
}

std::string ReadFile(const std::string& path)
{
    std::string text;
    if (std::FILE* f = std::fopen(path.c_str(), "r")) {
        char buf[256];
        size_t n = 0;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
            text.append(buf, n);
        }
        std::fclose(f);
    }
    return text;
}

struct Start
{
    double ms = -1;    // from just before the exec to the first paint
    double cpuMs = -1; // the CPU time the process had used by then
};

// Starts `program FILE` in a fresh settings folder under `dir` and reads its stamp; ms stays negative when
// it ended or timed out first (its output is shown then).
Start StartOnce(const std::string& program, const std::string& file, const std::string& dir)
{
    const std::string config = dir + "/config";
    const std::string stamp = dir + "/first-paint";
    const std::string log = dir + "/stderr.txt";
    if (mkdir(dir.c_str(), 0700) != 0 || mkdir(config.c_str(), 0700) != 0) {
        std::fprintf(stderr, "coldstart: cannot make %s: %s\n", dir.c_str(), std::strerror(errno));
        return {};
    }
    const int watch = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    if (watch < 0 || inotify_add_watch(watch, dir.c_str(), IN_MOVED_TO | IN_CLOSE_WRITE) < 0) {
        std::fprintf(stderr, "coldstart: inotify: %s\n", std::strerror(errno));
        return {};
    }
    const long long started = MonotonicNs();
    const pid_t pid = fork();
    if (pid == 0) {
        setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        setenv("FOLIVANT_MACHINE_CONFIG", (dir + "/no-machine.conf").c_str(), 1);
        setenv("FOLIVANT_STAMP_FIRST_PAINT", stamp.c_str(), 1);
        const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (out >= 0) {
            dup2(out, STDOUT_FILENO);
            dup2(out, STDERR_FILENO);
        }
        execl(program.c_str(), program.c_str(), file.c_str(), static_cast<char*>(nullptr));
        std::fprintf(stderr, "coldstart: cannot start %s: %s\n", program.c_str(), std::strerror(errno));
        _exit(127);
    }
    Start start;
    int status = 0;
    bool ended = false;
    while (pid > 0) {
        const std::string text = ReadFile(stamp);
        if (!text.empty() && text.back() == '\n') {
            long long at = 0;
            long long cpu = 0;
            if (std::sscanf(text.c_str(), "%lld %lld", &at, &cpu) == 2) {
                start.ms = (at - started) / 1e6;
                start.cpuMs = cpu / 1e6;
            }
            break;
        }
        if (waitpid(pid, &status, WNOHANG) == pid) {
            ended = true;
            break;
        }
        if ((MonotonicNs() - started) / 1'000'000 > kTimeoutMs) {
            break;
        }
        pollfd p{watch, POLLIN, 0};
        if (poll(&p, 1, 50) > 0) {
            char events[4096];
            while (read(watch, events, sizeof events) > 0) {
            }
        }
    }
    close(watch);
    if (pid > 0 && !ended) {
        kill(pid, SIGTERM);
        waitpid(pid, &status, 0);
    }
    if (start.ms < 0) {
        std::fprintf(stderr, "coldstart: %s painted no page (%s); its output:\n%s\n", program.c_str(),
                     ended ? "it ended" : "timed out", ReadFile(log).c_str());
    }
    SleepMs(kSettleMs);
    return start;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

void Figure(const std::string& name, const std::vector<double>& v)
{
    const auto [lo, hi] = std::minmax_element(v.begin(), v.end());
    std::printf("FIGURE %s %.1f ms (median of %zu; %.1f to %.1f)\n", name.c_str(), Median(v), v.size(), *lo,
                *hi);
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 6 || std::atoi(argv[1]) < 1) {
        std::fprintf(stderr, "usage: folivant-coldstart ROUNDS FILE PROGRAM FLOOR WORK_DIR\n");
        return 2;
    }
    const int rounds = std::atoi(argv[1]);
    const std::string file = argv[2];
    const std::string programs[2] = {argv[3], argv[4]};
    const char* names[2] = {"program", "floor"};
    const std::string work = argv[5];
    std::vector<double> times[2];
    std::vector<double> cpu[2];
    for (int round = 0; round <= rounds; ++round) {
        for (int turn = 0; turn < 2; ++turn) {
            const int which = (round + turn) % 2;
            const std::string dir = work + "/" + std::to_string(round) + "-" + names[which];
            const Start s = StartOnce(programs[which], file, dir);
            if (s.ms < 0) {
                return 1;
            }
            if (round > 0) { // round 0 warms the page cache
                times[which].push_back(s.ms);
                cpu[which].push_back(s.cpuMs);
                std::printf("RUN %d %s %.1f ms (CPU %.1f ms)\n", round, names[which], s.ms, s.cpuMs);
                std::fflush(stdout);
            }
        }
    }
    Figure("cold_start_ms", times[0]);
    Figure("cold_start_floor_ms", times[1]);
    // The CPU time up to the first paint (all threads of the process, not the X server's or the window
    // manager's work): on a busy machine a steadier view of the same comparison.
    Figure("cold_start_cpu_ms", cpu[0]);
    Figure("cold_start_floor_cpu_ms", cpu[1]);
    std::printf("RATIO cold_start_vs_floor %.3f (target <= 1.3)\n", Median(times[0]) / Median(times[1]));
    std::printf("RATIO cold_start_cpu_vs_floor %.3f\n", Median(cpu[0]) / Median(cpu[1]));
    return 0;
}
