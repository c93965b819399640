#!/usr/bin/env python3
"""Writes a UTF-8 .po catalog of COUNT entries with varied, realistic texts (same output every run)."""
import random
import sys

WORDS = ("port open close error device read write file setting baud parity stop bits flow "
         "control timeout buffer event thread signal line break ring carrier data terminal "
         "screen cursor caret font colour floor frame segment pattern project save load "
         "unable cannot failed invalid wait queue purge state mask link register change "
         "value name path catalog domain language message text number window button").split()


def quote(s):
    return '"' + s.replace("\\", "\\\\").replace('"', '\\"').replace("\n", "\\n") + '"'


def main():
    out, count = sys.argv[1], int(sys.argv[2])
    rng = random.Random(20240611)
    seen = set()
    with open(out, "w", encoding="utf-8") as f:
        f.write('msgid ""\nmsgstr ""\n"Content-Type: text/plain; charset=UTF-8\\n"\n\n')
        while len(seen) < count:
            words = [rng.choice(WORDS) for _ in range(rng.randint(2, 7))]
            words[0] = words[0].capitalize()
            msgid = " ".join(words) + " %d" % rng.randint(0, 99999)
            if rng.random() < 0.05:
                msgid += "\nsecond line"
            if msgid in seen:
                continue
            seen.add(msgid)
            msgstr = "Übersetzt: " + msgid[::-1].replace("\n", " ") + " ✓"
            f.write("msgid %s\nmsgstr %s\n\n" % (quote(msgid), quote(msgstr)))


main()
