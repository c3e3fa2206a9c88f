"""Wall and CPU times of commands that take turns, round after round.

  alternate_times.py ROUNDS COMMANDS_FILE

COMMANDS_FILE holds one command a line, its fields separated by tabs:
NAME, INPUT and the program with its arguments. INPUT is "-" for none, or a
file that cat pipes into the command's standard input. After a round that
warms the caches, each round runs every command once, in turn, so that a
change in the machine's load falls on all of them alike. Each command is
started directly (no shell), its output discarded, and timed from its start
to the end of the last process of its pipeline.

Prints one line per command, in order: NAME, the median wall time and the
median CPU time (user + system) of the command itself, in seconds, separated
by tabs.
"""
import os
import statistics
import sys
import time


def run_once(input_file, argv):
    null = os.open(os.devnull, os.O_WRONLY)
    started = time.perf_counter()
    actions = [(os.POSIX_SPAWN_DUP2, null, 1)]
    feeder = None
    if input_file != "-":
        read_end, write_end = os.pipe()
        feeder = os.posix_spawnp("cat", ["cat", input_file], os.environ,
                                 file_actions=[(os.POSIX_SPAWN_DUP2, write_end, 1), (os.POSIX_SPAWN_CLOSE, read_end)])
        actions += [(os.POSIX_SPAWN_DUP2, read_end, 0), (os.POSIX_SPAWN_CLOSE, write_end)]
    program = os.posix_spawnp(argv[0], argv, os.environ, file_actions=actions)
    if feeder is not None:
        os.close(read_end)
        os.close(write_end)
    _, status, usage = os.wait4(program, 0)
    if feeder is not None:
        os.waitpid(feeder, 0)
    wall = time.perf_counter() - started
    os.close(null)
    if not os.WIFEXITED(status) or os.WEXITSTATUS(status) != 0:
        sys.exit("%s failed" % " ".join(argv))
    return wall, usage.ru_utime + usage.ru_stime


def main(args):
    if len(args) != 2:
        sys.exit(__doc__)
    rounds = int(args[0])
    with open(args[1]) as listing:
        commands = [line.rstrip("\n").split("\t") for line in listing if line.strip()]
    times = [[] for _ in commands]
    for round_number in range(rounds + 1):
        for index, (_, input_file, *argv) in enumerate(commands):
            measured = run_once(input_file, argv)
            if round_number > 0:
                times[index].append(measured)
    for (name, *_), measured in zip(commands, times):
        print("%s\t%.6f\t%.6f" % (name, statistics.median(t[0] for t in measured),
                                  statistics.median(t[1] for t in measured)))


if __name__ == "__main__":
    main(sys.argv[1:])
