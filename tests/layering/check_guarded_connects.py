#!/usr/bin/env python3
"""Fails on a signal handler of the screens connected without the exception router's guard.

An exception that leaves a slot unwinds through Qt's own frames, which Qt does not allow; the
screens therefore connect every handler with connectGuarded (platform/ui/ConnectGuarded.h).
The check reads every .h and .cpp below the --folders of --root and reports each call of plain
connect( (QObject::connect, this->connect, ...) outside comments and string literals.
"""
import argparse
import os
import re
import sys

CALL = re.compile(r'(?<![\w])connect\s*\(')
# Comments and literals, in the order the compiler sees them; a literal's text is no call.
NOISE = re.compile(r'//[^\n]*|/\*.*?\*/|R"(?P<d>[^(]*)\(.*?\)(?P=d)"|"(?:\\.|[^"\\\n])*"|\'(?:\\.|[^\'\\\n])*\'', re.S)


def blank(match):
    # Keeps the line breaks so that line numbers stay right.
    return re.sub(r'[^\n]', ' ', match.group(0))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--root', required=True)
    parser.add_argument('--folders', nargs='+', required=True)
    args = parser.parse_args()

    files = 0
    problems = []
    for folder in args.folders:
        top = os.path.join(args.root, folder)
        if not os.path.isdir(top):
            sys.exit(f'{top} is no folder')
        for directory, _, names in sorted(os.walk(top)):
            for name in sorted(names):
                if not name.endswith(('.h', '.cpp')):
                    continue
                path = os.path.join(directory, name)
                relative = os.path.relpath(path, args.root)
                with open(path, encoding='utf-8') as f:
                    code = NOISE.sub(blank, f.read())
                files += 1
                for match in CALL.finditer(code):
                    line = code.count('\n', 0, match.start()) + 1
                    problems.append(f'{relative}:{line}: connects a handler without the guard; use connectGuarded')
    for problem in problems:
        print(problem)
    print(f'{files} files checked, {len(problems)} raw connects')
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main())
