#!/usr/bin/env python3
"""End-to-end runs of the installer: an INF beside the program and a machine
description in, exit code, final window (the stand-ins' dump), debugger trace
and the driver update service's log out.

  scenarios.py native --install PATH [--only NAME]
      every case of CASES against the native build

  scenarios.py wine --exe install.exe|install64.exe --native PATH --wine-run PATH
                    --winver NAME --arch N --os MAJOR.MINOR [--only NAME]
      every package of WINE_PACKAGES through the Windows build under Wine, whose
      driver update service accepts every ID; its trace must equal, line for
      line, the native build's on a machine with Wine's identity whose service
      accepts every ID too

Prints one line per case and a closing 'N passed, N failed'; exits 1 on any
failure.
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile

# ---------------------------------------------------------------- packages

HEAD = ('[Version]\r\nSignature="$Windows NT$"\r\nClass=VelkAdapter\r\n'
        'Provider=%Mfg%\r\nDriverVer=06/01/2024,2.1.0.0\r\n')
STRINGS = '[Strings]\r\nMfg="Velk Instruments"\r\nDev="VELK Adapter"\r\n'
A = 'USB\\VID_F055&PID_71A0'
B = 'USB\\VID_F055&PID_71A1'
C = 'USB\\Class_FF&SubClass_71'
D = 'USB\\VID_F055&PID_71A2'


def package(*lines):
    """An INF whose one models section (for x86 XP and for x64) holds the
    given model lines, each 'ID[,compatible ID...]'."""
    body = ''.join('%%Dev%% = Velk_Install, %s\r\n' % line for line in lines)
    return (HEAD + '[Manufacturer]\r\n%Mfg% = Velk, NTx86.5.1, NTamd64\r\n'
            '[Velk.NTx86.5.1]\r\n' + body + '[Velk.NTamd64]\r\n' + body +
            '[Velk_Install.NT]\r\n' + STRINGS)


THREE = package(A, B + ', ' + C)                      # IDs A, B, C
FOUR = package(A, B, C, D)
TWICE = package(A, A)
NO_IDS = HEAD + '[Manufacturer]\r\n%Mfg% = Velk\r\n' + STRINGS  # [Velk] is missing
NO_MANUFACTURER = HEAD + STRINGS

# ---------------------------------------------------------------- machines

XP = 'os = 5.1\nbuild = 2600\nproduct-type = 1\nsuite-mask = 0x0100\narch = x86\nwow64 = no\n'


def device(instance, hwid, *more):
    """A device block; `more` are further 'key = value' lines."""
    return '\n'.join(['device = ' + instance, 'hwid = ' + hwid] + list(more)) + '\n'


DEV_A = device(A + '\\5&1&0&1', A, 'driver = 03/02/2021,1.0.0.0')
DEV_B = device(B + '\\5&1&0&2', B, 'compatid = ' + C)
DEV_B_BUSY = device(B + '\\5&1&0&2', B, 'compatid = ' + C, 'in-use = yes')
MOUSE = device('USB\\VID_F0F0&PID_0101\\5&1&0&3', 'USB\\VID_F0F0&PID_0101')

# ---------------------------------------------------------------- window texts

SEARCHING = 'Searching for hardware...'
DONE = 'Searching for hardware... Done'
OPEN_FAILED = "Failed to open 'velk.inf'"
PARSE_FAILED = "Failed to parse 'velk.inf'"
SUCCESS = 'The driver was successfully updated for at least one device.\n'
NOTHING = 'No suitable hardware was found.\n'
ERROR = 'An error occurred while updating the driver.\n'

# Control IDs of the installer window.
STATUS, PROGRESS, RESULT, REBOOT = 2, 3, 4, 5


def done(result, history, reboot=False):
    """The window at the end of a pass that reached the update loop."""
    return {'status': DONE, 'progress': history, 'result': result, 'reboot': reboot}


def stopped(status):
    """The window after an open or parse failure: the status line only."""
    return {'status': status, 'progress': None, 'result': None, 'reboot': False}


# ---------------------------------------------------------------- native cases
#
# inf: the package's velk.inf (None: there is none). devices: machine lines.
# where: 'package' runs the program in its own folder; 'elsewhere' runs it from
# another current directory; 'module-dir' makes GetModuleFileNameW report a
# path in another folder (which holds the package); 'module-bare' makes it
# report a bare file name. devices: machine lines (may set anything but the
# run's trace, dump and log files). calls: the IDs handed to the service, with whether
# it installed (from the trace). log: lines of the service log, '<ID> | <result>'.

SAMPLE = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'sample')


def sample_file(name):
    with open(os.path.join(SAMPLE, name), encoding='utf-8', newline='') as f:
        return f.read()


CASES = [
    dict(name='the sample package on the sample machine', inf=sample_file('velk.inf'),
         devices=sample_file('machine.txt'),
         exit=0, window=done(SUCCESS, [2500, 5000, 7500, 10000], reboot=True),
         calls=[(A, True), (B + '&REV_0200', True), (B, True), (D + '&MI_00', False)],
         log=[A + ' | updated', B + '&REV_0200 | restart', B + ' | restart', D + '&MI_00 | error 0xE000020B']),
    dict(name='three IDs: every position in order', inf=THREE, devices=DEV_A + DEV_B,
         exit=0, window=done(SUCCESS, [3333, 6666, 10000]),
         calls=[(A, True), (B, True), (C, True)],
         log=[A + ' | updated', B + ' | updated', C + ' | updated']),
    dict(name='installer path with a directory', inf=THREE, devices=DEV_A, where='module-dir',
         exit=0, window=done(SUCCESS, [3333, 6666, 10000]),
         calls=[(A, True), (B, False), (C, False)],
         trace_has=["CInfFile::open: dir='{mod}' filename='velk.inf' path='{mod}\\velk.inf'\n"]),
    dict(name='installer path without a directory', inf=THREE, devices=DEV_A, where='module-bare',
         exit=2, window=stopped(OPEN_FAILED), calls=[],
         trace=["CInfFile::open: dir='' filename='velk.inf' path='\\velk.inf'\n"]),
    dict(name='INF missing', inf=None, devices=DEV_A,
         exit=2, window=stopped(OPEN_FAILED), calls=[]),
    dict(name='INF not parsed: no [Manufacturer]', inf=NO_MANUFACTURER, devices=DEV_A,
         exit=3, window=stopped(PARSE_FAILED), calls=[]),
    dict(name='no IDs: empty bar, no hardware', inf=NO_IDS, devices=DEV_A,
         exit=4, window=done(NOTHING, []), calls=[], log=[]),
    dict(name='IDs matching no device', inf=THREE, devices=MOUSE,
         exit=4, window=done(NOTHING, [3333, 6666, 10000]),
         calls=[(A, False), (B, False), (C, False)],
         log=[A + ' | error 0xE000020B', B + ' | error 0xE000020B', C + ' | error 0xE000020B']),
    dict(name='every driver already as good', inf=THREE,
         devices=DEV_A + 'answer = not-better\n' + DEV_B + 'answer = not-better\n',
         exit=4, window=done(NOTHING, [3333, 6666, 10000]),
         calls=[(A, False), (B, False), (C, False)],
         log=[A + ' | not-better', B + ' | not-better', C + ' | not-better']),
    dict(name='restart note: one restart, one without device', inf=THREE, devices=DEV_B_BUSY,
         exit=0, window=done(SUCCESS, [3333, 6666, 10000], reboot=True),
         calls=[(A, False), (B, True), (C, True)],
         log=[A + ' | error 0xE000020B', B + ' | restart', C + ' | restart']),
    dict(name='four IDs: error at the second stops at 2500', inf=FOUR,
         devices=DEV_A + 'answer = restart\n' + DEV_B + 'answer = 5\n',
         exit=5, window=done(ERROR, [2500], reboot=True),
         calls=[(A, True), (B, False)],
         log=[A + ' | restart', B + ' | error 0x00000005']),
    dict(name='a duplicated ID is updated twice', inf=TWICE, devices=DEV_A,
         exit=0, window=done(SUCCESS, [5000, 10000]),
         calls=[(A, True), (A, True)],
         log=[A + ' | updated', A + ' | updated']),
    dict(name='started from another current directory', inf=THREE, devices=DEV_A, where='elsewhere',
         exit=0, window=done(SUCCESS, [3333, 6666, 10000]),
         calls=[(A, True), (B, False), (C, False)],
         log=[A + ' | updated', B + ' | error 0xE000020B', C + ' | error 0xE000020B']),
]

# ---------------------------------------------------------------- Wine packages
#
# ids: the IDs the package yields for Wine's identity, so that the native
# machine can give each a device that accepts it, as Wine's service does.

WINE_PACKAGES = [
    dict(name='three IDs', inf=THREE, ids=[A, B, C], exit=0),
    dict(name='four IDs', inf=FOUR, ids=[A, B, C, D], exit=0),
    dict(name='duplicated ID', inf=TWICE, ids=[A], exit=0),
    dict(name='no IDs', inf=NO_IDS, ids=[], exit=4),
    dict(name='no [Manufacturer]', inf=NO_MANUFACTURER, ids=[], exit=3),
    dict(name='INF missing', inf=None, ids=[], exit=2),
]

# ---------------------------------------------------------------- helpers

WINDOW_LINE = re.compile(r'^( *)window (.*)$')
FIELD = re.compile(r'([a-z-]+)=("(?:[^"\\]|\\.)*"|\S*)')


def unescape(text):
    """C escapes as the dump and Wine's debug channel write them."""
    out = bytearray()
    i = 0
    raw = text.encode('utf-8')
    simple = {ord('n'): 10, ord('r'): 13, ord('t'): 9, ord('"'): 34, ord('\\'): 92, ord("'"): 39,
              ord('a'): 7, ord('b'): 8, ord('f'): 12, ord('v'): 11}
    while i < len(raw):
        c = raw[i]
        if c != 92 or i + 1 >= len(raw):
            out.append(c)
            i += 1
            continue
        e = raw[i + 1]
        if e in simple:
            out.append(simple[e])
            i += 2
        elif e == ord('x'):
            j = i + 2
            while j < len(raw) and j < i + 4 and chr(raw[j]) in '0123456789abcdefABCDEF':
                j += 1
            out.append(int(raw[i + 2:j], 16) if j > i + 2 else ord('x'))
            i = j
        elif chr(e) in '01234567':
            j = i + 1
            while j < len(raw) and j < i + 4 and chr(raw[j]) in '01234567':
                j += 1
            out.append(int(raw[i + 1:j], 8) & 0xFF)
            i = j
        else:
            out.append(e)
            i += 2
    return out.decode('utf-8', 'replace')


def parse_dump(text):
    """Controls of the frame by ID: visible, text, painted and, for bars,
    history and painted positions."""
    controls = {}
    for line in text.splitlines():
        m = WINDOW_LINE.match(line)
        if not m or not m.group(1):
            continue
        fields = dict(FIELD.findall(m.group(2)))
        control = {'visible': fields.get('visible') == 'yes', 'text': unescape(fields.get('text', '""')[1:-1]),
                   'painted': fields.get('painted') == 'yes'}
        for key in ('history', 'painted-pos'):
            if key in fields:
                control[key] = [int(p) for p in fields[key].split(',') if p]
        controls[int(fields.get('id', '-1'))] = control
    return controls


def unseen_of(controls, history):
    """What the user of a pass that reached the update loop never saw: the run
    pumps no messages, so the bar at 0, each step and the summary reach the
    screen only through the pass's forced repaints."""
    problems = []
    painted = controls.get(PROGRESS, {}).get('painted-pos')
    if painted != [0] + history:
        problems.append('progress painted at %r, expected %r' % (painted, [0] + history))
    stale = sorted(cid for cid, c in controls.items() if c['visible'] and not c['painted'])
    if stale:
        problems.append('controls %r shown but not painted at the end' % stale)
    return problems


def window_of(controls):
    """The dump in the terms of the case table."""
    def shown(cid, key='text'):
        c = controls.get(cid)
        return c[key] if c and c['visible'] else None
    reboot = controls.get(REBOOT)
    return {'status': shown(STATUS), 'progress': shown(PROGRESS, 'history'), 'result': shown(RESULT),
            'reboot': bool(reboot and reboot['visible'])}


def calls_of(trace):
    """(ID, installed) for every ID the pass handed to the service."""
    calls = []
    for line in trace:
        m = re.match(r'^Installing driver for hardware ID (.*):\n$', line)
        if m:
            calls.append([m.group(1), False])
        elif calls and line == "  Installed driver for '%s'.\n" % calls[-1][0]:
            calls[-1][1] = True
    return [tuple(c) for c in calls]


def read(path):
    try:
        with open(path, encoding='utf-8', newline='') as f:
            return f.read()
    except FileNotFoundError:
        return None


def trace_lines(text):
    """The trace file as written: every OutputDebugStringW call ends in \\n."""
    return re.findall(r'[^\n]*\n|[^\n]+$', text or '')


def windows_path(host):
    return 'Z:' + os.path.abspath(host).replace('/', '\\')


def copy_program(source, target):
    try:
        os.link(source, target)
    except OSError:
        shutil.copy2(source, target)


def run_native(install, folder, cwd, machine_text, args=('-nopause',)):
    machine = os.path.join(folder, 'machine.txt')
    with open(machine, 'w', encoding='utf-8') as f:
        f.write(machine_text)
    env = dict(os.environ, VELK_MACHINE=machine)
    return subprocess.run([install] + list(args), cwd=cwd, env=env, stdin=subprocess.DEVNULL,
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=120)


# ---------------------------------------------------------------- native

def native_case(case, install, tmp):
    pkg = os.path.join(tmp, 'pkg')
    other = os.path.join(tmp, 'other')
    os.makedirs(pkg)
    os.makedirs(other)
    program = os.path.join(pkg, 'install')
    copy_program(install, program)
    where = case.get('where', 'package')
    inf_folder = other if where == 'module-dir' else pkg
    if case['inf'] is not None:
        with open(os.path.join(inf_folder, 'velk.inf'), 'w', encoding='utf-8', newline='') as f:
            f.write(case['inf'])
    trace_file = os.path.join(tmp, 'trace.txt')
    dump_file = os.path.join(tmp, 'dump.txt')
    log_file = os.path.join(tmp, 'service.log')
    # The case's lines first: the run's own files win over any it names.
    machine = XP + case['devices'] + 'debug = %s\ndump = %s\nservice-log = %s\n' % (trace_file, dump_file, log_file)
    if where == 'module-dir':
        machine += 'module = %s\n' % windows_path(os.path.join(other, 'install.exe'))
    elif where == 'module-bare':
        if os.path.exists('/velk.inf'):
            return ['skipped: /velk.inf exists on this machine']
        machine += 'module = install.exe\n'
    result = run_native(program, tmp, other if where == 'elsewhere' else pkg, machine)

    problems = []
    if result.returncode != case['exit']:
        problems.append('exit code %d, expected %d; stderr: %s' %
                        (result.returncode, case['exit'], result.stderr.decode('utf-8', 'replace').strip()))
    dump = read(dump_file)
    if dump is None:
        problems.append('no window dump')
    else:
        controls = parse_dump(dump)
        window = window_of(controls)
        if window != case['window']:
            problems.append('window %r, expected %r' % (window, case['window']))
        elif window['progress'] is not None:
            problems += unseen_of(controls, window['progress'])
    trace = trace_lines(read(trace_file))
    calls = calls_of(trace)
    if calls != case['calls']:
        problems.append('service calls %r, expected %r' % (calls, case['calls']))
    expected_lines = [l.format(mod=windows_path(other)) for l in case.get('trace_has', [])]
    for line in expected_lines:
        if line not in trace:
            problems.append('trace lacks %r; trace: %r' % (line, trace))
    if 'trace' in case and trace != case['trace']:
        problems.append('trace %r, expected %r' % (trace, case['trace']))
    if 'log' in case:
        # '<ID> | <device> | <result> | <detail>': the ID and the result.
        log = [' | '.join((l.split(' | ') + [''])[0:3:2]) for l in (read(log_file) or '').splitlines()]
        if log != case['log']:
            problems.append('service log %r, expected %r' % (log, case['log']))
    return problems


# ---------------------------------------------------------------- Wine

OUTPUT_DEBUG = re.compile(r':warn:seh:OutputDebugStringA "(.*)"$')


def wine_case(case, args, tmp):
    exe_name = os.path.basename(args.exe)
    copy_program(args.exe, os.path.join(tmp, exe_name))
    copy_program(args.native, os.path.join(tmp, 'install'))
    if case['inf'] is not None:
        with open(os.path.join(tmp, 'velk.inf'), 'w', encoding='utf-8', newline='') as f:
            f.write(case['inf'])

    env = dict(os.environ, VELK_WINEDEBUG='-all,warn+seh')
    wine = subprocess.run([args.wine_run, '--winver', args.winver, os.path.join(tmp, exe_name), '-nopause'],
                          cwd=tmp, env=env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                          stderr=subprocess.PIPE, timeout=600)
    wine_trace = []
    for line in wine.stderr.decode('utf-8', 'replace').splitlines():
        m = OUTPUT_DEBUG.search(line)
        if m:
            wine_trace.append(unescape(m.group(1)))

    trace_file = os.path.join(tmp, 'trace.txt')
    major, minor = args.os.split('.')
    machine = ('os = %s.%s\nproduct-type = 1\nsuite-mask = 0\narch = %s\nwow64 = no\ndebug = %s\n' %
               (major, minor, args.arch, trace_file))
    for n, device_id in enumerate(dict.fromkeys(case['ids'])):
        machine += device('ROOT\\VELK\\%04d' % n, device_id, 'answer = updated')
    native = run_native(os.path.join(tmp, 'install'), tmp, tmp, machine)
    native_trace = trace_lines(read(trace_file))

    problems = []
    if wine.returncode != case['exit']:
        problems.append('Wine exit code %d, expected %d; stderr tail: %s' %
                        (wine.returncode, case['exit'], wine.stderr.decode('utf-8', 'replace')[-2000:]))
    if native.returncode != case['exit']:
        problems.append('native exit code %d, expected %d' % (native.returncode, case['exit']))
    if not native_trace:
        problems.append('native trace is empty')
    if wine_trace != native_trace:
        for i in range(max(len(wine_trace), len(native_trace))):
            w = wine_trace[i] if i < len(wine_trace) else '(none)'
            n = native_trace[i] if i < len(native_trace) else '(none)'
            if w != n:
                problems.append('trace line %d: Wine %r, native %r' % (i + 1, w, n))
                break
        problems.append('Wine trace %d lines, native %d' % (len(wine_trace), len(native_trace)))
    return problems


# ---------------------------------------------------------------- main

def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    sub = parser.add_subparsers(dest='mode', required=True)
    n = sub.add_parser('native')
    n.add_argument('--install', required=True)
    n.add_argument('--only')
    w = sub.add_parser('wine')
    w.add_argument('--exe', required=True)
    w.add_argument('--native', required=True)
    w.add_argument('--wine-run', required=True)
    w.add_argument('--winver', required=True)
    w.add_argument('--arch', required=True)
    w.add_argument('--os', required=True)
    w.add_argument('--only')
    args = parser.parse_args()
    for name in ('install', 'exe', 'native', 'wine_run'):
        if getattr(args, name, None):
            setattr(args, name, os.path.abspath(getattr(args, name)))

    programs = [args.install] if args.mode == 'native' else [args.exe, args.native]
    for program in programs:
        if not os.path.isfile(program):
            print('scenarios: no program at %s (build it first)' % program, file=sys.stderr)
            return 1
    cases = CASES if args.mode == 'native' else WINE_PACKAGES
    passed = failed = 0
    for case in cases:
        if args.only and args.only != case['name']:
            continue
        tmp = tempfile.mkdtemp(prefix='velk-scenario-')
        try:
            if args.mode == 'native':
                problems = native_case(case, args.install, tmp)
            else:
                problems = wine_case(case, args, tmp)
        except subprocess.TimeoutExpired as e:
            problems = ['did not end: %s' % e]
        finally:
            shutil.rmtree(tmp, ignore_errors=True)
        if problems and problems[0].startswith('skipped'):
            print('SKIP %s: %s' % (case['name'], problems[0]))
            continue
        if problems:
            failed += 1
            print('FAIL %s' % case['name'])
            for p in problems:
                print('     ' + p)
        else:
            passed += 1
            print('ok   %s' % case['name'])
    print('%d passed, %d failed' % (passed, failed))
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main())
