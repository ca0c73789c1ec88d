#!/usr/bin/env python3
"""Where a build's time went, from the .ninja_log of its build folder.

    bench/build-breakdown.py build/.ninja_log [number of targets to list]

Sums the duration of every step by kind (compile, moc, archive, link) and by
target (the CMakeFiles/<target>.dir the step writes into; links by their
output). The durations are wall time per step: on a machine busy with other
work they are longer, but their shares still show where the time goes.
"""
import collections
import re
import sys


def last_steps(path):
    """(start ms, end ms, output) of each step's latest run; a step that
    writes several outputs is logged once for each, and counted once."""
    latest = {}
    with open(path) as log:
        for line in log:
            if line.startswith('#'):
                continue
            fields = line.rstrip('\n').split('\t')
            if len(fields) >= 5:
                latest[fields[3]] = (int(fields[0]), int(fields[1]), fields[4], fields[3])
    steps = {}
    for start, end, command_hash, output in latest.values():
        steps.setdefault((start, end, command_hash), (start, end, output))
    return steps.values()


def kind_of(output):
    if output.endswith('.o'):
        return 'compile (moc output)' if '_autogen/' in output else 'compile'
    if '_autogen' in output or output.endswith('timestamp'):
        return 'moc and uic'
    if output.endswith('.a'):
        return 'archive'
    name = output.rsplit('/', 1)[-1]
    if output.endswith('.so') or '.' not in name:
        return 'link'
    return 'other'


def target_of(output):
    match = re.search(r'CMakeFiles/([^/]+)\.dir/', output) or re.search(r'([^/]+)_autogen(/|$)', output)
    return match.group(1) if match else output.rsplit('/', 1)[-1]


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    shown = int(sys.argv[2]) if len(sys.argv) > 2 else 25
    by_kind = collections.Counter()
    count = collections.Counter()
    by_target = collections.Counter()
    for start, end, output in last_steps(sys.argv[1]):
        seconds = (end - start) / 1000
        kind = kind_of(output)
        by_kind[kind] += seconds
        count[kind] += 1
        by_target[target_of(output)] += seconds
    total = sum(by_kind.values())
    print('%d steps, %.0f s summed over all steps' % (sum(count.values()), total))
    for kind, seconds in by_kind.most_common():
        print('  %-22s %4d steps %7.0f s  %3.0f %%' % (kind, count[kind], seconds, 100 * seconds / total))
    print('targets:')
    for target, seconds in by_target.most_common(shown):
        print('  %-40s %7.1f s  %3.0f %%' % (target, seconds, 100 * seconds / total))


if __name__ == '__main__':
    main()
