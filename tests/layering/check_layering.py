#!/usr/bin/env python3
"""Checks every #include "..." of the program's sources against the layering rules.

--targets names a file of "target<TAB>source[<TAB>type]" lines (source relative to --root,
type STATIC_LIBRARY or EXECUTABLE), which CMake writes from the targets' own source lists.
--rules names a Markdown file holding one ```layering block: a line "target: lower lower ..."
per target. A target may include its own files and those of every target below it, directly
or through others. The check also fails when a target has no rule, a rule names an unknown
target, the rules go round in a circle, a source belongs to no target, an include names no file
of the tree, or the sources of one folder belong to more than one library (executables may add
files beside their folder's library).
"""
import argparse
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
# Files the build generates: Qt's moc and uic output.
GENERATED = re.compile(r'(^|/)(moc_[^/]*|ui_[^/]*\.h|[^/]*\.moc)$')


def read_rules(path):
    rules = {}
    inside = False
    with open(path, encoding='utf-8') as f:
        for number, line in enumerate(f, 1):
            stripped = line.strip()
            if stripped == '```layering':
                inside = True
            elif inside and stripped.startswith('```'):
                return rules
            elif inside and stripped:
                target, sep, lower = stripped.partition(':')
                if not sep:
                    sys.exit(f'{path}:{number}: expected "target: lower ...", found "{stripped}"')
                rules[target.strip()] = lower.split()
    sys.exit(f'{path}: no complete ```layering block')


def reachable(rules, errors):
    """Every target's allowed targets: itself and everything below it."""
    allowed = {}

    def visit(target, path):
        if target in allowed:
            return allowed[target]
        if target in path:
            errors.append('the rules go round in a circle: ' + ' -> '.join(path + [target]))
            return set()
        below = {target}
        for lower in rules.get(target, []):
            if lower not in rules:
                errors.append(f'rule of {target} names {lower}, which has no rule')
                continue
            below |= visit(lower, path + [target])
        allowed[target] = below
        return below

    for target in rules:
        visit(target, [])
    return allowed


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--root', required=True)
    parser.add_argument('--targets', required=True)
    parser.add_argument('--rules', required=True)
    args = parser.parse_args()

    owner = {}
    libraries = {}  # folder -> the libraries its sources belong to
    with open(args.targets, encoding='utf-8') as f:
        for line in f:
            if line.strip():
                target, source, *kind = line.rstrip('\n').split('\t')
                owner.setdefault(source, target)
                if kind != ['EXECUTABLE']:
                    libraries.setdefault(os.path.dirname(source), set()).add(target)
    if not owner:
        sys.exit(f'{args.targets} lists no sources')

    rules = read_rules(args.rules)
    errors = []
    allowed = reachable(rules, errors)
    for target in sorted(set(owner.values()) - set(rules)):
        errors.append(f'target {target} has no rule in {args.rules}')

    # Every folder is one library.
    for folder, targets in sorted(libraries.items()):
        if len(targets) > 1:
            errors.append(f'folder {folder or "."} holds files of {len(targets)} libraries: {" ".join(sorted(targets))}')

    # Every source file of the program's folders belongs to a target.
    folders = {source.split('/')[0] for source in owner}
    for folder in sorted(folders):
        for directory, _, files in os.walk(os.path.join(args.root, folder)):
            for name in files:
                if name.endswith(('.h', '.cpp')):
                    relative = os.path.relpath(os.path.join(directory, name), args.root)
                    if relative not in owner:
                        errors.append(f'{relative} belongs to no target')

    for source, target in sorted(owner.items()):
        with open(os.path.join(args.root, source), encoding='utf-8') as f:
            for number, line in enumerate(f, 1):
                match = INCLUDE.match(line)
                if not match or GENERATED.search(match.group(1)):
                    continue
                name = match.group(1)
                candidates = [os.path.normpath(os.path.join(os.path.dirname(source), name)), os.path.normpath(name)]
                included = next((c for c in candidates if c in owner), None)
                if included is None:
                    errors.append(f'{source}:{number}: includes "{name}", which is no file of any target')
                elif owner[included] not in allowed.get(target, {target}):
                    errors.append(f'{source}:{number}: includes {included} of target {owner[included]}, '
                                  f'which {target} may not include')

    for error in errors:
        print(error)
    print(f'{len(owner)} files of {len(set(owner.values()))} targets checked, {len(errors)} problems')
    return 1 if errors else 0


if __name__ == '__main__':
    sys.exit(main())
