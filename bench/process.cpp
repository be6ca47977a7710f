// Runs a command many times and reports the median wall time and the peak
// resident memory of the child, as /usr/bin/time -v would show them for
// one run, but to the microsecond:
//   bench_process RUNS COMMAND [ARGS...]
// The child's standard output goes to /dev/null.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_process RUNS COMMAND [ARGS...]\n");
        return 1;
    }
    const int runs = std::atoi(argv[1]);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    std::vector<double> wall;
    std::vector<long> rss;
    int failures = 0;
    for (int i = 0; i < runs; ++i) {
        timespec t0{}, t1{};
        clock_gettime(CLOCK_MONOTONIC, &t0);
        pid_t pid = 0;
        if (posix_spawn(&pid, argv[2], &actions, nullptr, argv + 2, environ) != 0) {
            std::perror(argv[2]);
            return 1;
        }
        int status = 0;
        rusage ru{};
        wait4(pid, &status, 0, &ru);
        clock_gettime(CLOCK_MONOTONIC, &t1);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            ++failures;
        wall.push_back((t1.tv_sec - t0.tv_sec) * 1e3 + (t1.tv_nsec - t0.tv_nsec) / 1e6);
        rss.push_back(ru.ru_maxrss);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(rss.begin(), rss.end());
    const auto pct = [&](double p) { return wall[static_cast<std::size_t>(p * (wall.size() - 1))]; };
    std::printf("runs %d  wall ms: min %.3f  median %.3f  p90 %.3f  |  peak RSS KiB: median %ld  max %ld  |  "
                "non-zero exits %d\n",
                runs, wall.front(), pct(0.5), pct(0.9), rss[rss.size() / 2], rss.back(), failures);
    return 0;
}
