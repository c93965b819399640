#!/usr/bin/env python3
"""Counts the GoogleTest cases the Windows build ran under Wine, from their XML reports: how many
ran, passed, failed and were skipped, each skip with its reason.

usage: summary.py <folder of reports>
"""
import glob
import os
import sys
import xml.etree.ElementTree as ET

ran = passed = failed = 0
skipped = []
programs = 0
for path in sorted(glob.glob(os.path.join(sys.argv[1], "*.xml"))):
    programs += 1
    for case in ET.parse(path).getroot().iter("testcase"):
        if case.get("status") != "run":
            continue
        name = "%s.%s" % (case.get("classname"), case.get("name"))
        skip = case.find("skipped")
        if case.get("result") == "skipped" or skip is not None:
            reason = skip.get("message", "") if skip is not None else ""
            skipped.append((name, reason.strip().splitlines()[-1] if reason.strip() else "(no reason given)"))
        elif case.find("failure") is not None:
            ran += 1
            failed += 1
        else:
            ran += 1
            passed += 1
print("Under Wine: %d test cases of %d runs ran, %d passed, %d failed, %d skipped"
      % (ran, programs, passed, failed, len(skipped)))
for name, reason in skipped:
    print("  skipped %s: %s" % (name, reason))
sys.exit(1 if failed or programs == 0 else 0)
