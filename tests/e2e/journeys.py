#!/usr/bin/python3
"""User journeys through the real release program on a virtual desktop.

    tests/e2e/journeys.py [BUILD] [-k WORD ...] [--unit-tests BUILD_TEST] [--sessions N] [--list]

BUILD holds bin/Kestrelle and bin/mkudb (default: build). -k runs the journeys
whose name contains any of the words; --sessions runs them in N sessions side
by side. Each journey prints one line; the last
line is the result, and the exit status is non-zero when a journey failed.
"""

import argparse
import os
import shutil
import signal
import sys
import tempfile
import time
import traceback
from pathlib import Path

import book
import desktop
from desktop import USERS_LOCALE, Bus, Desktop, Failure, Processes, clean_environment, locale_path
from program import Program
import defects
import dbustray
import flows
import hidpi
import imports
import inputmethods
import keys
import notray
import sync

FAKE_OPENER = """#!/bin/sh
# Stands in for the desktop's opener: notes what the program asked it to open.
printf '%s\\n' "$@" >> "${QUILLORY_E2E_OPENED:-/dev/null}"
"""


# Journeys whose windows the locale changes (the clock, the backup's date, Qt's
# dialogs and buttons): they run in the users' locale and once more in C.UTF-8.
IN_BOTH_LOCALES = ("qt-texts-chinese", "clock-without-zone", "password-change", "export-import")
OTHER_LOCALE = "C.UTF-8"


class Suite:
    """The session the journeys share: one bus, one desktop with a notification
    area and, when a journey asks for it, one without."""

    def __init__(self, build, unit_tests):
        self.build = build
        self.unit_tests = unit_tests
        self.processes = Processes()
        self.work = Path(tempfile.mkdtemp(prefix="quillory-journeys."))
        self.failures = build / "journeys"
        self.more_desktops = {}
        self.lasting = set()  # the processes of those desktops, which outlive the journeys

    def start(self):
        self.fake_bin = self.work / "bin"
        self.fake_bin.mkdir()
        opener = self.fake_bin / "xdg-open"
        opener.write_text(FAKE_OPENER)
        opener.chmod(0o755)
        home = self.work / "home"  # the session's helpers keep their files here
        home.mkdir()
        self.locale_paths = {USERS_LOCALE: locale_path(USERS_LOCALE, self.work)}
        self.bus_env = Bus(self.processes, self.work).start(clean_environment({"HOME": str(home)}))
        self.desktop = Desktop(self.processes, self.work, tray=True).start(self.bus_env)
        self.plain_desktop = Desktop(self.processes, self.work, tray=False).start(self.bus_env)
        return self

    def extra_desktop(self, name, make):
        """A further desktop (a HiDPI screen, a Wayland one), made by make(suite) and
        started the first time a journey asks for it."""
        if name not in self.more_desktops:
            before = self.processes.mark()
            self.more_desktops[name] = make(self).start(self.bus_env)
            self.lasting |= self.processes.mark() - before
        return self.more_desktops[name]

    def stop(self):
        self.processes.stop_all()
        shutil.rmtree(self.work, ignore_errors=True)


class Journey:
    """What a journey works with: fresh program folders on the suite's desktops."""

    def __init__(self, suite, name, lang=USERS_LOCALE):
        self.suite = suite
        self.name = name
        self.lang = lang
        self.dir = suite.work / name.replace("/", "@")
        self.dir.mkdir()
        self.programs = []
        self.started_before = suite.processes.mark()

    @property
    def desktop(self):
        return self.suite.desktop

    def program(self, desktop=None, seed=()):
        program = Program(self.suite, self.dir / f"program{len(self.programs) + 1}",
                          desktop or self.suite.desktop, self.lang)
        if seed:
            program.seed(*seed)
        self.programs.append(program)
        return program

    def started(self, desktop=None, seed=(), **env):
        return self.program(desktop, seed).start(**env)

    def close(self):
        """Ends the journey's programs and every helper it started (clipboard, lock holder)."""
        for program in self.programs:
            program.stop()
        self.suite.processes.stop_since(self.started_before | self.suite.lasting)


def run_journey(suite, name, body, lang=USERS_LOCALE):
    journey = Journey(suite, name, lang)
    shot = suite.failures / f"{journey.dir.name}.png"
    shot.unlink(missing_ok=True)  # a screenshot left from an earlier run would mislead
    started = time.monotonic()
    problem = None
    desktop.slow_steps.clear()
    try:
        body(journey)
    except Failure as failure:
        problem = str(failure)
    except Exception:  # a fault of the driver or the program, reported the same way
        problem = traceback.format_exc().strip().splitlines()[-1]
    seconds = time.monotonic() - started
    if problem:
        suite.failures.mkdir(exist_ok=True)
        desktops = {p.desktop for p in journey.programs} or {suite.desktop}
        next(iter(desktops)).screenshot(shot)
        problem += f" [screen: {shot}]"
    journey.close()
    slow = "; ".join(desktop.slow_steps)
    print(f"{'ok  ' if not problem else 'FAIL'} {name:<26} {seconds:5.1f} s"
          + (f"  {problem}" if problem else "") + (f"  [slow: {slow}]" if slow else ""),
          flush=True)
    return problem is None


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("build", nargs="?", default="build", type=Path)
    parser.add_argument("-k", dest="words", action="append", default=[],
                        help="run only journeys whose name contains this word")
    parser.add_argument("--unit-tests", type=Path, default=Path("build-test"),
                        help="the unit-test build for the journey about the unit tests")
    parser.add_argument("--list", action="store_true", help="list the journeys and stop")
    parser.add_argument("--sessions", type=int, default=1,
                        help="run the journeys in this many sessions side by side")
    args = parser.parse_args()

    journeys = [(name, body, USERS_LOCALE) for name, body in
                flows.JOURNEYS + defects.JOURNEYS + imports.JOURNEYS + inputmethods.JOURNEYS
                + book.JOURNEYS + keys.JOURNEYS + notray.JOURNEYS + hidpi.JOURNEYS + dbustray.JOURNEYS
                + sync.JOURNEYS]
    journeys += [(f"{name}/{OTHER_LOCALE}", body, OTHER_LOCALE) for name, body, _ in journeys
                 if name in IN_BOTH_LOCALES]
    chosen = [(name, body, lang) for name, body, lang in journeys
              if not args.words or any(word in name for word in args.words)]
    if args.list:
        print("\n".join(name for name, _, _ in chosen))
        return 0
    if not chosen:
        print(f"no journey matches {args.words}", file=sys.stderr)
        return 2
    build = args.build.resolve()
    if not (build / "bin" / "Kestrelle").exists():
        print(f"{build}/bin/Kestrelle is missing: build the release program first", file=sys.stderr)
        return 2

    # Ended from outside (./test.sh stopping early), the suite still ends what it started.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    started = time.monotonic()
    sessions = max(1, min(args.sessions, len(chosen)))
    failed = run_sessions([chosen[i::sessions] for i in range(sessions)], build, args.unit_tests.resolve())
    passed = len(chosen) - failed
    print(f"journeys: {passed} passed, {failed} failed ({time.monotonic() - started:.0f} s)")
    return 1 if failed else 0


def run_session(journeys, build, unit_tests):
    """One session (bus, desktops) running the journeys one after the other; the failures."""
    suite = Suite(build, unit_tests)
    try:
        suite.start()
        return sum(not run_journey(suite, name, body, lang) for name, body, lang in journeys)
    finally:
        suite.stop()


def run_sessions(groups, build, unit_tests):
    """The journeys mostly wait on the program: several sessions, each with displays of its
    own, run side by side in child processes. Answers how many journeys failed."""
    if len(groups) == 1:
        return run_session(groups[0], build, unit_tests)
    children = {}
    for journeys in groups:
        sys.stdout.flush()
        pid = os.fork()
        if pid == 0:
            code = 255
            try:
                code = min(run_session(journeys, build, unit_tests), 254)
            finally:
                sys.stdout.flush()
                os._exit(code)
        children[pid] = len(journeys)
    failed = 0
    for pid, count in children.items():
        _, status = os.waitpid(pid, 0)
        code = os.waitstatus_to_exitcode(status)
        # A session that broke down counts every journey it had as failed.
        failed += code if 0 <= code < 255 else count
    return failed

if __name__ == "__main__":
    sys.exit(main())
