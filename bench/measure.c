/* Runs one command and reports its wall time and peak memory.
 *
 *   measure [-C DIR] [-o OUT] [-e ERR] -- PROGRAM [ARGS...]
 *
 * The command runs in DIR (default: here) with its standard output written
 * to OUT and its standard error to ERR (both default to /dev/null). One line
 * goes to standard output: the wall time in seconds, from just before the
 * fork to the end of the wait (so process start is included), the peak
 * resident set of the command in KiB (from wait4) and its exit status
 * (128 + signal number when it was killed).
 */
#define _GNU_SOURCE
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static int open_or_die(const char *path) {
  int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) {
    perror(path);
    _exit(127);
  }
  return fd;
}

int main(int argc, char **argv) {
  const char *dir = NULL, *out = "/dev/null", *err = "/dev/null";
  int i = 1;
  for (; i < argc && strcmp(argv[i], "--") != 0; i++) {
    if (i + 1 < argc && strcmp(argv[i], "-C") == 0) dir = argv[++i];
    else if (i + 1 < argc && strcmp(argv[i], "-o") == 0) out = argv[++i];
    else if (i + 1 < argc && strcmp(argv[i], "-e") == 0) err = argv[++i];
    else {
      fprintf(stderr, "usage: measure [-C DIR] [-o OUT] [-e ERR] -- PROGRAM [ARGS...]\n");
      return 2;
    }
  }
  if (i + 1 >= argc) {
    fprintf(stderr, "measure: no program given\n");
    return 2;
  }
  char **command = argv + i + 1;

  struct timespec start, end;
  clock_gettime(CLOCK_MONOTONIC, &start);
  pid_t pid = fork();
  if (pid < 0) {
    perror("fork");
    return 2;
  }
  if (pid == 0) {
    if (dir && chdir(dir) != 0) {
      perror(dir);
      _exit(127);
    }
    int in = open("/dev/null", O_RDONLY);
    int o = open_or_die(out), e = open_or_die(err);
    dup2(in, 0);
    dup2(o, 1);
    dup2(e, 2);
    close(in);
    close(o);
    close(e);
    execvp(command[0], command);
    perror(command[0]);
    _exit(127);
  }
  int status = 0;
  struct rusage usage;
  if (wait4(pid, &status, 0, &usage) < 0) {
    perror("wait4");
    return 2;
  }
  clock_gettime(CLOCK_MONOTONIC, &end);
  double seconds = (double)(end.tv_sec - start.tv_sec) + (end.tv_nsec - start.tv_nsec) / 1e9;
  int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  printf("%.6f %ld %d\n", seconds, usage.ru_maxrss, code);
  return 0;
}
