"""Exit 0 when raw audio (SDL's disk driver output: 16-bit signed stereo, the format the audio
layer opens) peaks above a level given as a fraction of full scale; optionally only over the
last SECONDS of the file."""
import array
import sys

path, level = sys.argv[1], float(sys.argv[2])
data = open(path, "rb").read()
if len(sys.argv) > 3:
    data = data[-int(float(sys.argv[3]) * 44100) * 4:]
samples = array.array("h", data[: len(data) // 2 * 2])
peak = max((abs(s) for s in samples), default=0) / 32768.0
sys.exit(0 if peak > level else 1)
