#!/usr/bin/env python3
"""Watches a folder with inotify and tries to open every file made or moved
into it, as a curious user of the same machine would, until STOP exists.
Prints one line: 'made N opened M: names', N the files seen, M those opened.
Files named in the arguments after STOP are not counted (the day itself).
usage: open_new_files.py FOLDER READY STOP [NAME...]"""
import ctypes
import os
import select
import struct
import sys

IN_CREATE, IN_MOVED_TO, IN_ISDIR = 0x100, 0x80, 0x40000000

folder, ready, stop = sys.argv[1:4]
skip = set(sys.argv[4:])
libc = ctypes.CDLL("libc.so.6", use_errno=True)
fd = libc.inotify_init1(os.O_NONBLOCK | os.O_CLOEXEC)
if fd < 0 or libc.inotify_add_watch(fd, folder.encode(), IN_CREATE | IN_MOVED_TO) < 0:
    sys.exit("inotify: " + os.strerror(ctypes.get_errno()))
open(ready, "w").close()
made, opened = 0, []
while not os.path.exists(stop):
    if not select.select([fd], [], [], 0.05)[0]:
        continue
    data = os.read(fd, 65536)
    at = 0
    while at < len(data):
        _, mask, _, size = struct.unpack_from("iIII", data, at)
        name = data[at + 16 : at + 16 + size].rstrip(b"\0").decode("utf-8", "replace")
        at += 16 + size
        if mask & IN_ISDIR or name in skip:
            continue
        made += 1
        try:
            os.close(os.open(os.path.join(folder, name), os.O_RDONLY | os.O_NONBLOCK))
            opened.append(name)
        except OSError:
            pass
print("made %d opened %d: %s" % (made, len(opened), " ".join(opened)))
