"""Checks of exported tunes against what the player does, for tests/e2e/export.sh.

  export_check.py heard RAW              frames of sound in RAW after its first sound
  export_check.py same FLACRAW RAW       RAW (the player's output through SDL's disk driver)
                                         holds FLACRAW's frames: the same samples up to the last
                                         second, then those samples faded by the player's slide
  export_check.py inside BIG SMALL       the bytes of SMALL occur in BIG
  export_check.py listed LIST            the tune rows of `vrkdisk --list`: "MS PATH" each
  export_check.py length MODULE          how long openmpt123 says MODULE plays, in ms (its first
                                         song: the one libopenmpt, so the player, plays)

Raw files are 16-bit little-endian stereo at 44100 Hz. Exit status 0 when the check holds."""
import array
import re
import subprocess
import sys

RATE = 44100


def samples(path):
    a = array.array("h")
    data = open(path, "rb").read()
    a.frombytes(data[: len(data) // 4 * 4])
    if sys.byteorder != "little":
        a.byteswap()
    return a


def first_sound(data):
    """The first frame with a sample that is not zero, from the raw bytes."""
    lead = len(data) - len(data.lstrip(b"\0"))
    return lead // 4


def heard(path):
    data = open(path, "rb").read()
    print(max(0, len(data) // 4 - first_sound(data)))
    return 0


def same(flac_raw, player_raw):
    want = samples(flac_raw)
    got = samples(player_raw)
    frames = len(want) // 2
    offset = first_sound(open(player_raw, "rb").read()) - first_sound(open(flac_raw, "rb").read())
    if offset < 0 or len(got) < 2 * (offset + frames):
        print(f"the player's output holds {len(got) // 2 - offset} frames of {frames}")
        return 1
    fade = min(frames, RATE)  # the player's slide of one second
    whole = 2 * (frames - fade)
    start = 0 if got[2 * offset : 2 * offset + whole] == want[:whole] else None
    for i in range(0 if start is None else whole, 2 * frames):
        s = got[2 * offset + i]
        k = i // 2 - (frames - fade)
        if k >= 0:
            # The slide's gain in 16.16 at its (k+1)-th frame, and how a sample is scaled by it.
            gain = 65536 - (65536 * (k + 1)) // fade
            s = (s * gain + 32768) >> 16
        if s != want[i]:
            print(f"frame {i // 2} of {frames} differs: player {s}, file {want[i]}")
            return 1
    energy = sum(v * v for v in want) / len(want)
    print(f"{frames} frames the same as the player's (its music starts at frame {offset}),"
          f" so the same loudness too (mean square {energy:.1f})")
    return 0


def inside(big, small):
    return 0 if open(small, "rb").read() in open(big, "rb").read() else 1


def listed(path):
    for line in open(path, encoding="utf-8", errors="surrogateescape"):
        m = re.match(r"\s*\d+ \|.*?(\d+)'(\d\d)\| tune (.*)$", line.rstrip("\n"))
        if m:
            print((int(m.group(1)) * 60 + int(m.group(2))) * 1000, m.group(3))
    return 0


def length(module):
    info = subprocess.run(["openmpt123", "--subsong", "0", "--info", module], capture_output=True, text=True,
                          errors="replace").stdout
    m = re.search(r"^Duration\.*: *(?:(\d+):)?(\d+):(\d+(?:\.\d+)?)", info, re.M)
    if not m:
        return 1
    print(round(((int(m.group(1) or 0) * 60 + int(m.group(2))) * 60 + float(m.group(3))) * 1000))
    return 0


if __name__ == "__main__":
    command, args = sys.argv[1], sys.argv[2:]
    sys.exit({"heard": heard, "same": same, "inside": inside, "listed": listed,
              "length": length}[command](*args))
