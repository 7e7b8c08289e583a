#!/usr/bin/env python3
"""Size and PSNR of a Video-1 movie with cuts: the library against ffmpeg's msvideo1 encoder.

    python3 bench/writer/video1_cuts_bench.py [BUILD_DIR] [SCENES]

Makes (untimed) an uncompressed 352 x 288 movie at 25 fps of SCENES (default 12) scenes of 20 frames
each, every scene the moving test pattern in a look of its own, so that each cut changes the whole
frame and the frames between change in part. Then codes
it to Video-1 with `vidmill make --compressor MSVC` at the key-frame rate the compressor list gives
Video-1 (26, FFmpeg's spacing), and with `ffmpeg -c:v msvideo1`, and prints the video bytes, the key
frames and the average PSNR (against the uncompressed frames) of both."""
import os
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SIZE, FPS, SCENE_FRAMES, KEY_FRAME_RATE = "352x288", 25, 20, 26


def ffmpeg(*args):
    subprocess.run(["ffmpeg", "-nostdin", "-v", "error", "-y", *args], check=True)


def make_source(path, scenes):
    inputs, labels = [], []
    for i in range(scenes):
        inputs += ["-f", "lavfi", "-i", f"testsrc2=s={SIZE}:r={FPS}"]
        # The moving pattern with grain of its own (fixed within the scene), every other scene its
        # negative, lighter and darker: no block of a scene matches the scene before, as at a cut
        # between filmed scenes.
        look = "eq=brightness=0.15" if i % 2 == 0 else "negate,eq=brightness=-0.15"
        labels.append(f"[{i}:v]trim=end_frame={SCENE_FRAMES},setpts=PTS-STARTPTS,"
                      f"noise=all_seed={i + 1}:alls=24:allf=u,{look},format=bgr24[s{i}];")
    graph = "".join(labels) + "".join(f"[s{i}]" for i in range(scenes)) + f"concat=n={scenes}:v=1[v]"
    ffmpeg(*inputs, "-filter_complex", graph, "-map", "[v]", "-c:v", "rawvideo", "-pix_fmt", "bgr24", path)


def probe_packets(movie):
    out = subprocess.run(["ffprobe", "-v", "error", "-select_streams", "v:0", "-show_entries", "packet=size,flags",
                          "-of", "csv=p=0", movie], capture_output=True, text=True, check=True).stdout
    rows = [line.split(",") for line in out.split() if line.strip()]
    return sum(int(size) for size, _ in rows), sum(1 for _, flags in rows if flags.startswith("K"))


def psnr(movie, reference):
    out = subprocess.run(["ffmpeg", "-nostdin", "-v", "info", "-i", movie, "-i", reference, "-lavfi",
                          "[0:v]format=rgb24[a];[1:v]format=rgb24[b];[a][b]psnr", "-f", "null", "-"],
                         capture_output=True, text=True, check=True).stderr
    return float(out.split("average:")[1].split()[0])


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build"))
    scenes = int(sys.argv[2]) if len(sys.argv) > 2 else 12
    with tempfile.TemporaryDirectory() as folder:
        env = dict(os.environ, TMPDIR=folder, XDG_DATA_HOME=folder, CB_REGISTRY=os.path.join(folder, "registry.ini"))
        source = os.path.join(folder, "cuts.avi")
        make_source(source, scenes)
        ours, theirs = os.path.join(folder, "ours.avi"), os.path.join(folder, "theirs.avi")
        subprocess.run([os.path.join(build, "bin", "vidmill"), "make", ours, "--size", SIZE, "--fps", str(FPS),
                        "--compressor", "MSVC", "--key-frame-rate", str(KEY_FRAME_RATE), "--avi", source],
                       check=True, env=env)
        ffmpeg("-i", source, "-c:v", "msvideo1", theirs)
        (ours_bytes, ours_keys), (theirs_bytes, theirs_keys) = probe_packets(ours), probe_packets(theirs)
        ours_psnr, theirs_psnr = psnr(ours, source), psnr(theirs, source)
        print(f"{scenes} scenes of {SCENE_FRAMES} frames, {SIZE}: vidmill {ours_bytes} bytes, {ours_keys} key "
              f"frames, {ours_psnr:.2f} dB; ffmpeg -c:v msvideo1 {theirs_bytes} bytes, {theirs_keys} key frames, "
              f"{theirs_psnr:.2f} dB; size ratio {ours_bytes / theirs_bytes:.3f}x (goal <= 1.1x), "
              f"PSNR difference {ours_psnr - theirs_psnr:+.2f} dB (goal >= 0)")


if __name__ == "__main__":
    main()
