#!/usr/bin/env python3
"""Checks a practice-client log against what Cantorel should have delivered.

usage: check_log.py LOG EXPECTED MODE [SKIP]
  LOG       the practice client's JSON-lines log
  EXPECTED  `cantorel-cli play --dry-run` output: one "[+mm:ss.mmm] text" line per delivery,
            the stamp being the line's due time
  MODE      public | card
  SKIP      number of log lines to pass over (earlier runs)

Every expected line must arrive, in order, byte-exact (GBK). In card mode each line must be
preceded by 30 Backspace presses and confirmed twice. Timing: the gap between two delivered
lines must match the gap between their due times within 30 ms, without growing over the song.
A run that expected nothing or received nothing proves nothing and fails too.
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


def main():
    log_path, expected_path, mode = sys.argv[1:4]
    skip = int(sys.argv[4]) if len(sys.argv) > 4 else 0
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
        for i in range(1, len(errors)):
            gap_error = errors[i] - errors[i - 1]
            if abs(gap_error) > TOLERANCE_MS:
                faults.append(f"gap before line {i + 1} off by {gap_error:.1f} ms")
        if abs(last - first) > TOLERANCE_MS:
            faults.append(f"timing error grows over the song by {last - first:.1f} ms")

    for f in faults:
        print("FAULT:", f)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
