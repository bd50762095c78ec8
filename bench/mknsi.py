#!/usr/bin/env python3
"""Writes the NSIS script of an uninstaller for a tree laid out by gen.py.

    mknsi.py FILES.LST DIRS.LST ROOT_WIN UNINSTALLER_WIN OUT.nsi INSTALLER_OUT TARGET

The uninstall section is what NSIS users write by hand: one Delete per file,
then one RMDir per directory, deepest first, ending with RMDir "$INSTDIR".
Its one page is the progress page, which closes itself at the end, so that
without /S the uninstaller shows its window from start to end and with /S
none. makensis only makes installers, so the install section does nothing but
write the uninstaller to UNINSTALLER_WIN; the caller runs that installer once.
"-" for both lists gives an uninstaller with an empty section. TARGET is
makensis's: x86-unicode (32-bit) or amd64-unicode (64-bit).
"""
import sys


def relative(path, root):
    if path.lower() == root.lower():
        return "$INSTDIR"
    assert path.lower().startswith(root.lower() + "\\"), path
    return "$INSTDIR" + path[len(root):].replace("$", "$$").replace('"', '$\\"')


def main():
    files_lst, dirs_lst, root, uninstaller, out_path, installer, target = sys.argv[1:8]
    read = lambda p: [] if p == "-" else [
        l.rstrip("\r\n") for l in open(p, encoding="cp1252") if l.strip()]
    with open(out_path, "w", encoding="utf-8-sig", newline="\r\n") as out:
        out.write("Unicode true\n")
        out.write("Target %s\n" % target)
        out.write('Name "Bench"\n')
        out.write('OutFile "%s"\n' % installer)
        out.write('InstallDir "%s"\n' % root)
        out.write("RequestExecutionLevel user\n")
        out.write("SilentInstall silent\n")
        out.write("Section\n")
        out.write('  WriteUninstaller "%s"\n' % uninstaller)
        out.write("SectionEnd\n")
        out.write("UninstPage instfiles\n")
        out.write('Section "Uninstall"\n')
        out.write("  SetAutoClose true\n")
        for f in read(files_lst):
            out.write('  Delete "%s"\n' % relative(f, root))
        for d in read(dirs_lst):
            out.write('  RMDir "%s"\n' % relative(d, root))
        out.write("SectionEnd\n")


if __name__ == "__main__":
    main()
