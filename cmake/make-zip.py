#!/usr/bin/env python3
"""Writes the distribution's zip so that the same files give the same bytes
on any machine, in any folder, at any time:

    make-zip.py OUT.zip FOLDER PREFIX MANIFEST [--skip DIR]...
    make-zip.py --source-date [--skip DIR]...
    make-zip.py --holds ZIP DIR

MANIFEST is the list of files that `cmake --install --prefix PREFIX` wrote
(install_manifest_<component>.txt). Each goes into FOLDER/ inside the zip
under its path below PREFIX (include/pixkit.h stays in include/), in sorted
order, with no owner, no permissions and one time for all. (Zip tools write
the files' own times, owners and modes, which differ between builds.)

That time is SOURCE_DATE_EPOCH if it is set. Else, in a git work tree, the
time of the last commit; a checkout dates its files at the time it ran.
Else, in a tree unpacked from `git archive`, which dates every file at the
commit's time, the newest source file's time: every file below the source
tree except those below the folders builds write into, the DIRs given with
--skip, whose files are newer. With --source-date it prints that time (in
seconds since 1970) and writes nothing: scripts/sign-release.sh signs at it.
With --holds it exits 0 only when each entry FOLDER/PATH of ZIP is DIR/PATH
byte for byte: scripts/sign-release.sh checks so that the zip holds the
signed files before it leaves them alone.
"""
import argparse
import os
import subprocess
import sys
import time
import zipfile

ZIP_EPOCH = 315532800  # 1980-01-01, the earliest time a zip entry holds
SOURCE_ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def newest_source_file(skip):
    skip = {os.path.realpath(d) for d in skip}
    newest = 0
    for folder, subfolders, files in os.walk(SOURCE_ROOT):
        subfolders[:] = [d for d in subfolders
                         if os.path.realpath(os.path.join(folder, d)) not in skip]
        for name in files:
            path = os.path.join(folder, name)
            if os.path.isfile(path) and not os.path.islink(path):
                newest = max(newest, int(os.stat(path).st_mtime))
    return newest


def source_date(skip):
    if "SOURCE_DATE_EPOCH" in os.environ:
        return int(os.environ["SOURCE_DATE_EPOCH"])
    # .git is a folder in a clone and a file in a linked work tree.
    if os.path.exists(os.path.join(SOURCE_ROOT, ".git")):
        out = subprocess.run(["git", "-C", SOURCE_ROOT, "log", "-1", "--format=%ct"],
                             check=True, capture_output=True, text=True).stdout
        return int(out)
    return newest_source_file(skip)


def holds(zip_path, folder):
    """The entries of the zip that differ from the file in `folder`."""
    differ = []
    with zipfile.ZipFile(zip_path) as zip_file:
        for entry in zip_file.infolist():
            path = os.path.join(folder, entry.filename.split("/", 1)[-1])
            if not os.path.isfile(path) or read(path) != zip_file.read(entry):
                differ.append(entry.filename)
    return differ


def read(path):
    with open(path, "rb") as f:
        return f.read()


def main():
    if sys.argv[1:2] == ["--holds"]:
        differ = holds(*sys.argv[2:4])
        if differ:
            sys.exit(f"{sys.argv[2]}: {', '.join(differ)} not as in {sys.argv[3]}")
        return
    if sys.argv[1:2] == ["--source-date"]:
        skip = argparse.ArgumentParser()
        skip.add_argument("--skip", action="append", default=[])
        print(source_date(skip.parse_args(sys.argv[2:]).skip))
        return
    args = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    args.add_argument("out")
    args.add_argument("folder")
    args.add_argument("prefix")
    args.add_argument("manifest")
    args.add_argument("--skip", action="append", default=[])
    args = args.parse_args()

    with open(args.manifest, encoding="utf-8") as f:
        installed = [line for line in f.read().splitlines() if line]
    entries = sorted((os.path.relpath(path, args.prefix).replace(os.sep, "/"), path)
                     for path in installed)
    date_time = time.gmtime(max(source_date(args.skip), ZIP_EPOCH))[:6]
    with zipfile.ZipFile(args.out, "w") as zip_file:
        for name, path in entries:
            entry = zipfile.ZipInfo(f"{args.folder}/{name}", date_time)
            entry.create_system = 0  # MS-DOS: no Unix owner or mode
            entry.compress_type = zipfile.ZIP_DEFLATED
            zip_file.writestr(entry, read(path))


if __name__ == "__main__":
    main()
