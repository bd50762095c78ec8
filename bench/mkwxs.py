#!/usr/bin/env python3
"""Writes the WiX source of a Windows Installer package for a tree laid out by gen.py.

    mkwxs.py FILES.LST DIRS.LST ROOT_WIN SOURCE_UNIX LAYOUT NAME OUT.wxs

The package installs the same files in the same directories as the tree whose
Windows paths FILES.LST and DIRS.LST list under ROOT_WIN, to the same place:
ROOT_WIN's directories after its drive, below TARGETDIR. Windows Installer
keeps no property of the installation for the removal, so TARGETDIR must
resolve to ROOT_WIN's drive by default (the root drive, C:) or be given alike
on both command lines. File contents come from the tree laid
at SOURCE_UNIX. LAYOUT is how files are grouped into components, the two ways
packages are written: "dir" (one component per directory, keyed by its first
file) or "file" (one component per file). NAME tells packages apart: the
product and component codes are derived from it, so a package built again
for the same NAME has the same codes.
"""
import os
import sys
import uuid
from xml.sax.saxutils import quoteattr

NAMESPACE = uuid.UUID("6c3e0f53-2a7e-4a55-9d61-2f0e1f6d8a10")


def guid(*parts):
    return "{%s}" % str(uuid.uuid5(NAMESPACE, "/".join(parts))).upper()


def main():
    files_lst, dirs_lst, root, source, layout, name, out_path = sys.argv[1:8]
    # wixl takes sources relative to the file it reads.
    source = os.path.relpath(source, os.path.dirname(os.path.abspath(out_path)))
    assert layout in ("dir", "file"), layout
    read = lambda p: [l.rstrip("\r\n") for l in open(p, encoding="cp1252") if l.strip()]
    relative = lambda p: "" if p.lower() == root.lower() else p[len(root) + 1:]
    directories = sorted(relative(d) for d in read(dirs_lst))
    files = {}
    for f in read(files_lst):
        rel = relative(f)
        files.setdefault(rel.rpartition("\\")[0], []).append(rel)
    ids = {d: "D%d" % i for i, d in enumerate(directories)}
    ids[""] = "INSTALLDIR"

    components = []
    file_number = 0

    def write_directory(out, d, indent):
        nonlocal file_number
        own = sorted(files.get(d, []))
        groups = [own] if layout == "dir" else [[f] for f in own]
        for group in groups:
            if not group:
                continue
            cid = "C%d" % len(components)
            components.append(cid)
            out.write('%s<Component Id="%s" Guid="%s">\n' % (indent, cid, guid(name, cid)))
            for i, f in enumerate(group):
                file_number += 1
                out.write('%s  <File Id="F%d" Name=%s Source=%s%s/>\n' % (
                    indent, file_number, quoteattr(f.rpartition("\\")[2]),
                    quoteattr(os.path.join(source, *f.split("\\"))), ' KeyPath="yes"' if i == 0 else ""))
            out.write("%s</Component>\n" % indent)
        for child in directories:
            if child and child.rpartition("\\")[0] == d:
                out.write('%s<Directory Id="%s" Name=%s>\n' % (indent, ids[child], quoteattr(child.rpartition("\\")[2])))
                write_directory(out, child, indent + "  ")
                out.write("%s</Directory>\n" % indent)

    with open(out_path, "w", encoding="utf-8") as out:
        out.write('<?xml version="1.0" encoding="utf-8"?>\n')
        out.write('<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">\n')
        out.write(' <Product Id="%s" Name=%s Language="1033" Version="1.0.0" Manufacturer="Bench"'
                  ' UpgradeCode="%s">\n' % (guid(name, "product"), quoteattr(name), guid(name, "upgrade")))
        out.write('  <Package InstallerVersion="200" Compressed="yes" InstallScope="perMachine"/>\n')
        out.write('  <Media Id="1" Cabinet="files.cab" EmbedCab="yes"/>\n')
        out.write('  <Directory Id="TARGETDIR" Name="SourceDir">\n')
        parents = root.split("\\")[1:]
        for i, part in enumerate(parents):
            out.write('   <Directory Id="%s" Name=%s>\n' % (
                "INSTALLDIR" if i == len(parents) - 1 else "P%d" % i, quoteattr(part)))
        write_directory(out, "", "    ")
        out.write("   </Directory>\n" * len(parents) + "  </Directory>\n")
        out.write('  <Feature Id="Main" Level="1">\n')
        out.writelines('   <ComponentRef Id="%s"/>\n' % c for c in components)
        out.write("  </Feature>\n </Product>\n</Wix>\n")
    print(guid(name, "product"))


if __name__ == "__main__":
    main()
