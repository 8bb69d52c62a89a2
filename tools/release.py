"""Makes a release: the two Windows executables, their SHA-256 sums and the
package kit. Run as tools/release, which installs what it needs first.

  tools/release [--out DIR] [--build-dir DIR] [--sign CERT.pfx [--timestamp URL]]

  --out DIR        where the release is written (default: dist/ of the
                   checkout); an earlier release there is replaced, a folder
                   holding other files is refused
  --build-dir DIR  where the two builds are made (default: build/release/ of
                   the checkout); kept, so that a second run builds only what
                   changed
  --sign CERT.pfx  sign both executables with Authenticode, SHA-256 digest,
                   with the certificate and key in CERT.pfx; its password is
                   read from the environment variable VELK_SIGN_PASSWORD (set
                   it empty for a file without one)
  --timestamp URL  with --sign: have the RFC 3161 time-stamp server at URL
                   countersign, so that the signature outlives the certificate

It writes:
  install.exe, install64.exe   built by the win32 and win64 presets, with the
                               options the tests run them with
  velk-install-VERSION.zip     the kit: both executables, a template velk.inf
                               and PACKAGING.txt for package authors (kit/)
  SHA256SUMS                   of the three (sha256sum -c SHA256SUMS)

VERSION is the checkout's VERSION file. Before anything is written, each
executable must pass tests/wine/check-pe (imports, resources, size).

Two runs from the same commit give the same bytes, wherever the checkout
is: the executables carry no build path and a PE time stamp of 0 (see the
Windows options in CMakeLists.txt); the zip lists its files in a fixed order,
each dated with the commit's time (SOURCE_DATE_EPOCH when set), with fixed
attributes and compression. A signature carries its signing time, so signed
files differ from run to run.
"""
import argparse
import datetime
import hashlib
import os
import shutil
import subprocess
import sys
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
CHECK_PE = os.path.join(ROOT, 'tests', 'wine', 'check-pe')
PASSWORD_VARIABLE = 'VELK_SIGN_PASSWORD'
# (preset, executable): what the release is made of.
BUILDS = [('win32', 'install.exe'), ('win64', 'install64.exe')]
# What a package author gets besides the executables: (file in kit/, name in the zip).
KIT_TEXTS = [('velk.inf', 'velk.inf'), ('PACKAGING.txt', 'PACKAGING.txt')]
# The earliest time a zip entry can carry (MS-DOS date).
ZIP_EPOCH = datetime.datetime(1980, 1, 1, tzinfo=datetime.timezone.utc)


class ReleaseError(Exception):
    pass


def run(command, log=None, **kwargs):
    """Runs a command; its output goes to the log file when one is given."""
    if log is None:
        result = subprocess.run(command, **kwargs)
    else:
        with open(log, 'ab') as f:
            f.write(('$ %s\n' % ' '.join(command)).encode())
            f.flush()
            result = subprocess.run(command, stdout=f, stderr=subprocess.STDOUT, **kwargs)
    if result.returncode != 0:
        where = ' (output: %s)' % log if log else ''
        raise ReleaseError('%s failed with exit code %d%s' % (' '.join(command), result.returncode, where))
    return result


def read_version():
    with open(os.path.join(ROOT, 'VERSION'), encoding='ascii') as f:
        version = f.readline().strip()
    parts = version.split('.')
    if len(parts) != 4 or not all(p.isdigit() for p in parts):
        raise ReleaseError('VERSION holds %r, not four numbers a.b.c.d' % version)
    return version


def source_date():
    """The time the release's files are dated with: SOURCE_DATE_EPOCH, else
    the time of the checkout's commit."""
    value = os.environ.get('SOURCE_DATE_EPOCH')
    if value is None:
        try:
            value = subprocess.run(['git', '-C', ROOT, 'log', '-1', '--format=%ct'], check=True,
                                   stdout=subprocess.PIPE, stderr=subprocess.DEVNULL).stdout.decode().strip()
        except (OSError, subprocess.CalledProcessError):
            raise ReleaseError('not a git checkout: set SOURCE_DATE_EPOCH to the time the release is dated with')
    if not value.isdigit():
        raise ReleaseError('SOURCE_DATE_EPOCH is %r, not seconds since 1970' % value)
    moment = datetime.datetime.fromtimestamp(int(value), datetime.timezone.utc)
    return max(moment, ZIP_EPOCH)


def build(build_dir):
    """Builds both executables; returns their paths."""
    os.makedirs(build_dir, exist_ok=True)
    built = []
    for preset, exe in BUILDS:
        binary = os.path.join(build_dir, preset)
        log = os.path.join(build_dir, preset + '.log')
        if os.path.exists(log):
            os.remove(log)
        print('release: building %s (%s)' % (exe, log), file=sys.stderr)
        run(['cmake', '--preset', preset, '-B', binary], log, cwd=ROOT)
        run(['cmake', '--build', binary, '--target', 'velk_install'], log, cwd=ROOT)
        built.append(os.path.join(binary, 'app', exe))
    return built


def check(exe):
    for mode in ('imports', 'resources', 'size'):
        result = subprocess.run([sys.executable, CHECK_PE, mode, exe], stdout=subprocess.PIPE,
                                stderr=subprocess.STDOUT)
        if result.returncode != 0:
            raise ReleaseError('%s does not pass check-pe %s:\n%s' % (exe, mode, result.stdout.decode()))


def sign(unsigned, signed, certificate, timestamp):
    if PASSWORD_VARIABLE not in os.environ:
        raise ReleaseError('--sign: set %s to the password of %s (empty for none)' % (PASSWORD_VARIABLE, certificate))
    command = ['osslsigncode', 'sign', '-pkcs12', certificate, '-readpass', '/dev/stdin', '-h', 'sha256',
               '-n', 'VELK Driver Installer']
    if timestamp:
        command += ['-ts', timestamp]
    command += ['-in', unsigned, '-out', signed]
    # The password goes through a pipe (read as /dev/stdin, which every
    # osslsigncode version opens): on the command line every user could read it.
    result = subprocess.run(command, input=os.environ[PASSWORD_VARIABLE].encode(), stdout=subprocess.PIPE,
                            stderr=subprocess.STDOUT)
    if result.returncode != 0:
        raise ReleaseError('signing %s failed:\n%s' % (os.path.basename(signed), result.stdout.decode()))


def windows_text(path, version):
    """A kit text as package authors' editors on Windows want it: CRLF lines."""
    with open(path, encoding='utf-8') as f:
        text = f.read().replace('@VERSION@', version)
    return text.replace('\r\n', '\n').replace('\n', '\r\n').encode('utf-8')


def write_kit(path, folder, files, moment):
    """files: (name in the zip, bytes), in the order they are written."""
    date_time = moment.timetuple()[:6]
    with zipfile.ZipFile(path, 'w') as kit:
        for name, data in files:
            entry = zipfile.ZipInfo(folder + '/' + name, date_time=date_time)
            entry.compress_type = zipfile.ZIP_DEFLATED
            entry.create_system = 0  # MS-DOS: no Unix owner or mode bits
            entry.external_attr = 0
            kit.writestr(entry, data, compresslevel=9)


def is_release_file(name):
    return name in ('SHA256SUMS', *(exe for _, exe in BUILDS)) or (
        name.startswith('velk-install-') and name.endswith('.zip'))


def empty_output(out):
    """Removes an earlier release from out; a folder holding anything else is
    left alone, so that a mistyped --out cannot wipe a folder."""
    os.makedirs(out, exist_ok=True)
    others = sorted(name for name in os.listdir(out) if not is_release_file(name))
    if others:
        raise ReleaseError('%s holds files that are not a release (%s): give an empty or new folder'
                           % (out, ', '.join(others[:5])))
    for name in os.listdir(out):
        os.remove(os.path.join(out, name))


def release(args):
    version = read_version()
    moment = source_date()
    out = os.path.abspath(args.out)
    if args.sign and not os.path.isfile(args.sign):
        raise ReleaseError('--sign: no such file: %s' % args.sign)
    if args.timestamp and not args.sign:
        raise ReleaseError('--timestamp needs --sign')

    empty_output(out)
    executables = build(os.path.abspath(args.build_dir))
    for exe in executables:
        check(exe)

    names = [exe for _, exe in BUILDS]
    for source, name in zip(executables, names):
        target = os.path.join(out, name)
        if args.sign:
            sign(source, target, args.sign, args.timestamp)
        else:
            shutil.copyfile(source, target)

    folder = 'velk-install-' + version
    files = []
    for name in names:
        with open(os.path.join(out, name), 'rb') as f:
            files.append((name, f.read()))
    for source, name in KIT_TEXTS:
        files.append((name, windows_text(os.path.join(ROOT, 'kit', source), version)))
    kit_name = folder + '.zip'
    write_kit(os.path.join(out, kit_name), folder, files, moment)

    with open(os.path.join(out, 'SHA256SUMS'), 'w', encoding='ascii', newline='\n') as sums:
        for name in names + [kit_name]:
            with open(os.path.join(out, name), 'rb') as f:
                sums.write('%s  %s\n' % (hashlib.sha256(f.read()).hexdigest(), name))
    for name in names + [kit_name]:
        print('%-28s %9d bytes' % (name, os.path.getsize(os.path.join(out, name))))
    print('release %s%s in %s' % (version, ', signed' if args.sign else '', out))


def main():
    parser = argparse.ArgumentParser(usage=__doc__.split('\n\n')[1].strip(), description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument('--out', default=os.path.join(ROOT, 'dist'))
    parser.add_argument('--build-dir', default=os.path.join(ROOT, 'build', 'release'))
    parser.add_argument('--sign', metavar='CERT.pfx')
    parser.add_argument('--timestamp', metavar='URL')
    args = parser.parse_args()
    try:
        release(args)
    except (ReleaseError, subprocess.CalledProcessError, OSError) as e:
        print('release: %s' % e, file=sys.stderr)
        return 1
    return 0


if __name__ == '__main__':
    sys.exit(main())
