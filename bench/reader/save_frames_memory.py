#!/usr/bin/env python3
"""Peak memory of `vidmill save-frames` on one huge frame, per pixel of the frame.

    python3 bench/reader/save_frames_memory.py [BUILD_DIR] [SIDE] [FORMAT ...]

Makes (untimed, once) a SIDE x SIDE MJPEG AVI (default 8192, the largest frame the reader takes)
with ffmpeg, then saves its first frame with `vidmill save-frames --format FORMAT` for each format
(default: bmp jpeg png tiff) and prints the whole process's peak resident size, in KiB and in bytes
per pixel of the frame, and its wall time."""
import os
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build")
    side = int(sys.argv[2]) if len(sys.argv) > 2 else 8192
    formats = sys.argv[3:] or ["bmp", "jpeg", "png", "tiff"]
    folder = os.path.join(os.environ.get("TMPDIR", tempfile.gettempdir()), "cb-save-frames-bench")
    os.makedirs(folder, exist_ok=True)
    movie = os.path.join(folder, f"mjpeg-{side}.avi")
    if not os.path.exists(movie):
        subprocess.run(["ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i", f"testsrc2=s={side}x{side}:d=0.2:r=5",
                        "-frames:v", "1", "-c:v", "mjpeg", "-q:v", "5", movie], check=True)
    pixels = side * side
    print(f"save-frames of one {side} x {side} MJPEG frame ({pixels} pixels):")
    for name in formats:
        start = time.monotonic()
        child = subprocess.Popen([os.path.join(build, "bin", "vidmill"), "save-frames", movie,
                                  os.path.join(folder, f"frame-{name}-"), "--count", "1", "--format", name])
        _, status, usage = os.wait4(child.pid, 0)
        seconds = time.monotonic() - start
        peak = usage.ru_maxrss  # KiB
        verdict = "ok" if status == 0 else f"FAILED (status {status})"
        print(f"  {name:5} peak {peak:8d} KiB = {peak * 1024 / pixels:5.2f} bytes/pixel, {seconds:5.2f} s  {verdict}")
    for entry in os.listdir(folder):
        if entry.startswith("frame-"):
            os.remove(os.path.join(folder, entry))


if __name__ == "__main__":
    main()
