// Runs a program and prints its peak memory (maximum resident set, in KiB) on standard output,
// then exits with the program's exit status. bench_convert starts the converter through it: a
// child's peak as the benchmark itself would see it also counts the benchmark's own memory at
// the moment the child was started, while this small process is all the converter inherits.

#include <cstdio>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char *argv[])
{
    if (argc < 2)
        return 127;
    const pid_t child = fork();
    if (child < 0)
        return 127;
    if (child == 0) {
        execv(argv[1], argv + 1);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child)
        return 127;
    std::printf("%ld\n", usage.ru_maxrss);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 127;
}
