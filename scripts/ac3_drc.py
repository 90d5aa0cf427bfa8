#!/usr/bin/env python3
"""Gives every frame of an AC3 stream a dynamic range word.

ffmpeg's AC3 encoder writes none, so a source with compression words is made
from one of its streams: the word goes into audio block 0 of each frame (the
later blocks keep it) and both CRCs are computed anew. ffmpeg's frames are
full to a few bits, so the room comes from the 14 bits of extended stream
information that "-ad_conv_type hdcd" makes it write and that no decoder
needs; what is left over joins the zero padding at the frame's end.

    scripts/ac3_drc.py IN.ac3 OUT.ac3 WORD     (WORD 0..255; 224 is -6.02 dB)

Only 48 kHz AC3 with that information (bsid 6, xbsi2e set) is taken;
anything else ends with an error.
"""
import sys

CRC_POLY = 0x8005
NFCHANS = [2, 1, 2, 3, 3, 4, 4, 5]
BITRATES = [32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 448, 512, 576, 640]


def crc16(data, crc=0):
    for byte in data:
        crc ^= byte << 8
        for _ in range(8):
            crc = ((crc << 1) ^ CRC_POLY if crc & 0x8000 else crc << 1) & 0xFFFF
    return crc


_crc1_solvers = {}


def crc1_for(rest):
    """The word x for which the CRC of x followed by `rest` is zero.

    The CRC of x and zeros is linear in x, so the 16 columns of that map are
    found once per length and the word is solved for by elimination."""
    length = len(rest)
    if length not in _crc1_solvers:
        zeros = bytes(length)
        rows = []  # (image, x) pairs reduced to distinct leading bits
        for bit in range(16):
            x = 1 << bit
            rows.append([crc16(bytes([x >> 8, x & 0xFF]) + zeros), x])
        basis = {}
        for image, x in rows:
            for lead in sorted(basis, reverse=True):
                if image >> lead & 1:
                    image ^= basis[lead][0]
                    x ^= basis[lead][1]
            if image == 0:
                raise SystemExit("ac3_drc: the CRC map is singular")
            basis[image.bit_length() - 1] = (image, x)
        _crc1_solvers[length] = basis
    target = crc16(rest)
    x = 0
    for lead in sorted(_crc1_solvers[length], reverse=True):
        if target >> lead & 1:
            image, word = _crc1_solvers[length][lead]
            target ^= image
            x ^= word
    return x


class Bits:
    def __init__(self, data):
        self.bits = [(b >> (7 - i)) & 1 for b in data for i in range(8)]
        self.pos = 0

    def take(self, count):
        value = 0
        for _ in range(count):
            value = value << 1 | self.bits[self.pos]
            self.pos += 1
        return value


def positions(frame):
    """Bit offsets of the xbsi2e flag (None if absent) and of audio block 0's
    dynrnge flag."""
    b = Bits(frame)
    b.take(32)
    if b.take(2) != 0:
        raise SystemExit("ac3_drc: only 48 kHz streams are taken")
    b.take(6)
    bsid = b.take(5)
    if bsid > 8:
        raise SystemExit("ac3_drc: bsid %d is not AC3" % bsid)
    b.take(3)
    acmod = b.take(3)
    if acmod & 1 and acmod != 1:
        b.take(2)
    if acmod & 4:
        b.take(2)
    if acmod == 2:
        b.take(2)
    b.take(1 + 5)  # lfeon, dialnorm
    for _ in range(2 if acmod == 0 else 1):
        if _:
            b.take(5)
        if b.take(1):
            b.take(8)  # compr
        if b.take(1):
            b.take(8)  # langcod
        if b.take(1):
            b.take(7)  # mixlevel, roomtyp
    b.take(2)  # copyrightb, origbs
    xbsi2e = None
    for second in range(2):  # timecodes, or the extended stream information
        if second and bsid == 6:
            xbsi2e = b.pos
        if b.take(1):
            b.take(14)
    if b.take(1):
        b.take((b.take(6) + 1) * 8)
    b.take(2 * NFCHANS[acmod])  # blksw, dithflag
    if acmod == 0:
        raise SystemExit("ac3_drc: dual mono is not taken")
    return xbsi2e, b.pos


def with_word(frame, word):
    size = len(frame)
    bits = Bits(frame).bits
    xbsi2e, dynrnge = positions(frame)
    if xbsi2e is None or not bits[xbsi2e]:
        raise SystemExit("ac3_drc: no extended stream information to make room (encode with -ad_conv_type hdcd)")
    value = [(word >> (7 - i)) & 1 for i in range(8)]
    after = dynrnge + 1 + (8 if bits[dynrnge] else 0)
    body = bits[:xbsi2e] + [0] + bits[xbsi2e + 15:dynrnge] + [1] + value + bits[after:-18]
    # auxdatae, crcrsv and crc2 end the frame; the padding before them grows.
    bits = body + [0] * (size * 8 - 18 - len(body)) + [0] * 18
    data = bytearray(int("".join(map(str, bits[i:i + 8])), 2) for i in range(0, len(bits), 8))
    five_eighths = ((size >> 2) + (size >> 4)) << 1
    crc2 = crc16(data[five_eighths:-2])
    data[-2:] = bytes([crc2 >> 8, crc2 & 0xFF])
    crc1 = crc1_for(bytes(data[4:five_eighths]))
    data[2:4] = bytes([crc1 >> 8, crc1 & 0xFF])
    assert len(data) == size and crc16(data[2:five_eighths]) == 0 and crc16(data[five_eighths:]) == 0
    return bytes(data)


def main():
    if len(sys.argv) != 4 or not sys.argv[3].isdigit() or int(sys.argv[3]) > 255:
        raise SystemExit(__doc__)
    stream = open(sys.argv[1], "rb").read()
    word = int(sys.argv[3])
    out = bytearray()
    offset = 0
    while offset < len(stream):
        if stream[offset:offset + 2] != b"\x0b\x77":
            raise SystemExit("ac3_drc: no AC3 frame at byte %d" % offset)
        size = 2 * BITRATES[(stream[offset + 4] & 0x3F) >> 1] * 2
        out += with_word(stream[offset:offset + size], word)
        offset += size
    open(sys.argv[2], "wb").write(out)


if __name__ == "__main__":
    main()
