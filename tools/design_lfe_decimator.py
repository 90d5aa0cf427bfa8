#!/usr/bin/python3
"""Design the 64x LFE decimation filter of ffmpeg's DTS encoder (dca).

A DTS decoder interpolates the LFE channel with a fixed 512-tap filter
(ff_dca_lfe_fir_64 in ffmpeg, lfe_fir_64 in libdca). The encoder used the
same filter to decimate, so its roll-off counted twice. This script designs a
512-tap linear-phase decimator D for which "D, keep every 64th sample, then
the decoder's interpolator" is flat over the LFE band, and whose aliases are
negligible once the decoder's interpolator has filtered them:

  - pass band, 0 .. PASS_HZ: D * I within +-PASS_DB of 0 dB (I: the
    decoder's interpolator, normalised to unity gain at DC);
  - aliases: an input at f >= 689/2 Hz comes out at its fold f' (distance to
    the nearest multiple of 44100/64 Hz), weighted by I(f'); D(f) * I(f')
    below ALIAS_DB;
  - D itself below STOP_CAP_DB above 689/2 Hz, so content the decoder would
    remove anyway does not take up the 8-bit LFE quantiser's range, and below
    TRANSITION_CAP_DB between PASS_HZ and 689/2 Hz.

It is a weighted minimax problem, solved with Lawson's iteratively reweighted
least squares on a frequency grid. The taps are symmetric (the filter delay
stays 255.5 samples, as before, so the LFE stays aligned with the other
channels) and are printed in Q31 (the 512 taps sum to about 2^31 for unity
gain), as the first 256 of them: the form of lfe_fir_64_enc[] in
third_party/ffmpeg/0002-dcaenc-lfe-decimator.patch. The response of the result
goes to stderr.

Usage: design_lfe_decimator.py <unpacked ffmpeg source tree>
(the decoder's table is read from its libavcodec/dcadata.c). Needs numpy.
"""

import re
import sys

import numpy as np

FS = 44100.0
TAPS = 512
FACTOR = 64
PASS_HZ = 110.0
PASS_DB = 0.05
ALIAS_DB = -80.0
STOP_CAP_DB = -20.0
TRANSITION_CAP_DB = 9.0
ITERATIONS = 40

HALF = TAPS // 2
FOLD = FS / FACTOR


def decoder_interpolator(ffmpeg_tree):
    """The decoder's 512 taps, from ffmpeg's permuted half table."""
    text = open(ffmpeg_tree + "/libavcodec/dcadata.c").read()
    start = text.index("ff_dca_lfe_fir_64)[256]")
    values = re.findall(r"SCALE\(([-+0-9.eE]+)\)", text[start:text.index("};", start)])
    if len(values) != 256:
        sys.exit("unexpected ff_dca_lfe_fir_64 in dcadata.c")
    c = [float(v) for v in values]
    taps = np.zeros(TAPS)
    for k in range(32):
        for j in range(8):
            taps[64 * j + k] = c[8 * k + j]
            taps[64 * (7 - j) + (63 - k)] = c[8 * k + j]
    return taps / FACTOR


def basis(freqs):
    """Zero-phase amplitude of a symmetric filter is basis(f) @ taps[:HALF]."""
    n = np.arange(HALF)
    return 2 * np.cos(2 * np.pi * np.asarray(freqs, float)[:, None] / FS * (HALF - 0.5 - n)[None, :])


def fold(freqs):
    return np.abs(freqs - np.round(freqs / FOLD) * FOLD)


def design(interp):
    half = interp[:HALF]
    nyq = FOLD / 2
    f_pass = np.linspace(0, PASS_HZ, 160)
    f_trans = np.linspace(PASS_HZ, nyq, 200)[1:-1]
    f_stop = np.concatenate([np.linspace(nyq, 2000, 1500), np.linspace(2000, FS / 2, 3000)[1:]])
    b_pass, b_trans, b_stop = basis(f_pass), basis(f_trans), basis(f_stop)
    i_pass = b_pass @ half
    i_fold = np.abs(basis(fold(f_stop)) @ half)

    rows = np.vstack([b_pass * i_pass[:, None], b_stop * i_fold[:, None], b_stop, b_trans])
    target = np.concatenate([np.ones(len(f_pass)), np.zeros(2 * len(f_stop) + len(f_trans))])
    weight = np.concatenate([
        np.full(len(f_pass), 1 / (10 ** (PASS_DB / 20) - 1)),
        np.full(len(f_stop), 10 ** (-ALIAS_DB / 20)),
        np.full(len(f_stop), 10 ** (-STOP_CAP_DB / 20)),
        np.full(len(f_trans), 10 ** (-TRANSITION_CAP_DB / 20)),
    ])
    lawson = np.full(len(target), 1.0 / len(target))
    for _ in range(ITERATIONS):
        scale = np.sqrt(lawson) * weight
        x = np.linalg.lstsq(rows * scale[:, None], target * scale, rcond=None)[0]
        error = np.abs(rows @ x - target) * weight
        lawson *= error
        lawson /= lawson.sum()
    return np.concatenate([x, x[::-1]])


def db(v):
    return 20 * np.log10(np.maximum(np.abs(v), 1e-300))


def report(taps, interp):
    out = sys.stderr
    chain = lambda f: (basis(f) @ taps[:HALF]) * (basis(f) @ interp[:HALF])
    print("encoder + decoder LFE response (dB):", file=out)
    print("  " + "  ".join("%g Hz %+.2f" % (f, db(chain([f]))[0])
                           for f in (10, 20, 30, 50, 80, 100, 120, 150, 200)), file=out)
    band = np.linspace(20, 80, 121)
    print("  20..80 Hz: %+.3f .. %+.3f" % (db(chain(band)).min(), db(chain(band)).max()), file=out)
    f = np.linspace(0, FS / 2, 60000)
    d = np.abs(basis(f) @ taps[:HALF])
    high = f >= FOLD / 2
    alias = d[high] * np.abs(basis(fold(f[high])) @ interp[:HALF])
    print("decimator peak %+.2f dB at %.0f Hz; above %.1f Hz at most %.1f dB" %
          (db(d.max()), f[d.argmax()], FOLD / 2, db(d[high].max())), file=out)
    print("worst alias after the decoder: %.1f dB (input at %.0f Hz)" %
          (db(alias.max()), f[high][alias.argmax()]), file=out)
    print("decimator response, as the transcoder's normalising pass counts the LFE"
          " (backends/transcoder/main.cpp, kLfeAsEncoded):", file=out)
    print("  " + ";".join("entry(%d,%.1f)" % (f, db(basis([f]) @ taps[:HALF])[0])
                          for f in list(range(0, 300, 10)) + [300, 320, 340, 400, 500]), file=out)
    print("sum of |taps|: %.3f (the most any input can drive the decimated LFE,"
          " in units of full scale)" % np.abs(taps).sum(), file=out)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    interp = decoder_interpolator(sys.argv[1])
    taps = design(interp)
    q31 = np.round(taps * 2 ** 31).astype(np.int64)
    report(q31 / 2 ** 31, interp)
    print("static const int32_t lfe_fir_64_enc[256] = {")
    for i in range(0, HALF, 6):
        print("    " + " ".join("%9d," % v for v in q31[i:min(i + 6, HALF)]))
    print("};")


if __name__ == "__main__":
    main()
