#!/usr/bin/env python3
"""Checks a practice-client log against what Cantorel should have delivered.

usage: check_log.py LOG EXPECTED MODE [SKIP [SLEEPER]]
  LOG       the practice client's JSON-lines log
  EXPECTED  `cantorel-cli play --dry-run` output: one "[+mm:ss.mmm] text" line per delivery,
            the stamp being the line's due time
  MODE      public | card
  SKIP      number of log lines to pass over (earlier runs)
  SLEEPER   what an ideal sleeper beside the run recorded (`e2e-probe sleeper`): "t_us late_us"
            for each of its wakes more than 1 ms late, on the same clock as the log

Every expected line must arrive, in order, byte-exact (GBK). In card mode each line must be
preceded by 30 Backspace presses and confirmed twice. Timing: the gap between two delivered
lines must match the gap between their due times within 30 ms, without growing over the song.
A run that expected nothing or received nothing proves nothing and fails too.
A gap fault during which the ideal sleeper was itself held up by at least the part of the error
beyond the tolerance was the machine's, not the program's: it is printed but does not fail the
run. Also printed: each line's delivery span (its first click to the moment it shows), where the
pauses between the steps and the client's own work go.
Prints the timing figures; exits 1 on any fault.
"""
import json
import re
import sys

TOLERANCE_MS = 30.0


def expected_lines(path):
    lines = []
    with open(path, encoding="utf-8") as f:
        for raw in f:
            raw = raw.rstrip("\r\n")
            m = re.match(r"^\[\+(\d+):(\d+)\.(\d+)\] ?(.*)$", raw)
            if not m:
                continue
            due = int(m.group(1)) * 60000 + int(m.group(2)) * 1000 + int(m.group(3))
            lines.append((due, m.group(4)))
    return lines


def load_log(path, skip):
    entries = []
    with open(path, encoding="utf-8") as f:
        for index, raw in enumerate(f):
            if index < skip:
                continue
            raw = raw.strip()
            if raw:
                entries.append(json.loads(raw))
    return entries


def load_stalls(path):
    stalls = []
    try:
        with open(path, encoding="ascii") as f:
            for raw in f:
                parts = raw.split()
                if len(parts) == 2:
                    stalls.append((int(parts[0]), int(parts[1])))
    except OSError:
        return None
    return stalls


def held_up(stalls, from_us, to_us):
    """How long (ms) the sleeper was held up, in all, by stalls that overlap [from_us, to_us]."""
    total = 0.0
    for at, late in stalls:
        # A wake at `at` that came `late` late means the machine held the sleeper from at - late.
        if at >= from_us and at - late <= to_us:
            total += late / 1000.0
    return total


def line_starts(entries, mode):
    """The first click of each delivered line, in the order the lines went out."""
    starts, current = [], None
    for e in entries:
        if e.get("msg") == "lbuttondown":
            if mode == "public" and e.get("window") == "main" and (e.get("x"), e.get("y")) == (585, 643):
                current = e["t_us"]
            if mode != "public" and e.get("window") == "card" and (e.get("x"), e.get("y")) == (256, 124):
                current = e["t_us"]
        elif e.get("event") == ("public" if mode == "public" else "nickname") and current is not None:
            starts.append(current)
            current = None
    return starts


def main():
    log_path, expected_path, mode = sys.argv[1:4]
    skip = int(sys.argv[4]) if len(sys.argv) > 4 else 0
    stalls = load_stalls(sys.argv[5]) if len(sys.argv) > 5 else None
    expected = expected_lines(expected_path)
    entries = load_log(log_path, skip)
    faults = []
    if not expected:
        faults.append(f"no expected lines in {expected_path}")

    if mode == "public":
        arrived = [e for e in entries if e.get("event") == "public"]
    else:
        # A card line is confirmed twice; the first confirm of each pair carries the line.
        confirms = [e for e in entries if e.get("event") == "nickname"]
        arrived = confirms[0::2]
        if len(confirms) != 2 * len(expected):
            faults.append(f"{len(confirms)} confirms for {len(expected)} lines (want 2 each)")
        # 30 Backspaces before each line's characters.
        backs = 0
        per_line = []
        for e in entries:
            if e.get("window") == "card" and e.get("msg") == "keydown" and e.get("wparam") == 8:
                backs += 1
            elif e.get("event") == "nickname":
                if backs:
                    per_line.append(backs)
                backs = 0
        if any(b != 30 for b in per_line) or len(per_line) != len(expected):
            faults.append(f"backspaces per line: {per_line}")

    if not arrived:
        faults.append("no line arrived")
    elif len(arrived) != len(expected):
        faults.append(f"{len(arrived)} lines arrived, {len(expected)} expected")
    for i, (e, (due, text)) in enumerate(zip(arrived, expected)):
        want_hex = text.encode("gbk").hex()
        if e.get("text_hex", "").lower() != want_hex:
            faults.append(f"line {i + 1}: got {e.get('text')!r} ({e.get('text_hex')}), "
                          f"want {text!r} ({want_hex})")

    errors = []
    if len(arrived) >= 2 and len(arrived) == len(expected):
        t0 = arrived[0]["t_us"] / 1000.0
        d0 = expected[0][0]
        for e, (due, _) in zip(arrived, expected):
            # Error of each line's offset from the first line against its due offset.
            errors.append((e["t_us"] / 1000.0 - t0) - (due - d0))
        worst = max(abs(x) for x in errors)
        mean = sum(abs(x) for x in errors) / len(errors)
        half = len(errors) // 2
        first = sum(errors[:half]) / half
        last = sum(errors[half:]) / (len(errors) - half)
        print(f"e2e {mode}: {len(arrived)} lines, gap error mean {mean:.2f} ms, "
              f"worst {worst:.2f} ms, drift (second half - first half) {last - first:.2f} ms")
        starts = line_starts(entries, mode)
        if len(starts) == len(arrived):
            spans = [(e["t_us"] - s) / 1000.0 for e, s in zip(arrived, starts)]
            print(f"e2e {mode}: delivery span (first click to the line showing) mean "
                  f"{sum(spans) / len(spans):.1f} ms, shortest {min(spans):.1f} ms, "
                  f"longest {max(spans):.1f} ms")
            # The first clicks alone show the program's schedule, without the client's work.
            gaps = [((starts[i] - starts[i - 1]) / 1000.0) - (expected[i][0] - expected[i - 1][0])
                    for i in range(1, len(starts))]
            print(f"e2e {mode}: schedule (gaps between first clicks) worst error "
                  f"{max((abs(g) for g in gaps), default=0.0):.1f} ms")
        held = None
        if stalls is not None:
            t_first, t_last = arrived[0]["t_us"], arrived[-1]["t_us"]
            during = [late / 1000.0 for at, late in stalls if t_first <= at <= t_last]
            print(f"e2e {mode}: ideal sleeper beside the run: {sum(1 for x in during if x > 5)} "
                  f"wakes more than 5 ms late, worst {max(during, default=0.0):.1f} ms")
            if len(starts) == len(arrived):
                # What held the machine while each line was due and being delivered: from a
                # little before its first click (the timer's expiry) to the line showing.
                held = [held_up(stalls, s - 50000, e["t_us"]) for e, s in zip(arrived, starts)]
        for i in range(1, len(errors)):
            gap_error = errors[i] - errors[i - 1]
            if abs(gap_error) <= TOLERANCE_MS:
                continue
            what = f"gap before line {i + 1} off by {gap_error:.1f} ms"
            if held is not None:
                # A long gap means this line came late, a short one the line before it.
                machine = held[i] if gap_error > 0 else held[i - 1]
                if machine >= abs(gap_error) - TOLERANCE_MS:
                    print(f"machine: {what}; the ideal sleeper was held up {machine:.1f} ms "
                          f"while that line was due")
                    continue
                what += f" (the ideal sleeper held up {machine:.1f} ms then)"
            faults.append(what)
        if abs(last - first) > TOLERANCE_MS:
            # The drift is an average over half the song: the machine explains it only when
            # every line of the later (or earlier) half was held up alike.
            late_half = held[half:] if last > first else held[:half] if held else None
            if late_half and min(late_half) >= abs(last - first) - TOLERANCE_MS:
                print(f"machine: timing error grows over the song by {last - first:.1f} ms")
            else:
                faults.append(f"timing error grows over the song by {last - first:.1f} ms")

    for f in faults:
        print("FAULT:", f)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
