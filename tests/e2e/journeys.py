#!/usr/bin/python3
"""User journeys through the real release program on a virtual desktop.

    tests/e2e/journeys.py [BUILD] [-k WORD ...] [--unit-tests BUILD_TEST] [--list]

BUILD holds bin/Kestrelle and bin/mkudb (default: build). -k runs the journeys
whose name contains any of the words. Each journey prints one line; the last
line is the result, and the exit status is non-zero when a journey failed.
"""

import argparse
import shutil
import sys
import tempfile
import time
import traceback
from pathlib import Path

from desktop import Bus, Desktop, Failure, Processes, clean_environment
from program import Program
import defects
import flows
import imports
import notray

FAKE_OPENER = """#!/bin/sh
# Stands in for the desktop's opener: notes what the program asked it to open.
printf '%s\\n' "$@" >> "${QUILLORY_E2E_OPENED:-/dev/null}"
"""


class Suite:
    """The session the journeys share: one bus, one desktop with a notification
    area and, when a journey asks for it, one without."""

    def __init__(self, build, unit_tests):
        self.build = build
        self.unit_tests = unit_tests
        self.processes = Processes()
        self.work = Path(tempfile.mkdtemp(prefix="quillory-journeys."))
        self.failures = build / "journeys"

    def start(self):
        self.fake_bin = self.work / "bin"
        self.fake_bin.mkdir()
        opener = self.fake_bin / "xdg-open"
        opener.write_text(FAKE_OPENER)
        opener.chmod(0o755)
        home = self.work / "home"  # the session's helpers keep their files here
        home.mkdir()
        self.bus_env = Bus(self.processes, self.work).start(clean_environment({"HOME": str(home)}))
        self.desktop = Desktop(self.processes, self.work, tray=True).start(self.bus_env)
        self.plain_desktop = Desktop(self.processes, self.work, tray=False).start(self.bus_env)
        return self

    def stop(self):
        self.processes.stop_all()
        shutil.rmtree(self.work, ignore_errors=True)


class Journey:
    """What a journey works with: fresh program folders on the suite's desktops."""

    def __init__(self, suite, name):
        self.suite = suite
        self.name = name
        self.dir = suite.work / name
        self.dir.mkdir()
        self.programs = []
        self.started_before = suite.processes.mark()

    @property
    def desktop(self):
        return self.suite.desktop

    def program(self, desktop=None, seed=()):
        program = Program(self.suite, self.dir / f"program{len(self.programs) + 1}",
                          desktop or self.suite.desktop)
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
        self.suite.processes.stop_since(self.started_before)


def run_journey(suite, name, body):
    journey = Journey(suite, name)
    shot = suite.failures / f"{name}.png"
    shot.unlink(missing_ok=True)  # a screenshot left from an earlier run would mislead
    started = time.monotonic()
    problem = None
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
    print(f"{'ok  ' if not problem else 'FAIL'} {name:<26} {seconds:5.1f} s"
          + (f"  {problem}" if problem else ""), flush=True)
    return problem is None


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("build", nargs="?", default="build", type=Path)
    parser.add_argument("-k", dest="words", action="append", default=[],
                        help="run only journeys whose name contains this word")
    parser.add_argument("--unit-tests", type=Path, default=Path("build-test"),
                        help="the unit-test build for the journey about the unit tests")
    parser.add_argument("--list", action="store_true", help="list the journeys and stop")
    args = parser.parse_args()

    journeys = flows.JOURNEYS + defects.JOURNEYS + imports.JOURNEYS + notray.JOURNEYS
    chosen = [(name, body) for name, body in journeys
              if not args.words or any(word in name for word in args.words)]
    if args.list:
        print("\n".join(name for name, _ in chosen))
        return 0
    if not chosen:
        print(f"no journey matches {args.words}", file=sys.stderr)
        return 2
    build = args.build.resolve()
    if not (build / "bin" / "Kestrelle").exists():
        print(f"{build}/bin/Kestrelle is missing: build the release program first", file=sys.stderr)
        return 2

    started = time.monotonic()
    suite = Suite(build, args.unit_tests.resolve())
    try:
        suite.start()
        passed = sum(run_journey(suite, name, body) for name, body in chosen)
    finally:
        suite.stop()
    failed = len(chosen) - passed
    print(f"journeys: {passed} passed, {failed} failed ({time.monotonic() - started:.0f} s)")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
