#!/usr/bin/env python3
"""Lays out an installation tree and writes its lists.

    gen.py N ROOT_UNIX ROOT_WIN LIST_DIR

N files of 1-4 KB in about N/50 directories hung at most three levels below
ROOT, some names with blanks. The tree is the same every time for a given N
(seeded with N), so an NSIS uninstaller built once for N stays valid. Files are
listed in random order, so consecutive files seldom share a directory: the hard
case for an uninstaller that prunes after each file. Writes to LIST_DIR
(Windows paths, CR LF, ANSI):
  files.lst      one absolute path per file
  dirs.lst       every directory, ROOT included, deepest first
  uninstall.log  three header lines (title, product key, language), then the files
"""
import os
import random
import sys


def main():
    n, root_unix, root_win, list_dir = int(sys.argv[1]), sys.argv[2], sys.argv[3], sys.argv[4]
    rng = random.Random(n)
    dirs = [("", 0)]  # (path relative to ROOT, depth); "" is ROOT itself
    for i in range(max(1, round(n / 50))):
        parent, depth = rng.choice([d for d in dirs if d[1] < 3])
        name = ("Sub %03d" % i) if i % 7 == 3 else ("d%03d" % i)
        dirs.append(((parent + "\\" if parent else "") + name, depth + 1))
    exts = ["dll", "dat", "txt", "ini", "png", "exe", "bin"]
    files = []
    for j in range(n):
        d = dirs[j][0] if j < len(dirs) else rng.choice(dirs)[0]  # every directory gets a file
        name = ("file %06d.%s" if j % 11 == 5 else "f%06d.%s") % (j, exts[j % len(exts)])
        files.append(((d + "\\" if d else "") + name, rng.randint(1024, 4096)))
    rng.shuffle(files)

    os.makedirs(root_unix, exist_ok=True)
    for d, _ in dirs[1:]:
        os.makedirs(os.path.join(root_unix, *d.split("\\")), exist_ok=True)
    blob = rng.randbytes(8192)
    for f, size in files:
        with open(os.path.join(root_unix, *f.split("\\")), "wb") as out:
            out.write(blob[size % 4096:size % 4096 + size])

    os.makedirs(list_dir, exist_ok=True)
    win = lambda rel: root_win + ("\\" + rel if rel else "")
    with open(os.path.join(list_dir, "files.lst"), "w", newline="\r\n", encoding="cp1252") as out:
        out.writelines(win(f) + "\n" for f, _ in files)
    with open(os.path.join(list_dir, "dirs.lst"), "w", newline="\r\n", encoding="cp1252") as out:
        out.writelines(win(d) + "\n" for d, _ in sorted(dirs, key=lambda x: (-x[1], x[0])))
    with open(os.path.join(list_dir, "uninstall.log"), "w", newline="\r\n", encoding="cp1252") as out:
        out.write("Bench App\nBenchApp\nEnglish\n")
        out.writelines(win(f) + "\n" for f, _ in files)


if __name__ == "__main__":
    main()
