#!/usr/bin/env python3
"""Parses T-SQL texts with sqlfluff's T-SQL dialect, each distinct text once.

Usage: parse_tsql.py [--require DIR]... [--known PATH]... [--jobs N] PATH...

PATH is a .sql file, a report definition (.frf) or a folder of them (searched recursively). A
.sql file holds one text, or several separated by lines holding only "/" or "GO"; a report
definition's texts are its datasets' SQL Server texts (<sql>), their :Name parameters as @Name.
A --require folder must exist and hold at least one text. Texts of a --known PATH are parsed
by another run and left out here. Texts that differ only in the names of their @ variables and
parameters (@P1 as sent, @Name as written) parse alike and are parsed once. Exits 1 when a text does not parse,
when there is nothing to parse, or when sqlfluff cannot be used; 0 only when every text parsed.

sqlfluff 1.4.5 (Debian 12) lacks a few valid T-SQL forms. A text passes when its only
unparsable sections are one of KNOWN_GAPS, matched in full; everything around them must parse.
"""

import argparse
import importlib.util
import multiprocessing
import os
import re
import sys
import xml.etree.ElementTree

KNOWN_GAPS = [
    # Its SET grammar takes DATEFORMAT only with ON or OFF.
    re.compile(r"SET DATEFORMAT (dmy|mdy|ymd|ydm|myd|dym);?", re.I),
    # Its CREATE DATABASE has no COLLATE clause.
    re.compile(r"Collate \w+", re.I),
]


def definition_texts(path):
    root = xml.etree.ElementTree.parse(path).getroot()
    return [re.sub(r"(?<![\w:]):(\w+)", r"@\1", e.text.strip("\n")) + "\n"
            for e in root.iter("sql") if e.text and e.text.strip()]


def texts_of(path):
    if path.endswith(".frf"):
        return definition_texts(path)
    with open(path, encoding="utf-8") as f:
        current, out = [], []
        for line in f.read().split("\n"):
            if line.strip() in ("/", "GO"):
                out.append("\n".join(current))
                current = []
            else:
                current.append(line)
        out.append("\n".join(current))
    return [t.strip("\n") + "\n" for t in out if t.strip()]


def same_form(text):
    """The text with every @ variable or parameter named alike: what the parser sees of it."""
    return re.sub(r"(?<![@\w])@\w+", "@P", text)


def files_of(path):
    if os.path.isfile(path):
        return [path]
    found = []
    for root, _, names in os.walk(path):
        found += [os.path.join(root, n) for n in names if n.endswith((".sql", ".frf"))]
    return sorted(found)


_linter = None


def unknown_sections(text):
    """The unparsable sections of a text that are not known gaps ([] when it parses)."""
    global _linter
    if _linter is None:  # one per process: setting it up costs as much as parsing a short text
        from sqlfluff.api.simple import get_simple_config
        from sqlfluff.core import Linter

        _linter = Linter(config=get_simple_config(dialect="tsql"))
    violations = _linter.parse_string(text).violations
    sections = [v.segment.raw.strip() if getattr(v, "segment", None) else v.desc() for v in violations]
    return [s for s in sections if not any(gap.fullmatch(s) for gap in KNOWN_GAPS)]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--require", action="append", default=[], help="a folder that must hold texts")
    parser.add_argument("--known", action="append", default=[], help="texts another run parses")
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 1, help="parsing processes")
    parser.add_argument("paths", nargs="+")
    args = parser.parse_args()
    if importlib.util.find_spec("sqlfluff") is None:
        print("sqlfluff is not installed for %s" % sys.executable)
        return 1

    for folder in args.require:
        if not os.path.isdir(folder) or not files_of(folder):
            print("no texts in %s (the tests that record them did not run)" % folder)
            return 1

    known = {same_form(text) for path in args.known for name in files_of(path) for text in texts_of(name)}
    where, forms = {}, set(known)
    for path in args.paths:
        if not os.path.exists(path):
            print("missing: %s" % path)
            return 1
        for name in files_of(path):
            for index, text in enumerate(texts_of(name), 1):
                if same_form(text) not in forms:
                    forms.add(same_form(text))
                    where[text] = "%s, text %d" % (name, index)
    if not where:
        print("nothing to parse")
        return 1

    texts = sorted(where, key=len, reverse=True)  # the longest first, so none is left to run alone
    if args.jobs > 1:
        with multiprocessing.Pool(args.jobs) as pool:  # sqlfluff is slow on long texts
            results = pool.map(unknown_sections, texts, chunksize=1)
    else:
        results = [unknown_sections(text) for text in texts]
    failures = 0
    for text, unknown in zip(texts, results):
        if unknown:
            failures += 1
            print("%s does not parse:\n%s\n  unparsable: %s\n" % (where[text], text, " | ".join(unknown)))
    print("%d of %d distinct T-SQL texts parse (%d more parsed by another run)"
          % (len(where) - failures, len(where), len(known)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
