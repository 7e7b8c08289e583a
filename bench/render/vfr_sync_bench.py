#!/usr/bin/env python3
"""Picture against sound of a phone-style clip whose frames come at varying intervals.

  python3 bench/render/vfr_sync_bench.py [BUILD_DIR] [SECONDS] [drops | 30-15-30]

Makes (with ffmpeg) a clock clip of SECONDS + 2 (default 60 + 2): a white frame and a 30 ms beep at every whole
second, 30 fps with about one frame in five left out (so its frames come at varying intervals), or with
"30-15-30" 30 fps whose middle third keeps every other frame (a phone lowering its rate and raising it
again), H.264 + AAC in MP4. Renders it headless to a 25 fps AVI, then finds in the movie the first white frame
and the start of the beep of every second and prints how far apart they are: at the last second (drift) and
the worst over all.
"""
import json
import os
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, "tests", "composer", "document"))
sys.path.insert(0, os.path.join(ROOT, "tests", "composer", "render"))
import independent_project as project  # noqa: E402
from render_independent_movies import clip  # noqa: E402


def run(*args, **kwargs):
    return subprocess.run(args, check=True, capture_output=True, text=True, **kwargs)


def make_clock(path, seconds, pattern):
    kept = {"drops": "not(eq(mod(n\\,7)\\,3))*not(eq(mod(n\\,11)\\,5))",
            "30-15-30": f"not(between(t\\,{seconds / 3}\\,{2 * seconds / 3}))+eq(mod(n\\,2)\\,0)"}[pattern]
    video = (f"color=black:s=320x240:r=30:d={seconds},drawbox=w=320:h=240:color=white:t=fill:"
             f"enable='lt(mod(t\\,1)\\,0.034)',select='{kept}'")
    sound = f"sine=f=1000:sample_rate=48000:d={seconds},volume='if(lt(mod(t\\,1)\\,0.03)\\,1\\,0)':eval=frame"
    run("ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i", video, "-f", "lavfi", "-i", sound, "-fps_mode", "vfr",
        "-c:v", "libx264", "-pix_fmt", "yuv420p", "-c:a", "aac", path)


def write_project(path, clock, composer, env):
    project.MOVIE = {"MovieName": (b"Clock", "Clock"), "CurClip": 1, "ProjectPath": (b"", ""),
                     "OutputPath": (b"", ""), "OutFps": 25.0, "OutWidth": 320, "OutHeight": 240,
                     "OutChannels": 2, "OutBits": 16, "OutRate": 48000}
    project.ARRANGED = [dict(ClipIndex=1, Overlays=[2])]
    project.UNUSED = []
    # The clip's rate and length as the program reads them: a first project, loaded once, tells them.
    facts = {"SrcFps": 30.0, "FrameCount": 1}
    for _ in range(2):
        project.CLIPS = [
            clip(ClipType=1, FilePath=clock, ClipName="Clock", SrcWidth=320, SrcHeight=240, UseFirst=1,
                 UseLast=facts["FrameCount"], **facts),
            clip(ClipType=2, FilePath=clock, ClipName="Clock sound", AudioDuration=1.0, AudioBits=16,
                 AudioChannels=1, AudioRate=48000),
        ]
        project.write_project(path)
        info = json.loads(run(composer, "--info", path, env=env).stdout)
        loaded = info["Clips"][0]
        facts = {"SrcFps": loaded["SrcFps"], "FrameCount": loaded["FrameCount"]}
    return facts


def flashes(movie):
    out = run("ffprobe", "-v", "error", "-f", "lavfi", "-i", f"movie={movie},signalstats", "-show_entries",
              "frame=pts_time:frame_tags=lavfi.signalstats.YAVG", "-of", "csv=p=0").stdout
    times = []
    for line in out.split():
        time, luma = line.split(",")[:2]
        if float(luma) > 128:
            times.append(float(time))
    return times


def beeps(movie):
    log = subprocess.run(["ffmpeg", "-v", "info", "-i", movie, "-vn", "-af", "silencedetect=n=-30dB:d=0.2", "-f",
                          "null", "-"], capture_output=True, text=True).stderr
    return [float(word.split()[1]) for word in log.split("] ")[1:] if word.startswith("silence_end:")]


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build"))
    seconds = int(sys.argv[2]) if len(sys.argv) > 2 else 60
    pattern = sys.argv[3] if len(sys.argv) > 3 else "drops"
    composer = os.path.join(build, "bin", "cinebrix-composer")
    with tempfile.TemporaryDirectory() as folder:
        env = dict(os.environ, TMPDIR=folder, CB_SETTINGS_DIR=folder, CB_REGISTRY=os.path.join(folder, "reg.ini"))
        run(os.path.join(build, "bin", "regsvr"), os.path.join(build, "lib", "libvidmill.so"), env=env)
        clock = os.path.join(folder, "clock.mp4")
        make_clock(clock, seconds + 2, pattern)
        path = os.path.join(folder, "clock.CbMov")
        facts = write_project(path, clock, composer, env)
        movie = os.path.join(folder, "clock.avi")
        run(composer, "--render", path, movie, "--compressor", "MJPG", env=env)
        first = {}
        for time in flashes(movie):
            second = round(time)
            if abs(time - second) < 0.5 and second not in first:
                first[second] = time
        sounds = beeps(movie)
        apart = []
        for second, time in sorted(first.items()):
            near = min(sounds, key=lambda t: abs(t - second), default=None)
            if near is not None and abs(near - second) < 0.5:
                apart.append((second, time - near))
        print(f"clock clip read at {facts['SrcFps']:.3f} fps, {facts['FrameCount']} frames; movie at 25 fps")
        print(f"{len(apart)} seconds with a white frame; picture - sound at second {apart[-1][0]}: "
              f"{apart[-1][1] * 1000:+.1f} ms; worst over all: {max(abs(d) for _, d in apart) * 1000:.1f} ms "
              f"(one movie frame is 40 ms)")


if __name__ == "__main__":
    main()
