#!/usr/bin/env python3
"""Movies rendered by `cinebrix-composer --render` from projects it has never seen: the project file is
written by the independent writer of tests/composer/document/independent_project.py, and what the movie
must hold (frame count, rate, size, sound length, which clip shows at which frame) comes from this
script's own reading of the timeline rules. The movie is read back with ffprobe and ffmpeg. Then the
demo made by cinebrix-demo is rendered whole, in part and uncompressed, and refusals end with status 1.
Usage: render_independent_movies.py COMPOSER_EXE DEMO_EXE REGSVR_EXE VIDMILL_LIB VIDMILL_TOOL"""
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "document"))
import independent_project as project  # noqa: E402

RED, BLUE, WHITE, BLACK, YELLOW = (255, 0, 0), (0, 0, 255), (255, 255, 255), (0, 0, 0), (255, 255, 0)


def ffmpeg(*args):
    subprocess.run(["ffmpeg", "-v", "error", "-y", *args], check=True)


def probe(movie):
    def fields(selector, entries, extra=()):
        out = subprocess.run(["ffprobe", "-v", "error", *extra, "-select_streams", selector, "-show_entries",
                              "stream=" + entries, "-of", "default=nw=1", movie],
                             capture_output=True, text=True, check=True).stdout
        return dict(line.split("=", 1) for line in out.split())
    video = fields("v:0", "width,height,r_frame_rate,nb_read_frames,codec_name", ["-count_frames"])
    sound = fields("a:0", "sample_rate,channels,nb_read_frames", ["-count_frames"]) if has_sound(movie) else {}
    return video, sound


def has_sound(movie):
    out = subprocess.run(["ffprobe", "-v", "error", "-select_streams", "a", "-show_entries", "stream=index",
                          "-of", "csv=p=0", movie], capture_output=True, text=True).stdout
    return out.strip() != ""


def sound_frames(movie):
    """Decoded sample frames of the sound track (the PCM packets of an AVI hold many each)."""
    raw = subprocess.run(["ffmpeg", "-v", "error", "-i", movie, "-map", "0:a:0", "-f", "s16le", "-ac", "1", "-"],
                         capture_output=True, check=True).stdout
    return len(raw) // 2


def pixel(movie, frame, row, column, width):
    raw = subprocess.run(["ffmpeg", "-v", "error", "-i", movie, "-vf", f"select=eq(n\\,{frame - 1})", "-vsync", "0",
                          "-frames:v", "1", "-f", "rawvideo", "-pix_fmt", "rgb24", "-"],
                         capture_output=True, check=True).stdout
    at = (row * width + column) * 3
    return tuple(raw[at:at + 3])


def near(actual, expected, tolerance=8):
    return len(actual) == 3 and all(abs(a - e) <= tolerance for a, e in zip(actual, expected))


def clip(**fields):
    record = dict(ClipType=0, FilePath="", ClipName="", OverlayDelay=0.0, TransColors=[], CropTop=0, CropBottom=0,
                  CropLeft=0, CropRight=0, SrcFps=0.0, FrameCount=0, SrcWidth=0, SrcHeight=0, UseFirst=1, UseLast=0,
                  CurFrame=1, AudioDuration=0.0, AudioBits=0, AudioChannels=0, AudioRate=0, PicDuration=0.0)
    record.update(fields)
    return record


def duration(c, arranged):
    if c["ClipType"] == 1:
        return (c["UseLast"] - c["UseFirst"] + 1) / c["SrcFps"]
    if c["ClipType"] == 3:
        return c["PicDuration"]
    return 0.0 if arranged else c["AudioDuration"]


def timeline(clips, arranged, fps):
    """Movie end, frame count and, per frame 1..n, (main clip, [overlay clips]) by the timeline rules."""
    start, end, mains, overlays = 0.0, 0.0, [], []
    for entry in arranged:
        c = clips[entry["ClipIndex"] - 1]
        d = duration(c, True)
        mains.append((entry["ClipIndex"], start, d))
        end = max(end, start + d)
        for o in entry["Overlays"]:
            oc = clips[o - 1]
            if oc["ClipType"] != 2:
                overlays.append((o, start + oc["OverlayDelay"], duration(oc, False)))
                end = max(end, start + oc["OverlayDelay"] + duration(oc, False))
        start += d
    total = round(fps * end)
    rows = [[0, []] for _ in range(total + 1)]
    for index, s, d in mains:
        first = round(fps * s + 1)
        for f in range(first, min(round(fps * d + first), total) + 1):
            if clips[index - 1]["ClipType"] != 2:
                rows[f][0] = index
    # An overlay covers the frames whose times (f - 1) / fps fall from its start to its end.
    for index, s, d in overlays:
        first = round(fps * s + 1)
        for f in range(first, min(round(fps * (s + d) + 1) - 1, total) + 1):
            rows[f][1].append(index)
    return end, total, rows


def run(composer, args, env):
    return subprocess.run([composer, *args], capture_output=True, text=True, env=env)


def independent_movie(composer, folder, env):
    red = os.path.join(folder, "red.avi")
    ffmpeg("-f", "lavfi", "-i", "color=c=red:s=64x48:r=10,format=rgb24", "-f", "lavfi", "-i", "sine=f=440:sample_rate=8000",
           "-t", "2", "-frames:v", "20", "-c:v", "rawvideo", "-pix_fmt", "bgr24", "-c:a", "pcm_s16le", "-ac", "1", red)
    keyed = os.path.join(folder, "keyed.avi")
    ffmpeg("-f", "lavfi", "-i", "color=c=0x00FF00:s=32x24:r=10,format=rgb24,drawbox=x=12:y=8:w=8:h=8:color=white:t=fill",
           "-frames:v", "10", "-c:v", "rawvideo", "-pix_fmt", "bgr24", keyed)
    blue = os.path.join(folder, "blue.bmp")
    ffmpeg("-f", "lavfi", "-i", "color=c=blue:s=40x30,format=rgb24", "-frames:v", "1", "-pix_fmt", "bgr24", blue)
    yellow = os.path.join(folder, "yellow.bmp")
    ffmpeg("-f", "lavfi", "-i", "color=c=yellow:s=8x8,format=rgb24", "-frames:v", "1", "-pix_fmt", "bgr24", yellow)
    tone = os.path.join(folder, "tone.wav")
    ffmpeg("-f", "lavfi", "-i", "sine=f=300:sample_rate=11025:duration=1.5", "-c:a", "pcm_s16le", "-ac", "2", tone)

    fps, width, height, rate = 10.0, 64, 48, 8000
    clips = [
        # frames 6 .. 15 of the red video: 1 s, with the sides cropped
        clip(ClipType=1, FilePath=red, ClipName="Red", SrcFps=10.0, FrameCount=20, SrcWidth=64, SrcHeight=48,
             UseFirst=6, UseLast=15, CropLeft=4, CropRight=4),
        clip(ClipType=3, FilePath=blue, ClipName="Blue", SrcWidth=40, SrcHeight=30, PicDuration=1.3),
        clip(ClipType=1, FilePath=keyed, ClipName="Keyed", SrcFps=10.0, FrameCount=10, SrcWidth=32, SrcHeight=24,
             UseFirst=1, UseLast=10, OverlayDelay=0.8, TransColors=[dict(Red=0, Green=250, Blue=0, Tolerance=3)]),
        clip(ClipType=3, FilePath=yellow, ClipName="Yellow", SrcWidth=8, SrcHeight=8, PicDuration=0.4,
             OverlayDelay=2.5),
        clip(ClipType=2, FilePath=tone, ClipName="Tone", AudioDuration=1.5, AudioBits=16, AudioChannels=2,
             AudioRate=11025, OverlayDelay=0.2),
        clip(ClipType=2, FilePath=red, ClipName="Red sound", AudioDuration=2.0, AudioBits=16, AudioChannels=1,
             AudioRate=8000),
    ]
    arranged = [dict(ClipIndex=1, Overlays=[5, 6]), dict(ClipIndex=2, Overlays=[3, 4])]
    project.MOVIE = {"MovieName": (b"Independent", "Independent"), "CurClip": 1, "ProjectPath": (b"", ""),
                     "OutputPath": (b"", ""), "OutFps": fps, "OutWidth": width, "OutHeight": height,
                     "OutChannels": 1, "OutBits": 16, "OutRate": rate}
    project.CLIPS, project.ARRANGED, project.UNUSED = clips, arranged, []
    path = os.path.join(folder, "independent.CbMov")
    project.write_project(path)

    end, total, rows = timeline(clips, arranged, fps)
    movie = os.path.join(folder, "independent.avi")
    done = run(composer, ["--render", path, movie, "--compressor", "DIB"], env)
    assert done.returncode == 0, done.stderr
    video, _ = probe(movie)
    assert int(video["nb_read_frames"]) == total, (video, total)
    assert video["r_frame_rate"] == "10/1" and (int(video["width"]), int(video["height"])) == (width, height), video
    assert abs(sound_frames(movie) - end * rate) <= rate * 0.01, (sound_frames(movie), end * rate)

    checked = set()
    for f in range(1, total + 1):
        main, layers = rows[f]
        key = (main, tuple(layers))
        if key in checked:
            continue
        checked.add(key)
        if layers == [4]:
            expected_corner = expected_centre = YELLOW  # no transparent colours: covers everything
        else:
            expected_corner = {0: BLACK, 1: RED, 2: BLUE}[main]
            expected_centre = WHITE if 3 in layers else expected_corner
        corner = pixel(movie, f, 6, 6, width)
        centre = pixel(movie, f, 24, 32, width)
        assert near(corner, expected_corner), (f, main, layers, "corner", corner, expected_corner)
        assert near(centre, expected_centre), (f, main, layers, "centre", centre, expected_centre)
    # The plan must have produced every kind of frame: arranged, overlaid, black under an overlay, blank.
    assert {(1, ()), (2, (3,)), (0, (3,)), (0, ()), (0, (4,))} <= checked, checked


def demo_movie(composer, demo, folder, env):
    made = subprocess.run([demo, os.path.join(folder, "demo")], capture_output=True, text=True, check=True)
    project_path = made.stdout.strip()
    whole = os.path.join(folder, "demo.avi")
    done = run(composer, ["--render", project_path, whole], env)
    assert done.returncode == 0, done.stderr
    video, sound = probe(whole)
    # The badge overlay ends last: 3.2 s + 1.2 s + 1.5 s = 5.9 s, 147.5 frames rounded to the even 148.
    assert (int(video["nb_read_frames"]), video["r_frame_rate"], video["codec_name"]) == (148, "25/1", "msvideo1"), video
    assert (int(video["width"]), int(video["height"])) == (352, 288), video
    assert (sound["sample_rate"], sound["channels"]) == ("22050", "2"), sound
    assert abs(sound_frames(whole) - 5.9 * 22050) <= 221, sound_frames(whole)

    part = os.path.join(folder, "part.avi")
    done = run(composer, ["--render", project_path, part, "--part", "1", "0:02", "--compressor", "DIB "], env)
    assert done.returncode == 0, done.stderr
    video, _ = probe(part)
    assert (int(video["nb_read_frames"]), video["codec_name"]) == (26, "rawvideo"), video  # frames 26 .. 51

    # Refusals: status 1 with the reason on standard error.
    unwritable = os.path.join(folder, "no", "such", "folder.avi")
    refused = run(composer, ["--render", project_path, unwritable], env)
    assert refused.returncode == 1 and "Failed to create file" in refused.stderr, refused
    assert unwritable in refused.stderr, refused.stderr  # names the file, then why
    refused = run(composer, ["--render", os.path.join(folder, "missing.CbMov"), whole], env)
    assert refused.returncode == 1, refused
    refused = run(composer, ["--render", project_path, part, "--part", "3", "2"], env)
    assert refused.returncode == 1 and "Invalid start/end time" in refused.stderr, refused


def write_movie(path, clips, arranged, fps=10.0, channels=1, rate=8000):
    project.MOVIE = {"MovieName": (b"Damaged", "Damaged"), "CurClip": 1, "ProjectPath": (b"", ""),
                     "OutputPath": (b"", ""), "OutFps": fps, "OutWidth": 64, "OutHeight": 48,
                     "OutChannels": channels, "OutBits": 16, "OutRate": rate}
    project.CLIPS, project.ARRANGED, project.UNUSED = clips, arranged, []
    project.write_project(path)


def peak(movie):
    raw = subprocess.run(["ffmpeg", "-v", "error", "-i", movie, "-map", "0:a:0", "-f", "s16le", "-ac", "1", "-"],
                         capture_output=True, check=True).stdout
    return max((abs(int.from_bytes(raw[i:i + 2], "little", signed=True)) for i in range(0, len(raw) - 1, 2)),
               default=0)


def sound_clips(composer, folder, env):
    """WAV clips in formats other than 8- and 16-bit PCM are decoded and heard, not rendered silent."""
    blue = os.path.join(folder, "blue.bmp")
    for codec in ["pcm_f32le", "pcm_s24le", "adpcm_ima_wav", "pcm_mulaw", "pcm_alaw"]:
        tone = os.path.join(folder, codec + ".wav")
        ffmpeg("-f", "lavfi", "-i", "sine=f=300:sample_rate=8000:duration=1", "-c:a", codec, "-ac", "1", tone)
        clips = [clip(ClipType=3, FilePath=blue, ClipName="Blue", SrcWidth=40, SrcHeight=30, PicDuration=1.0),
                 clip(ClipType=2, FilePath=tone, ClipName="Tone", AudioDuration=1.0, AudioBits=16, AudioChannels=1,
                      AudioRate=8000)]
        path = os.path.join(folder, codec + ".CbMov")
        write_movie(path, clips, [dict(ClipIndex=1, Overlays=[2])])
        movie = os.path.join(folder, codec + ".avi")
        done = run(composer, ["--render", path, movie, "--compressor", "DIB"], env)
        assert done.returncode == 0, (codec, done.stderr)
        assert peak(movie) > 3000, (codec, "the tone is not heard", peak(movie))


def damaged_sources(composer, folder, env):
    """Unreadable sources are named once each and the render ends with status 3; impossible settings
    and compressors that do not write are refused."""
    blue = os.path.join(folder, "blue.bmp")
    red = os.path.join(folder, "red.avi")
    empty = os.path.join(folder, "empty.avi")
    open(empty, "wb").close()
    cut = os.path.join(folder, "cut.bmp")
    with open(blue, "rb") as whole, open(cut, "wb") as part:
        data = whole.read()
        part.write(data[:len(data) - 54])
    pipe = os.path.join(folder, "pipe.avi")
    os.mkfifo(pipe)
    junk = os.path.join(folder, "junk.wav")
    with open(junk, "wb") as out:
        out.write(b"RIFF\x00\x10\x00\x00WAVEjunk" + bytes(range(256)) * 16)
    clips = [clip(ClipType=3, FilePath=blue, ClipName="Blue", SrcWidth=40, SrcHeight=30, PicDuration=1.0),
             clip(ClipType=1, FilePath=empty, ClipName="Empty", SrcFps=10.0, FrameCount=10, SrcWidth=64,
                  SrcHeight=48, UseFirst=1, UseLast=10, CropTop=10, CropBottom=10),
             clip(ClipType=3, FilePath=cut, ClipName="Cut", SrcWidth=40, SrcHeight=30, PicDuration=1.0),
             clip(ClipType=1, FilePath=pipe, ClipName="Pipe", SrcFps=10.0, FrameCount=10, SrcWidth=64,
                  SrcHeight=48, UseFirst=1, UseLast=10),
             clip(ClipType=2, FilePath=junk, ClipName="Junk", AudioDuration=1.0, AudioBits=16, AudioChannels=1,
                  AudioRate=8000)]
    path = os.path.join(folder, "damaged.CbMov")
    write_movie(path, clips, [dict(ClipIndex=1, Overlays=[5]), dict(ClipIndex=2, Overlays=[]), dict(ClipIndex=3, Overlays=[]),
                              dict(ClipIndex=4, Overlays=[])])
    movie = os.path.join(folder, "damaged.avi")
    done = subprocess.run([composer, "--render", path, movie, "--compressor", "DIB"], capture_output=True, text=True,
                          env=env, timeout=120)
    assert done.returncode == 3, done
    for source in [empty, cut, pipe, junk]:
        assert done.stderr.count("cannot read " + source + ":") == 1, (source, done.stderr)
    assert "Crop" not in done.stderr, done.stderr
    video, _ = probe(movie)
    assert int(video["nb_read_frames"]) == 40, video
    info = subprocess.run([composer, "--info", path], capture_output=True, text=True, env=env, timeout=120)
    assert info.returncode == 0, info
    for source in [empty, cut, junk]:
        assert "File name = " + source in info.stderr, (source, info.stderr)

    for channels, text in [(3, "Output channels 3"), (0, "Output channels 0")]:
        bad = os.path.join(folder, "channels.CbMov")
        write_movie(bad, clips[:1], [dict(ClipIndex=1, Overlays=[])], channels=channels)
        refused = run(composer, ["--render", bad, movie], env)
        assert refused.returncode == 1 and text in refused.stderr and bad in refused.stderr, refused
    bad = os.path.join(folder, "slow.CbMov")
    write_movie(bad, clips[:1], [dict(ClipIndex=1, Overlays=[])], fps=0.01)
    refused = run(composer, ["--render", bad, movie], env)
    assert refused.returncode == 1 and "too low" in refused.stderr, refused

    good = os.path.join(folder, "good.CbMov")
    write_movie(good, clips[:1], [dict(ClipIndex=1, Overlays=[])])
    for code in ["ZZZZ", "dvsd"]:
        refused = run(composer, ["--render", good, movie, "--compressor", code], env)
        assert refused.returncode == 2 and "vidmill compressors" in refused.stderr, refused


def damaged_files(folder):
    """Small good files made by ffmpeg, each damaged as files are in the wild: (name, clip fields,
    words the warning holds)."""
    def made(name, *args):
        path = os.path.join(folder, name)
        ffmpeg(*args, path)
        return path

    def changed(path, change):
        with open(path, "rb") as whole:
            data = bytearray(whole.read())
        change(data)
        with open(path, "wb") as out:
            out.write(data)
        return path

    def cut(path, share):
        return changed(path, lambda data: data.__delitem__(slice(int(len(data) * share), None)))

    moving = ["-f", "lavfi", "-i", "testsrc=s=64x48:r=10:d=4"]
    tone = ["-f", "lavfi", "-i", "sine=f=300:sample_rate=8000:duration=2", "-ac", "1"]
    video = dict(ClipType=1, SrcFps=10.0, FrameCount=40, SrcWidth=64, SrcHeight=48, UseFirst=1, UseLast=40)
    sound = dict(ClipType=2, AudioDuration=2.0, AudioBits=16, AudioChannels=1, AudioRate=8000)

    def runs_out_of_its_row(data):
        # The first strip follows the header: two PackBits runs of 128 bytes overrun its row of 192.
        data[8:12] = b"\x81\x00\x81\x00"

    def flip_pages(data):
        for at in range(len(data) // 3, len(data) * 2 // 3, 97):
            data[at] ^= 0x55

    def seven_bits(data):
        data[34:36] = (7).to_bytes(2, "little")

    def junk_stream(data):
        at = data.find(b"strh") + 8
        data[at:at + 4] = b"junk"

    tiff = made("flipped.tiff", "-f", "lavfi", "-i", "testsrc=s=64x48", "-frames:v", "1", "-compression_algo",
                "packbits")
    return [
        ("flipped.tiff", changed(tiff, runs_out_of_its_row),
         dict(ClipType=3, SrcWidth=64, SrcHeight=48, PicDuration=1.0), "damaged"),
        ("cut.mkv", cut(made("cut.mkv", *moving, "-c:v", "mpeg4", "-g", "10"), 0.6), video, "damaged"),
        ("cut.webm", cut(made("cut.webm", *moving, "-c:v", "libvpx", "-g", "10"), 0.6), video, "damaged"),
        ("junk.avi", changed(made("junk.avi", *moving, "-c:v", "rawvideo", "-pix_fmt", "bgr24"), junk_stream), video,
         "unknown type 'junk'"),
        ("seven.wav", changed(made("seven.wav", *tone, "-c:a", "pcm_s16le"), seven_bits), sound, "7 bits per sample"),
        ("cut.wav", cut(made("cut.wav", *tone, "-c:a", "pcm_s16le"), 0.4), sound, "cut short"),
        # The Ogg pages whose checksums fail are skipped: the sound is named damaged, or cut short where
        # what is left ends early.
        ("flipped.opus", changed(made("flipped.opus", *tone, "-c:a", "libopus", "-ar", "48000"), flip_pages), sound,
         ("damaged", "cut short")),
    ]


def damaged_files_are_named(composer, folder, env):
    """A source that reads although it is damaged (a picture or sound its decoder reports damaged, a
    video or sound cut short, a WAV header that does not fit its samples, an AVI stream of no known
    type) is named with what happened and the render ends with status 3, as for a missing one."""
    blue = os.path.join(folder, "blue.bmp")
    for name, path, fields, words in damaged_files(folder):
        shown = clip(ClipType=3, FilePath=blue, ClipName="Blue", SrcWidth=40, SrcHeight=30, PicDuration=1.0)
        damaged = clip(FilePath=path, ClipName=name, **fields)
        if fields["ClipType"] == 2:
            clips, arranged = [shown, damaged], [dict(ClipIndex=1, Overlays=[2])]
        else:
            clips, arranged = [damaged], [dict(ClipIndex=1, Overlays=[])]
        project_path = os.path.join(folder, name + ".CbMov")
        write_movie(project_path, clips, arranged)
        movie = os.path.join(folder, name + ".avi")
        done = subprocess.run([composer, "--render", project_path, movie, "--compressor", "DIB"], capture_output=True,
                              text=True, env=env, timeout=120)
        assert done.returncode == 3, (name, done)
        lines = [line for line in done.stderr.splitlines() if line.startswith("cannot read " + path + ":")]
        said = (words,) if isinstance(words, str) else words
        assert len(lines) == 1 and any(word in lines[0] for word in said), (name, done.stderr)


def without_the_library(composer, folder, env):
    """The AVI library is needed only where an AVI file is read or written: MP4 clips render to MP4 with no
    library registered, in the coding --codec names; an AVI output or clip says that the library is missing."""
    clip_path = os.path.join(folder, "phone.mp4")
    ffmpeg("-f", "lavfi", "-i", "color=c=red:s=64x48:r=10", "-f", "lavfi", "-i", "sine=f=440:sample_rate=8000",
           "-t", "2", "-c:v", "libx264", "-pix_fmt", "yuv420p", "-c:a", "aac", "-ac", "1", clip_path)
    red_avi = os.path.join(folder, "red.avi")  # made by independent_movie
    unregistered = dict(env, CB_REGISTRY=os.path.join(folder, "no-library", "registry.ini"))
    for sources, output, extra, status, said in (
            ([clip_path], "nolib.mp4", [], 0, "wrote"),
            ([clip_path], "nolib-vp9.mkv", ["--codec", "vp9"], 0, "wrote"),
            ([clip_path], "nolib.avi", [], 1, "regsvr libvidmill.so"),
            ([clip_path, red_avi], "nolib-avi-clip.mp4", [], 1, "regsvr libvidmill.so")):
        clips = [clip(ClipType=1, FilePath=path, ClipName=f"Clip {n}", SrcFps=10.0, FrameCount=20, SrcWidth=64,
                      SrcHeight=48, UseFirst=1, UseLast=20) for n, path in enumerate(sources, 1)]
        path = os.path.join(folder, output + ".CbMov")
        write_movie(path, clips, [dict(ClipIndex=n, Overlays=[]) for n in range(1, len(clips) + 1)])
        movie = os.path.join(folder, output)
        done = run(composer, ["--render", path, movie, *extra], unregistered)
        assert done.returncode == status and said in done.stderr, (output, done.returncode, done.stderr)
        if status == 0:
            video, _ = probe(movie)
            wanted = "vp9" if "--codec" in extra else "h264"
            assert video["codec_name"] == wanted and video["nb_read_frames"] == "20", (output, video)
            assert near(pixel(movie, 10, 24, 32, 64), RED, 16), output
        else:
            assert not os.path.exists(movie), output


def main():
    composer, demo, regsvr, library, tool = sys.argv[1:6]
    with tempfile.TemporaryDirectory(dir=os.environ.get("CB_TEST_TMP")) as folder:
        env = dict(os.environ, TMPDIR=folder, CB_SETTINGS_DIR=folder, HOME=folder, XDG_DATA_HOME=folder,
                   CB_REGISTRY=os.path.join(folder, "registry.ini"))
        subprocess.run([regsvr, library], check=True, env=env, capture_output=True)
        independent_movie(composer, folder, env)
        demo_movie(composer, demo, folder, env)
        sound_clips(composer, folder, env)
        damaged_sources(composer, folder, env)
        damaged_files_are_named(composer, folder, env)
        without_the_library(composer, folder, env)
    print("independent movies: frames, sound and pixels where the timeline puts them")
    return 0


if __name__ == "__main__":
    sys.exit(main())
