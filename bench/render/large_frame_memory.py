#!/usr/bin/env python3
"""Whole-process benchmark of a render's peak memory at large frame sizes and with a picture that
declares a huge size.

    python3 bench/render/large_frame_memory.py [BUILD_DIR] [SECONDS] [CASE ...]

For each case, a project of one 64 x 64 grey picture shown SECONDS long (default 1) is rendered by
cinebrix-composer --render, and the exit status, wall time and peak resident memory of the process
are printed with the first line of its standard error:
  - AVI at 8192 x 8192, uncompressed ("DIB ") and Video-1 ("MSVC");
  - MP4 (H.264) and WebM (VP9) at 4096 x 4096, the largest movie to share, and at 8192 x 8192,
    which is refused before anything is written;
  - a 320 x 240 AVI of a 1 MB-sized PNG whose header declares 16000 x 16000 pixels, which is refused
    before its pixels are allocated.
Given CASE words, only the cases whose name holds one of them run ("AVI", "MP4", "PNG" ...). The
library is registered in a scratch registry first."""
import os
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, "tests", "composer", "document"))
sys.path.insert(0, os.path.join(ROOT, "tests", "composer", "render"))
import independent_project as project  # noqa: E402
from render_independent_movies import clip  # noqa: E402


def declaring_png(path, width, height):
    """A PNG of 64 x 64 pixels padded to about 1 MB, whose header claims width x height."""
    import struct
    import zlib
    subprocess.run(["ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i", "color=c=gray:s=64x64", "-frames:v", "1",
                    path], check=True)
    data = bytearray(open(path, "rb").read())
    data[16:24] = struct.pack(">II", width, height)
    data[29:33] = struct.pack(">I", zlib.crc32(bytes(data[12:29])))
    # A private ancillary chunk of padding before IEND, so that the file is about 1 MB.
    padding = b"\0" * (1 << 20)
    chunk = struct.pack(">I", len(padding)) + b"pdDg" + padding + struct.pack(">I", zlib.crc32(b"pdDg" + padding))
    data[-12:-12] = chunk
    open(path, "wb").write(bytes(data))


def write_project(folder, picture, width, height, seconds):
    project.MOVIE = {"MovieName": (b"Large", "Large"), "CurClip": 1, "ProjectPath": (b"", ""),
                     "OutputPath": (b"", ""), "OutFps": 25.0, "OutWidth": width, "OutHeight": height,
                     "OutChannels": 2, "OutBits": 16, "OutRate": 44100}
    project.CLIPS = [clip(ClipType=3, FilePath=picture, ClipName="Grey", SrcWidth=64, SrcHeight=64,
                          PicDuration=float(seconds))]
    project.ARRANGED = [dict(ClipIndex=1, Overlays=[])]
    project.UNUSED = []
    path = os.path.join(folder, f"movie-{width}x{height}.CbMov")
    project.write_project(path)
    return path


def measured(command, env):
    """Exit status, wall seconds, peak resident MiB and the first line of standard error."""
    started = time.monotonic()
    child = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    _, status, usage = os.wait4(child.pid, 0)
    error = child.stderr.read().decode(errors="replace").strip().splitlines()
    child.stderr.close()
    return os.waitstatus_to_exitcode(status), time.monotonic() - started, usage.ru_maxrss / 1024, \
        (error[0] if error else "")


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build"))
    seconds = int(sys.argv[2]) if len(sys.argv) > 2 else 1
    chosen = sys.argv[3:]
    composer = os.path.join(build, "bin", "cinebrix-composer")
    with tempfile.TemporaryDirectory() as folder:
        env = dict(os.environ, TMPDIR=folder, CB_SETTINGS_DIR=folder, XDG_DATA_HOME=folder,
                   XDG_STATE_HOME=folder, CB_REGISTRY=os.path.join(folder, "registry.ini"))
        subprocess.run([os.path.join(build, "bin", "regsvr"), os.path.join(build, "lib", "libvidmill.so")],
                       check=True, env=env, capture_output=True)
        grey = os.path.join(folder, "grey.png")
        subprocess.run(["ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i", "color=c=gray:s=64x64", "-frames:v",
                        "1", grey], check=True)
        huge = os.path.join(folder, "huge.png")
        declaring_png(huge, 16000, 16000)
        cases = [("AVI DIB 8192x8192", grey, 8192, 8192, "avi", ["--compressor", "DIB"]),
                 ("AVI MSVC 8192x8192", grey, 8192, 8192, "avi", ["--compressor", "MSVC"]),
                 ("MP4 4096x4096", grey, 4096, 4096, "mp4", []),
                 ("WebM 4096x4096", grey, 4096, 4096, "webm", []),
                 ("MP4 8192x8192", grey, 8192, 8192, "mp4", []),
                 ("WebM 8192x8192", grey, 8192, 8192, "webm", []),
                 ("AVI 320x240 of a PNG declaring 16000x16000", huge, 320, 240, "avi", ["--compressor", "MSVC"])]
        print(f"{'case':45} {'status':>6} {'seconds':>8} {'peak MiB':>9}  first line of standard error")
        for name, picture, width, height, extension, options in cases:
            if chosen and not any(word in name for word in chosen):
                continue
            path = write_project(folder, picture, width, height, seconds)
            out = os.path.join(folder, f"out.{extension}")
            status, wall, peak, error = measured([composer, "--render", path, out, *options], env)
            print(f"{name:45} {status:6d} {wall:8.1f} {peak:9.0f}  {error[:100]}")
            if os.path.exists(out):
                os.remove(out)


if __name__ == "__main__":
    main()
