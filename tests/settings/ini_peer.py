#!/usr/bin/env python3
"""A second ini reader and writer for the settings tests: Python's configparser.

ini_peer.py dump FILE              prints every value as SECTION<TAB>KEY<TAB>VALUE, keys as written
ini_peer.py write FILE SECTION K=V...  writes a new FILE with SECTION and an unrelated section
"""
import configparser
import sys


def new_parser():
    # Values such as "%" or "#13" are data, not interpolation or comments.
    return configparser.ConfigParser(interpolation=None, strict=True)


def dump(path):
    parser = new_parser()
    parser.optionxform = str
    with open(path, encoding="utf-8-sig") as f:
        parser.read_file(f)
    for section in parser.sections():
        for key, value in parser.items(section):
            print(f"{section}\t{key}\t{value}")


def write(path, section, pairs):
    parser = new_parser()  # keys lower-cased, as configparser keeps them by default
    parser["Unrelated"] = {"Kept": "yes"}
    parser[section] = dict(pair.split("=", 1) for pair in pairs)
    with open(path, "w", encoding="utf-8") as f:
        parser.write(f)


if __name__ == "__main__":
    if sys.argv[1] == "dump":
        dump(sys.argv[2])
    elif sys.argv[1] == "write":
        write(sys.argv[2], sys.argv[3], sys.argv[4:])
    else:
        sys.exit(f"unknown command {sys.argv[1]}")
