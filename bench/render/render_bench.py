#!/usr/bin/env python3
"""Whole-process benchmark of the movie render against the equivalent ffmpeg filter graph.

    python3 bench/render/render_bench.py [BUILD_DIR] [SECONDS]

Makes (untimed) a 384 x 312 video with a sound track, a 176 x 144 overlay video on a plain key green and
a 44.1 kHz tone, all SECONDS long (default 60), and a project that crops the video to 352 x 288, lays the
overlay over it with its green transparent (10 % tolerance) and mixes both sounds into 22.05 kHz stereo.
Then, in the same run, for "MSVC" (msvideo1) and "DIB " (uncompressed):
  - cinebrix-composer --render PROJECT OUT.avi --compressor CODE (load, render, sound mix, all of it);
  - ffmpeg with crop and scale, colour key and overlay, resample and mix, the same encoder, into AVI.
It prints output frames per second (frames / wall time of the whole process) and the peak resident
memory of each process. Then the size of the Video-1 movie: the uncompressed render's frames are coded
by `ffmpeg -c:v msvideo1`, and the video bytes and PSNR (against those uncompressed frames) of both
Video-1 files are printed side by side. Last, a movie to share at 1080p: an H.264/AAC MP4 of
SHARE_SECONDS (default 5) in, rendered to MP4 by cinebrix-composer and by the equivalent ffmpeg graph
(H.264 CRF 20 preset medium, AAC 160 kb/s, the sound resampled to the movie's), frames per second and
peak memory of each. The library is registered in a scratch registry first.

    python3 bench/render/render_bench.py [BUILD_DIR] [SECONDS] [SHARE_SECONDS]"""
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

FPS, WIDTH, HEIGHT, RATE = 25, 352, 288, 22050


def ffmpeg(*args):
    subprocess.run(["ffmpeg", "-v", "error", "-y", *args], check=True)


def make_sources(folder, seconds):
    main = os.path.join(folder, "main.avi")
    ffmpeg("-f", "lavfi", "-i", f"testsrc2=s=384x312:r={FPS}:d={seconds}",
           "-f", "lavfi", "-i", f"sine=f=440:sample_rate=44100:d={seconds}",
           "-c:v", "msvideo1", "-c:a", "pcm_s16le", "-ac", "1", main)
    overlay = os.path.join(folder, "overlay.avi")
    ffmpeg("-f", "lavfi", "-i",
           f"color=c=0x00FF00:s=176x144:r={FPS}:d={seconds},"
           "drawbox=x='mod(t*40\\,120)':y=40:w=56:h=56:color=red:t=fill", "-c:v", "msvideo1", overlay)
    tone = os.path.join(folder, "tone.wav")
    ffmpeg("-f", "lavfi", "-i", f"sine=f=330:sample_rate=44100:d={seconds}", "-c:a", "pcm_s16le", "-ac", "1", tone)
    return main, overlay, tone


def write_project(folder, main, overlay, tone, seconds):
    frames = FPS * seconds
    project.MOVIE = {"MovieName": (b"Benchmark", "Benchmark"), "CurClip": 1, "ProjectPath": (b"", ""),
                     "OutputPath": (b"", ""), "OutFps": float(FPS), "OutWidth": WIDTH, "OutHeight": HEIGHT,
                     "OutChannels": 2, "OutBits": 16, "OutRate": RATE}
    project.CLIPS = [
        clip(ClipType=1, FilePath=main, ClipName="Main", SrcFps=float(FPS), FrameCount=frames, SrcWidth=384,
             SrcHeight=312, UseFirst=1, UseLast=frames, CropTop=12, CropBottom=12, CropLeft=16, CropRight=16),
        clip(ClipType=1, FilePath=overlay, ClipName="Overlay", SrcFps=float(FPS), FrameCount=frames, SrcWidth=176,
             SrcHeight=144, UseFirst=1, UseLast=frames, TransColors=[dict(Red=0, Green=255, Blue=0, Tolerance=10)]),
        clip(ClipType=2, FilePath=tone, ClipName="Tone", AudioDuration=float(seconds), AudioBits=16,
             AudioChannels=1, AudioRate=44100),
        clip(ClipType=2, FilePath=main, ClipName="Main sound", AudioDuration=float(seconds), AudioBits=16,
             AudioChannels=1, AudioRate=44100),
    ]
    project.ARRANGED = [dict(ClipIndex=1, Overlays=[2, 3, 4])]
    project.UNUSED = []
    path = os.path.join(folder, "bench.CbMov")
    project.write_project(path)
    return path


def measured(command, env):
    """Wall seconds, processor seconds (user + system) and peak resident MiB of one process."""
    started = time.monotonic()
    child = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    _, status, usage = os.wait4(child.pid, 0)
    seconds = time.monotonic() - started
    errors = child.stderr.read().decode(errors="replace")
    child.stderr.close()
    child.returncode = os.waitstatus_to_exitcode(status)
    if child.returncode != 0:
        raise RuntimeError(f"{command[0]} failed: {errors[-2000:]}")
    return seconds, usage.ru_utime + usage.ru_stime, usage.ru_maxrss / 1024.0


def frames_of(movie):
    out = subprocess.run(["ffprobe", "-v", "error", "-select_streams", "v:0", "-show_entries", "stream=nb_frames",
                          "-of", "csv=p=0", movie], capture_output=True, text=True, check=True).stdout
    return int(out.strip())


def video_bytes(movie):
    """Bytes of the video stream's packets: the sound track and the file's headers left out."""
    out = subprocess.run(["ffprobe", "-v", "error", "-select_streams", "v:0", "-show_entries", "packet=size",
                          "-of", "csv=p=0", movie], capture_output=True, text=True, check=True).stdout
    return sum(int(line) for line in out.split() if line.strip())


def psnr(movie, reference):
    """Average PSNR in dB of the movie's pictures against the reference's, both as RGB."""
    out = subprocess.run(["ffmpeg", "-v", "info", "-i", movie, "-i", reference, "-lavfi",
                          "[0:v]format=rgb24[a];[1:v]format=rgb24[b];[a][b]psnr", "-f", "null", "-"],
                         capture_output=True, text=True, check=True).stderr
    return float(out.split("average:")[1].split()[0])


def compare_video1_size(ours_msvc, ours_raw, folder):
    theirs = os.path.join(folder, "theirs-msvideo1.avi")
    ffmpeg("-i", ours_raw, "-an", "-c:v", "msvideo1", theirs)
    ours_bytes, theirs_bytes = video_bytes(ours_msvc), video_bytes(theirs)
    ours_psnr, theirs_psnr = psnr(ours_msvc, ours_raw), psnr(theirs, ours_raw)
    print(f"Video-1 of the same frames: cinebrix-composer {ours_bytes} bytes at {ours_psnr:.2f} dB, "
          f"ffmpeg -c:v msvideo1 {theirs_bytes} bytes at {theirs_psnr:.2f} dB; "
          f"size ratio {ours_bytes / theirs_bytes:.3f}x (goal <= 1.1x), PSNR difference "
          f"{ours_psnr - theirs_psnr:+.2f} dB (goal >= 0)")


def ffmpeg_graph(main, overlay, tone, out, codec):
    graph = (f"[0:v]crop={WIDTH}:{HEIGHT}:16:12,scale={WIDTH}:{HEIGHT}[b];"
             f"[1:v]colorkey=0x00FF00:0.1:0,scale={WIDTH}:{HEIGHT}[o];[b][o]overlay=0:0[v];"
             f"[0:a][2:a]amix=inputs=2:normalize=0,aresample={RATE},"
             "aformat=sample_fmts=s16:channel_layouts=stereo[a]")
    video = ["-c:v", "msvideo1"] if codec == "MSVC" else ["-c:v", "rawvideo", "-pix_fmt", "bgr24"]
    return ["ffmpeg", "-v", "error", "-y", "-i", main, "-i", overlay, "-i", tone, "-filter_complex", graph,
            "-map", "[v]", "-map", "[a]", *video, "-c:a", "pcm_s16le", out]


def share_benchmark(composer, folder, env, seconds):
    """1080p H.264 MP4 in, 1080p MP4 out: the whole program against the ffmpeg command line."""
    source = os.path.join(folder, "phone.mp4")
    ffmpeg("-f", "lavfi", "-i", f"testsrc2=s=1920x1080:r=30:d={seconds}", "-f", "lavfi", "-i",
           f"sine=f=440:sample_rate=48000:d={seconds}", "-c:v", "libx264", "-preset", "veryfast", "-pix_fmt",
           "yuv420p", "-c:a", "aac", "-ac", "2", source)
    frames = 30 * seconds
    project.MOVIE = {"MovieName": (b"Share", "Share"), "CurClip": 1, "ProjectPath": (b"", ""),
                     "OutputPath": (b"", ""), "OutFps": 30.0, "OutWidth": 1920, "OutHeight": 1080,
                     "OutChannels": 2, "OutBits": 16, "OutRate": 48000}
    project.CLIPS = [
        clip(ClipType=1, FilePath=source, ClipName="Phone", SrcFps=30.0, FrameCount=frames, SrcWidth=1920,
             SrcHeight=1080, UseFirst=1, UseLast=frames),
        clip(ClipType=2, FilePath=source, ClipName="Phone sound", AudioDuration=float(seconds), AudioBits=16,
             AudioChannels=2, AudioRate=48000),
    ]
    project.ARRANGED = [dict(ClipIndex=1, Overlays=[2])]
    project.UNUSED = []
    path = os.path.join(folder, "share.CbMov")
    project.write_project(path)
    ours, theirs = os.path.join(folder, "ours.mp4"), os.path.join(folder, "theirs.mp4")
    graph = ["ffmpeg", "-v", "error", "-y", "-i", source, "-filter_complex",
             "[0:v]scale=1920:1080,format=yuv420p[v];[0:a]aresample=48000,aformat=channel_layouts=stereo[a]",
             "-map", "[v]", "-map", "[a]", "-c:v", "libx264", "-crf", "20", "-preset", "medium", "-profile:v",
             "high", "-c:a", "aac", "-b:a", "160k", "-movflags", "+faststart", theirs]
    # The program holds the encoder's look-ahead to 10 pictures at 1080p (medium looks 40 ahead) to stay
    # within its memory; the same graph with that look-ahead is timed too.
    same = graph[:-3] + ["-x264-params", "rc-lookahead=10:sync-lookahead=1"] + graph[-3:]
    print(f"{seconds} s 1920 x 1080 H.264/AAC MP4 at 30 fps in, MP4 out (H.264 CRF 20 medium, AAC 160k)")
    results = []
    for side, command, movie in (("cinebrix-composer", [composer, "--render", path, ours], ours),
                                 ("ffmpeg graph", graph, theirs),
                                 ("ffmpeg same look", same, theirs)):
        wall, cpu, peak = measured(command, env)
        count = frames_of(movie)
        results.append(count / wall)
        print(f"{'MP4':8} {side:18} {count:6} {wall:8.2f} {count / wall:8.1f} {cpu:7.2f} {count / cpu:8.1f} "
              f"{peak:9.1f}")
    print(f"{'MP4':8} speed ratio {results[0] / results[1]:.2f}x against the graph, {results[0] / results[2]:.2f}x "
          f"against the same look-ahead (wall); peak memory goal under 300 MiB")


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build"))
    seconds = int(sys.argv[2]) if len(sys.argv) > 2 else 60
    composer = os.path.join(build, "bin", "cinebrix-composer")
    with tempfile.TemporaryDirectory() as folder:
        env = dict(os.environ, TMPDIR=folder, CB_SETTINGS_DIR=folder, XDG_DATA_HOME=folder,
                   CB_REGISTRY=os.path.join(folder, "registry.ini"))
        subprocess.run([os.path.join(build, "bin", "regsvr"), os.path.join(build, "lib", "libvidmill.so")],
                       check=True, env=env, capture_output=True)
        main_clip, overlay, tone = make_sources(folder, seconds)
        path = write_project(folder, main_clip, overlay, tone, seconds)
        print(f"{seconds} s movie, {WIDTH} x {HEIGHT} at {FPS} fps, {RATE} Hz stereo; "
              f"crop + keyed overlay + two sounds mixed")
        # Frames per processor second as well: on a shared machine the wall clock also counts other work.
        print(f"{'output':8} {'side':18} {'frames':>6} {'seconds':>8} {'fps':>8} {'cpu s':>7} {'fps/cpu':>8} "
              f"{'peak MiB':>9}")
        ours_of = {}
        for code in ("MSVC", "DIB "):
            ours = ours_of[code] = os.path.join(folder, f"ours-{code.strip()}.avi")
            theirs = os.path.join(folder, "theirs.avi")
            ours_time, ours_cpu, ours_peak = measured([composer, "--render", path, ours, "--compressor", code], env)
            graph_time, graph_cpu, graph_peak = measured(ffmpeg_graph(main_clip, overlay, tone, theirs, code), env)
            ours_frames, graph_frames = frames_of(ours), frames_of(theirs)
            ours_fps, graph_fps = ours_frames / ours_time, graph_frames / graph_time
            for side, frames, wall, cpu, peak in (("cinebrix-composer", ours_frames, ours_time, ours_cpu, ours_peak),
                                                  ("ffmpeg graph", graph_frames, graph_time, graph_cpu, graph_peak)):
                print(f"{code!r:8} {side:18} {frames:6} {wall:8.2f} {frames / wall:8.1f} {cpu:7.2f} "
                      f"{frames / cpu:8.1f} {peak:9.1f}")
            print(f"{code!r:8} speed ratio {ours_fps / graph_fps:.2f}x (wall), "
                  f"{(ours_frames / ours_cpu) / (graph_frames / graph_cpu):.2f}x (processor time)")
        compare_video1_size(ours_of["MSVC"], ours_of["DIB "], folder)
        share_benchmark(composer, folder, env, int(sys.argv[3]) if len(sys.argv) > 3 else 5)


if __name__ == "__main__":
    main()
