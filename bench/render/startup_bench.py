#!/usr/bin/env python3
"""Whole-process benchmark of what a short render pays before its first frame: the compressor listing and
one-frame renders.

    python3 bench/render/startup_bench.py [BUILD_DIR] [RUNS]

Makes (untimed) a one-frame 352 x 288 AVI clip with a sound track and a project that shows it, registers the
library in a scratch registry, then times (median of RUNS, default 5) and takes the peak resident memory of:
  - `vidmill compressors` with an empty cache folder (every encoder tried by a round trip) and again with the
    cache the first run left ($XDG_CACHE_HOME of the scratch folder);
  - `cinebrix-composer --render` of the one-frame project to AVI with "MSVC" and with "DIB ", and to MP4.
Every process runs with the scratch folder as $XDG_CACHE_HOME, so the user's cache is never read or written."""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import render_bench  # noqa: E402
from render_bench import ROOT, clip, ffmpeg, measured, project  # noqa: E402

FPS, WIDTH, HEIGHT = 25, 352, 288


def write_one_frame_project(folder):
    source = os.path.join(folder, "one.avi")
    ffmpeg("-f", "lavfi", "-i", f"testsrc2=s={WIDTH}x{HEIGHT}:r={FPS}", "-f", "lavfi", "-i",
           "sine=f=440:sample_rate=22050", "-frames:v", "1", "-t", "0.04", "-c:v", "msvideo1", "-c:a", "pcm_s16le",
           "-ac", "1", source)
    project.MOVIE = {"MovieName": (b"One", "One"), "CurClip": 1, "ProjectPath": (b"", ""),
                     "OutputPath": (b"", ""), "OutFps": float(FPS), "OutWidth": WIDTH, "OutHeight": HEIGHT,
                     "OutChannels": 1, "OutBits": 16, "OutRate": 22050}
    project.CLIPS = [clip(ClipType=1, FilePath=source, ClipName="One", SrcFps=float(FPS), FrameCount=1,
                          SrcWidth=WIDTH, SrcHeight=HEIGHT, UseFirst=1, UseLast=1)]
    project.ARRANGED = [dict(ClipIndex=1, Overlays=[])]
    project.UNUSED = []
    path = os.path.join(folder, "one.CbMov")
    project.write_project(path)
    return path


def report(label, samples):
    walls = [wall for wall, _, _ in samples]
    peaks = [peak for _, _, peak in samples]
    print(f"{label:34} {statistics.median(walls):8.3f} {min(walls):8.3f} {max(peaks):9.1f}")


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build"))
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    composer = os.path.join(build, "bin", "cinebrix-composer")
    tool = os.path.join(build, "bin", "vidmill")
    with tempfile.TemporaryDirectory() as folder:
        cache = os.path.join(folder, "cache")
        env = dict(os.environ, TMPDIR=folder, CB_SETTINGS_DIR=folder, XDG_DATA_HOME=folder, XDG_STATE_HOME=folder,
                   XDG_CACHE_HOME=cache, CB_REGISTRY=os.path.join(folder, "registry.ini"))
        subprocess.run([os.path.join(build, "bin", "regsvr"), os.path.join(build, "lib", "libvidmill.so")],
                       check=True, env=env, capture_output=True)
        path = write_one_frame_project(folder)
        print(f"one {WIDTH} x {HEIGHT} frame; median and fastest wall seconds of {runs} runs, highest peak")
        print(f"{'command':34} {'median s':>8} {'min s':>8} {'peak MiB':>9}")
        cold = []
        for _ in range(runs):
            shutil.rmtree(cache, ignore_errors=True)
            cold.append(measured([tool, "compressors"], env))
        report("vidmill compressors, no cache", cold)
        report("vidmill compressors, cached", [measured([tool, "compressors"], env) for _ in range(runs)])
        for label, out, extra in (("render one frame, AVI 'MSVC'", "one-msvc.avi", ["--compressor", "MSVC"]),
                                  ("render one frame, AVI 'DIB '", "one-dib.avi", ["--compressor", "DIB "]),
                                  ("render one frame, MP4", "one.mp4", [])):
            movie = os.path.join(folder, out)
            report(label, [measured([composer, "--render", path, movie, *extra], env) for _ in range(runs)])
            assert render_bench.frames_of(movie) == 1, movie


if __name__ == "__main__":
    main()
