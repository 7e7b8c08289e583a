#!/usr/bin/env python3
"""An independent writer and reader of .CbMov project files, written from the file format alone
(its own word packing and its own cipher), used to check the program both ways:
  1. a project this script writes is printed by `cinebrix-composer --info` with every field intact;
  2. the same project loaded and saved again by our code (resave tool) is read back by this script.
Usage: independent_project.py COMPOSER_EXE RESAVE_EXE CIPHER_VECTORS"""
import json
import os
import struct
import subprocess
import sys
import tempfile

DEFAULT_KEY, PAD, CHECK = "Tembralico", "quorl", 379
MASK = 0xFFFFFFFF


def prepared_key(key):
    k = key.strip(" ") or DEFAULT_KEY
    if len(k) < 4:
        k += PAD[:4 - len(k)]
    chars, n = list(k), len(k)
    for i in range(1, round(n / 2) + 1):  # round() is half-to-even, as the format wants
        chars[i - 1], chars[n - i - 1] = chars[n - i - 1], chars[i - 1]
    codes = [ord(c) for c in "".join(chars).encode("cp1252").decode("latin-1")]
    words = [(0x00FF00FF if i == 0 else 0xFF) + 256 * c for i, c in enumerate(codes)]
    return words, (0xFF if n % 2 else 0)


def mixing_start(seed, p):
    start = seed
    if start > p:
        start = round(seed / 256 * p)
    if start < 1 or start == p:
        start = round(p / 2)
    return start


def list_close(d, key):
    words, seed = prepared_key(key)
    t = list(d) + [CHECK]
    p = len(t) - 1
    o = [0] * (p + 1)
    for idx in range(1, p + 1):
        o[idx] = (t[idx] ^ words[(idx - 1) % len(words)] ^ o[idx - 1]) & MASK
    j = mixing_start(seed, p) + 1
    for i in range(1, p + 1):
        if j > p:
            j -= p
        o[i] ^= o[j]
        j += 1
    o[0] = 0
    return o


def list_open(w, key):
    words, seed = prepared_key(key)
    w = list(w)
    p = len(w) - 1
    start = mixing_start(seed, p)
    for i in range(p, 0, -1):
        w[i] ^= w[(start + i - 1) % p + 1]
    w[0] = 0
    t = [0] * (p + 1)
    for idx in range(1, p + 1):
        t[idx] = (w[idx] ^ words[(idx - 1) % len(words)] ^ w[idx - 1]) & MASK
    return t[:p] if p >= 1 and t[p] == CHECK else [0]


def check_cipher_vectors(path):
    key, cases = None, 0
    for line in open(path):
        if line.startswith("key "):
            key = line[4:].strip()[1:-1]
        elif line.startswith("in "):
            d = [int(x, 16) for x in line.split()[1:]]
        elif line.startswith("out "):
            expected = [int(x, 16) for x in line.split()[1:]]
            assert list_close(d, key) == expected, f"cipher vector with key {key!r}"
            assert list_open(expected, key)[1:] == d[1:], f"decipher with key {key!r}"
            cases += 1
    assert cases >= 5, "cipher vectors not found"


def string_block(data):  # data: the bytes the file holds
    if not data:
        return [1, 0]
    c = round(len(data) / 4 + 2)
    padded = data + b"\0" * (4 * (c - 1) - len(data))
    return [c, len(data)] + list(struct.unpack(f"<{c - 1}I", padded))


def double_words(value):
    return list(struct.unpack("<2I", struct.pack("<d", value)))


# The movie: texts as the file holds them (bytes), plus what --info should print (UTF-8 text).
MOVIE = {
    "MovieName": ("Fête d'été".encode("cp1252"), "Fête d'été"),  # an older file: one byte per character
    "CurClip": 3, "ProjectPath": ("C:\\Movies\\trip.CbMov".encode(), "C:\\Movies\\trip.CbMov"),
    "OutputPath": ("/out/日本.avi".encode("utf-8"), "/out/日本.avi"),  # a file of this program: UTF-8
    "OutFps": 29.97, "OutWidth": 640, "OutHeight": 480, "OutChannels": 1, "OutBits": 8, "OutRate": 11025,
}
CLIPS = [
    dict(ClipType=1, FilePath="/nowhere/a.avi", ClipName="a.avi", OverlayDelay=0.0, TransColors=[],
         CropTop=1, CropBottom=2, CropLeft=3, CropRight=4, SrcFps=15.0, FrameCount=120, SrcWidth=320,
         SrcHeight=240, UseFirst=10, UseLast=100, CurFrame=12, AudioDuration=0.0, AudioBits=0,
         AudioChannels=0, AudioRate=0, PicDuration=0.0),
    dict(ClipType=2, FilePath="/nowhere/a.avi", ClipName="Audio of a.avi", OverlayDelay=1.25, TransColors=[],
         CropTop=0, CropBottom=0, CropLeft=0, CropRight=0, SrcFps=0.0, FrameCount=0, SrcWidth=0, SrcHeight=0,
         UseFirst=0, UseLast=0, CurFrame=0, AudioDuration=8.0, AudioBits=16, AudioChannels=2, AudioRate=22050,
         PicDuration=0.0),
    dict(ClipType=3, FilePath="D:\\pics\\sun.bmp", ClipName="sun.bmp_New_3", OverlayDelay=0.5,
         TransColors=[dict(Red=255, Green=0, Blue=128, Tolerance=12), dict(Red=1, Green=2, Blue=3, Tolerance=0)],
         CropTop=0, CropBottom=0, CropLeft=5, CropRight=5, SrcFps=0.0, FrameCount=0, SrcWidth=800,
         SrcHeight=600, UseFirst=1, UseLast=0, CurFrame=1, AudioDuration=0.0, AudioBits=0, AudioChannels=0,
         AudioRate=0, PicDuration=2.5),
    dict(ClipType=3, FilePath="", ClipName="", OverlayDelay=0.0, TransColors=[], CropTop=0, CropBottom=0,
         CropLeft=0, CropRight=0, SrcFps=0.0, FrameCount=0, SrcWidth=10, SrcHeight=10, UseFirst=1, UseLast=0,
         CurFrame=1, AudioDuration=0.0, AudioBits=0, AudioChannels=0, AudioRate=0, PicDuration=1.0),
]
ARRANGED = [dict(ClipIndex=1, Overlays=[2, 3]), dict(ClipIndex=4, Overlays=[])]
UNUSED = []


def data_words():
    m = MOVIE
    d = [len(CLIPS), m["CurClip"], len(ARRANGED), len(UNUSED)] + double_words(m["OutFps"])
    d += [m["OutHeight"], m["OutWidth"], m["OutChannels"], m["OutBits"], m["OutRate"]]
    for name in ("MovieName", "ProjectPath", "OutputPath"):
        d += string_block(m[name][0])
    for c in CLIPS:
        d += [c[f] for f in ("ClipType", "CropTop", "CropBottom", "CropLeft", "CropRight", "SrcHeight", "SrcWidth",
                             "FrameCount", "UseLast", "UseFirst", "CurFrame", "AudioBits", "AudioChannels",
                             "AudioRate")]
        d += [len(c["TransColors"])]
        for f in ("OverlayDelay", "PicDuration", "SrcFps", "AudioDuration"):
            d += double_words(c[f])
        d += string_block(c["ClipName"].encode()) + string_block(c["FilePath"].encode())
        for t in c["TransColors"]:
            d += [t["Tolerance"], t["Blue"], t["Green"], t["Red"]]
    for a in ARRANGED:
        d += [a["ClipIndex"], len(a["Overlays"])] + a["Overlays"]
    d += UNUSED
    return [len(d)] + d


def write_project(path):
    block = list_close(data_words(), "")
    block[0] = len(block) - 1
    header = ("CbMov\r\nFile Description=written by the format check\r\nFile Version=1\r\n"
              "Time=01-Jan-2000/00:00:00\r\nData=").encode()
    with open(path, "wb") as f:
        f.write(header + struct.pack(f"<{len(block)}I", *block) + struct.pack("<I", 0) + b"EOF\r\n")


def read_words(path):
    data = open(path, "rb").read()
    at = data.lower().find(b"\r\ndata=") + 7
    assert at >= 7, "no Data= marker"
    version = data.lower().split(b"\r\nfile version=")[1].split(b"\r\n")[0]
    assert float(version) == 1, version
    m = struct.unpack_from("<I", data, at)[0]
    w = list(struct.unpack_from(f"<{m + 1}I", data, at))
    assert data[at + 4 * (m + 1):] == b"\0\0\0\0EOF\r\n", "trailer"
    d = list_open(w, "")
    assert len(d) > 1, "check word"
    return d


def expected_json(project_path):
    movie = {k: (v[1] if isinstance(v, tuple) else v) for k, v in MOVIE.items()}
    movie["ProjectPath"] = project_path  # an open records where the project came from
    movie.update(Clips=CLIPS, Arranged=ARRANGED, Unused=UNUSED)
    return movie


def main():
    composer, resave, vectors = sys.argv[1:4]
    check_cipher_vectors(vectors)
    with tempfile.TemporaryDirectory() as folder:
        # Home and the data folder (where a replaced project's trash lies) inside the scratch folder.
        env = dict(os.environ, TMPDIR=folder, CB_SETTINGS_DIR=folder, HOME=folder,
                   XDG_DATA_HOME=os.path.join(folder, "share"))
        ours = os.path.join(folder, "independent.CbMov")
        write_project(ours)
        run = subprocess.run([composer, "--info", ours], capture_output=True, env=env)
        assert run.returncode == 0, run.stderr
        printed = json.loads(run.stdout)
        expected = expected_json(ours)
        for key in expected:
            assert printed[key] == expected[key], f"{key}: {printed[key]!r} != {expected[key]!r}"
        assert set(printed) == set(expected), set(printed) ^ set(expected)
        assert b"Source file not found" in run.stderr  # the sources do not exist: said on stderr

        # A damaged copy: exit status 1, the reason on stderr, nothing on stdout.
        damaged = os.path.join(folder, "damaged.CbMov")
        data = open(ours, "rb").read()
        open(damaged, "wb").write(data[:len(data) - 40])
        run = subprocess.run([composer, "--info", damaged], capture_output=True, env=env)
        assert run.returncode == 1 and run.stdout == b"" and b"Error Loading File" in run.stderr, run

        # Our writer, read by this reader: the same words, but strings as UTF-8 and ProjectPath as saved.
        theirs = os.path.join(folder, "resaved.CbMov")
        subprocess.run([resave, ours, theirs], check=True, env=env, capture_output=True)
        expected_words = data_words()
        got = read_words(theirs)
        MOVIE["MovieName"] = (MOVIE["MovieName"][1].encode("utf-8"), MOVIE["MovieName"][1])
        MOVIE["ProjectPath"] = (ours.encode("utf-8"), ours)
        expected_words = data_words()
        assert got[1:] == expected_words[1:], "words of the resaved project differ"
    print("independent project files: both directions agree")


if __name__ == "__main__":
    main()
