#!/usr/bin/env python3
"""What a viewer's sound panel plays reaches the wave device: the first site's list (one second of
440 Hz played twice, with pauses) is run on a device of its own, and the WAV it captured holds that
tone for the item's scheduled second. The device's file is written anew each time the device opens,
so it keeps the last play; the program's own test checks that both plays ran."""
import os
import struct
import subprocess
import sys
import tempfile

import numpy

CONFIG = """pcm.!default {
    type asym
    playback.pcm { type file; slave.pcm { type null }; file "%s"; format "wav"; perm 0644 }
    capture.pcm  { type null }
}
"""


def read_wav(path):
    data = open(path, "rb").read()
    assert data[:4] == b"RIFF" and data[8:12] == b"WAVE", "a WAV file"
    at = 12
    fmt = None
    samples = None
    while at + 8 <= len(data):
        kind, size = data[at:at + 4], struct.unpack_from("<I", data, at + 4)[0]
        body = data[at + 8:at + 8 + size] if size != 0xFFFFFFFF and size else data[at + 8:]
        if kind == b"fmt ":
            fmt = struct.unpack_from("<HHIIHH", body)
            if fmt[0] == 0xFFFE:  # extensible: the sub-format names the sample kind
                fmt = (struct.unpack_from("<H", body, 24)[0],) + fmt[1:]
        elif kind == b"data":
            samples = body
            break
        at += 8 + size + (size & 1)
    tag, channels, rate, _, align, bits = fmt
    samples = samples[:len(samples) - len(samples) % align]
    if tag == 3:
        values = numpy.frombuffer(samples, dtype="<f4").astype(float)
    elif bits == 16:
        values = numpy.frombuffer(samples, dtype="<i2").astype(float) / 32768
    elif bits == 32:
        values = numpy.frombuffer(samples, dtype="<i4").astype(float) / 2 ** 31
    else:
        raise AssertionError("sample format %d/%d" % (tag, bits))
    return values.reshape(-1, channels)[:, 0], rate


def main():
    exe = os.path.join(os.environ["TARN_BIN"], "pavane-frame-sound-tests.exe")
    with tempfile.TemporaryDirectory() as folder:
        capture = os.path.join(folder, "capture.wav")
        config = os.path.join(folder, "asound.conf")
        with open(config, "w") as f:
            f.write(CONFIG % capture)
        env = dict(os.environ, ALSA_CONFIG_PATH=config)
        done = subprocess.run([os.environ["TARN_WINE_RUN"], exe, "--gtest_filter=FrameSounds.TheFirstSitesWaveListPlaysToItsEnd"],
                              capture_output=True, text=True, timeout=300, env=env)
        assert done.returncode == 0, done.stdout + done.stderr
        assert os.path.exists(capture), "nothing reached the wave device:\n" + done.stdout + done.stderr
        values, rate = read_wav(capture)
    loud = numpy.abs(values) > 0.05
    assert loud.any(), "the capture is silent"
    first, last = numpy.argmax(loud), len(loud) - numpy.argmax(loud[::-1])
    tone = values[first:last]
    spectrum = numpy.abs(numpy.fft.rfft(tone * numpy.hanning(len(tone))))
    peak = numpy.fft.rfftfreq(len(tone), 1.0 / rate)[numpy.argmax(spectrum)]
    assert abs(peak - 440) < 5, "the tone's frequency: %.1f Hz" % peak
    # Sounding time: windows of 10 ms that hold the tone.
    window = rate // 100
    frames = len(values) // window
    level = numpy.abs(values[:frames * window]).reshape(frames, window).max(axis=1)
    sounding = (level > 0.05).sum() / 100.0
    assert abs(sounding - 1.0) <= 0.05, "the item's play of one second sounds %.2f s" % sounding
    print("played %.2f s of %.1f Hz at %d Hz" % (sounding, peak, rate))


if __name__ == "__main__":
    main()
