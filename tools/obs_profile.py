#!/usr/bin/env python3
"""Splits a perf profile of the real OBS (perf script output with call chains,
fields comm,tid,ip,sym,dso) into where the dock's cost goes: our painting, the
views' tick, the slow refresh, Qt's repaint and composition of the main window,
the flush to the display, and the rest of OBS.

  obs_profile.py PERF_SCRIPT_OUTPUT PID SECONDS HZ

SECONDS and HZ are the recording's length and sampling rate, which turn sample
counts into points of one core.
"""
import collections
import sys

# The first of these that a sample's call chain holds (leaf first) names it.
OURS = [
    ("our painting", ("WaveformView::paintEvent",)),
    ("the views' tick", ("Tovrin::onTick",)),
    ("the slow refresh", ("Tovrin::onSlowTimer",)),
]
QT = [
    ("flush to the display", ("QWidgetRepaintManager::flush", "QPlatformBackingStore::flush", "QXcbBackingStore::flush")),
    ("Qt repaint and composition", ("QWidgetRepaintManager::", "QWidgetPrivate::drawWidget", "QWidgetPrivate::paintSiblingsRecursive")),
]


def samples(path):
    comm, stack = None, []
    for line in open(path, errors="replace"):
        line = line.rstrip("\n")
        if not line.strip():
            if comm is not None:
                yield comm, stack
            comm, stack = None, []
        elif not line.startswith((" ", "\t")):
            parts = line.split()
            comm, stack = (" ".join(parts[:-1]), int(parts[-1])), []
        else:
            stack.append(line.strip().split(" ", 1)[1] if " " in line.strip() else "")
    if comm is not None:
        yield comm, stack


def classify(comm, tid, stack, pid):
    text = "\n".join(stack)
    for name, marks in OURS + QT:
        if any(m in text for m in marks):
            return name
    if tid != pid:
        return f"other threads ({comm.split('-')[0]})" if comm.startswith("llvmpipe") else "other OBS threads"
    return "rest of OBS's main thread"


def main(path, pid, seconds, hz):
    counts = collections.Counter()
    for (comm, tid), stack in samples(path):
        counts[classify(comm, tid, stack, int(pid))] += 1
    per_point = float(seconds) * float(hz) / 100.0  # samples in one point of a core
    for name, n in counts.most_common():
        print(f"{name:36} {n / per_point:6.2f} points of one core")
    print(f"{'all of OBS':36} {sum(counts.values()) / per_point:6.2f}")


if __name__ == "__main__":
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    main(*sys.argv[1:])
