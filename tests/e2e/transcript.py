#!/usr/bin/env python3
"""Follows a practice-client log and prints the room's chat and nickname changes as they come.

usage: transcript.py LOG     (runs until it is killed)
"""
import json
import os
import sys
import time


def main():
    path = sys.argv[1]
    while not os.path.exists(path):
        time.sleep(0.1)
    with open(path, encoding="utf-8") as log:
        while True:
            line = log.readline()
            if not line:
                time.sleep(0.05)
                continue
            try:
                e = json.loads(line)
            except ValueError:
                continue
            if e.get("event") == "public":
                print("[公屏] %s: %s" % (e.get("nickname", ""), e.get("text", "")), flush=True)
            elif e.get("event") == "nickname" and e.get("changed"):
                print("[名片] %s" % e.get("text", ""), flush=True)


if __name__ == "__main__":
    main()
