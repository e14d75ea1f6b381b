#!/usr/bin/env python3
"""Writes the seed corpus of every fuzz target into fuzz/corpus/<target>/.

Each seed is a small, well-formed input of the kind the target's harness decodes: raw
record stores as the instrument writes them, KVR and GTS/SSS conversations with sound
checksums, import lines, received coordinate text, and the compact patch descriptions
from which the card file targets build their files. The seeds are committed; run this
again after changing it and review the difference.
"""

import os
import shutil
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, "corpus")

# --- raw 42-byte instrument records -------------------------------------------------

CRD, DIST, ANG, STN, PT, BKB, BS = 0, 1, 2, 3, 4, 5, 6
INST, JOB, UNIT = 129, 130, 131


class Records:
    """Builds raw records in one byte order."""

    def __init__(self, big_endian=True):
        self.order = ">" if big_endian else "<"

    def _pack(self, fmt, *values):
        return struct.pack(self.order + fmt, *values)

    @staticmethod
    def name(text):
        raw = text.encode("latin-1")[:8]
        return raw + b"\0" * (9 - len(raw))

    @staticmethod
    def fixed(text, width, fill=b" "):
        raw = text.encode("latin-1")[:width]
        return raw + fill * (width - len(raw))

    def length(self, metres):
        return self._pack("f", metres)

    def angle(self, seconds):
        return self._pack("I", seconds)

    def coordinate(self, whole, thousandths):
        return self._pack("i", whole) + self._pack("h", thousandths)

    @staticmethod
    def finish(body, group=0):
        assert len(body) <= 41, body
        return body + b"\0" * (41 - len(body)) + bytes([group])

    def inst(self, model, version="1.0", serial="12345678", marker=b"   ", fill=b" "):
        body = (bytes([INST]) + self.fixed(model, 10, fill) + self.fixed(version, 4) +
                self.fixed(serial, 8) + b"\0" + marker)
        return body + b"\0" * (42 - len(body))

    def job(self, name):
        body = bytes([JOB]) + self.fixed(name, 8)
        return body + b"\0" * (42 - len(body))

    def unit(self, distance=0, angle=0, temp_unit=0, pressure_unit=0, temperature=68,
             pressure=2992, ppm=0, prism=-30, mode=1, scale=1.0):
        body = (bytes([UNIT, distance, angle, temp_unit, pressure_unit]) +
                self._pack("h", temperature) + self._pack("h", pressure) +
                self._pack("h", ppm) + struct.pack("b", prism) + bytes([mode]) +
                self._pack("f", scale))
        return body + b"\0" * (42 - len(body))

    def coords(self, kind, name, code, height, north, east, elevation, group=0):
        return self.finish(bytes([kind]) + self.name(name) + self.name(code) +
                           self.length(height) + self.coordinate(*north) +
                           self.coordinate(*east) + self.coordinate(*elevation), group)

    def dist(self, name, code, height, slope, vertical, horizontal, group=0):
        return self.finish(bytes([DIST]) + self.name(name) + self.name(code) +
                           self.length(height) + self.length(slope) + self.angle(vertical) +
                           self.angle(horizontal), group)

    def ang(self, kind, name, code, height, first, second, group=0):
        return self.finish(bytes([kind]) + self.name(name) + self.name(code) +
                           self.length(height) + b"\0" * 4 + self.angle(first) +
                           self.angle(second), group)

    def pt(self, name, code, north, east, elevation):
        return self.finish(bytes([PT]) + self.name(name) + self.name(code) +
                           self.coordinate(*north) + self.coordinate(*east) +
                           self.coordinate(*elevation))


def survey(r, group=1):
    """One station with its backsights and observations, all of one group."""
    return [
        r.coords(STN, "A", "", 1.5, (1000, 0), (2000, 500), (50, 125), group),
        r.dist("P1", "", 1.5, 12.3456, 324000, 45296, group),
        r.coords(BS, "B", "", 1.6, (1010, 0), (2000, 0), (50, 0), group),
        r.coords(BS, "C", "K1", 1.6, (990, 250), (2010, 0), (49, 999), group),
        r.ang(ANG, "P2", "WALL", 1.7, 300000, 1295999, group),
        r.coords(CRD, "P3", "TREE", 1.5, (0, -250), (-12, -345), (5, 7), group),
        r.ang(BKB, "B", "", 1.6, 0, 648000, group),
        r.pt("P4", "PEG", (100, 0), (200, 0), (0, 0)),
    ]


def measurement_files():
    be = Records(True)
    le = Records(False)
    return {
        # A model of the table writes big-endian; metres and degrees.
        "big_endian_all_types.tsm": b"".join(
            [be.inst("RVA110"), be.job("JOB1"), be.unit()] + survey(be)),
        # The marker makes a model of the table little-endian; US feet and gon, then mil.
        "marker_little_endian.tsm": b"".join(
            [le.inst("KVR150", marker=b"LTE"), le.unit(2, 1, 1, 1, 50, 2950, 12, 0, 2, 1.01)] +
            survey(le) + [le.unit(1, 2, 0, 2, 31, 3000, -5, 99, 0, 0.98)] + survey(le, 2)),
        # An unknown model is little-endian; codes out of range fall back; types outside
        # the table; a record cut short at the end.
        "unknown_model_fallbacks.tsm": b"".join(
            [le.inst("TS-02", "2.1", "A1", fill=b"\0"),
             le.unit(7, 5, 5, 9, -40, 0, -32768, -100, 3, float("nan")),
             le.unit(0, 0, 0, 0, 212, 2992, 0, 127, 2, 1.05),
             bytes([7]) + bytes(41), bytes([200]) + bytes(41)] + survey(le)[:3]) + b"\x81\x00",
        # No INST record first: not a valid file, still listed.
        "no_inst_first.tsm": b"".join(survey(be)[:2] + [be.inst("NKL140   \0")]),
    }


def export_inputs():
    """Raw record stores, and settings files that may hold a user layout."""
    be = Records(True)
    le = Records(False)
    store = {}
    # Observations before their station, two stations sharing a group, a stray group.
    polar = [be.inst("RVA120"), be.unit(), be.dist("P0", "", 1.5, 5.0, 324000, 0, 1)]
    polar += survey(be, 1)
    polar += [be.coords(STN, "D", "ST", 1.4, (1100, 0), (2100, 0), (51, 0), 1),
              be.dist("P9", "", 1.5, 7.5, 320000, 10000, 9),
              be.coords(STN, "E", "", 1.3, (1200, 0), (2200, 0), (52, 0), 2),
              be.coords(BS, "A", "", 1.5, (1000, 0), (2000, 500), (50, 125), 2)]
    store["polar_groups.raw"] = b"".join(polar)
    store["sss_feet_gon.raw"] = b"".join(
        [le.inst("ZQM185", marker=b"LTE"), le.job("ROAD"), le.unit(1, 1)] + survey(le, 3) +
        [le.unit(2, 2)] + survey(le, 4)[:2]) + b"\x03" * 43  # a partial record at the end
    store["commpara_numbered.txt"] = (
        b"[ComPort1]\r\nPort=COM1\r\nBaudRate=9600\r\nStopBits=1\r\nDataBits=8\r\n"
        b"Parity=None\r\nFlowControl=None\r\n[CoordUnitSetting]\r\nCoordUnit=0\r\n"
        b"[DataFormatSetting]\r\nDataFormat=1\r\n[GTSACKSetting]\r\nGTSACK=0\r\n"
        b"[UserDefFormat1]\r\nDefName=My format\r\nDefFileExt=dat\r\nDefOrderWord=012341\r\n")
    store["commpara_layout_lf.txt"] = (
        b"  [UserDefFormat1]  \nDefName=  Site grid E-N  \nDefFileExt= txt2 \n"
        b"DefOrderWord=210430\n")
    store["commpara_bad_order.txt"] = (
        b"[UserDefFormat1]\rDefName=Broken\rDefFileExt=\rDefOrderWord=01234\r"
        b"[UserDefFormat1]\r\nDefName=\r\nDefFileExt=csv\r\nDefOrderWord=012352\r\n")
    return store


# --- measurements to reduce (survey_reduce_fuzz) --------------------------------------

def survey_inputs():
    """A first byte (bit 0: SSS text, bit 1: curvature and refraction, bits 2 and 3: the
    reader of another maker's file), then the input."""
    be = Records(True)
    le = Records(False)
    raw, sss, refracted = b"\x00", b"\x01", b"\x02"
    # Station A oriented on B, both faces; station D of another group interleaved; a shot
    # before its station; angles only.
    oriented = [be.inst("RVA110"), be.unit(), be.dist("P0", "", 1.3, 50.0, 324000, 0, 2),
                be.coords(STN, "A", "", 1.5, (1000, 0), (2000, 0), (50, 0), 1),
                be.coords(BS, "B", "", 1.6, (1100, 0), (2000, 0), (50, 0), 1),
                be.dist("B", "", 1.6, 100.0, 324000, 360000, 1),
                be.dist("B", "", 1.6, 100.0, 972000, 1008000, 1),
                be.coords(STN, "D", "", 1.4, (0, 0), (0, 0), (0, 0), 2),
                be.dist("P1", "K1", 1.5, 123.456, 320000, 45296, 1),
                be.dist("P1", "K1", 1.5, 123.456, 976000, 693296, 1),
                be.ang(ANG, "P2", "", 1.5, 330000, 100000, 1),
                be.dist("P3", "", 1.5, 2000.0, 323000, 5000, 2)]
    feet = [le.inst("OTHER"), le.unit(2, 1), le.coords(STN, "LONGNAME", "", 5.0, (300, 0), (400, 0),
                                                       (10, 0), 0),
            le.dist("FARPOINT9", "", 5.0, 1500.0, 324000, 1000000, 0),
            le.coords(CRD, "LONGNAME", "", 0, (300, 0), (400, 0), (10, 0))]
    text = b"".join(SSS_MEASUREMENT) + (b"XYZ     1000.000,1100.000,50.000\r\n"
                                        b"SS      B,1.600,\r\nSD      0.0000,90.0000,100.000\r\n")
    gon = (b"UNITS   F,G\r\nSTN     S1,5.00,\r\nSS      Q,5.00,\r\nSD      399.9999,300.0000,3000.00\r\n"
           b"UNITS   M,M\r\nSTN     S1,1.5,\r\nSS      R,1.5,\r\nSD      1600.000,1600.000,10.0\r\n")
    gsi, sdr, rw5 = b"\x04", b"\x08", b"\x0e"
    gsi16 = (b"*110001+00000000000000S1 84..10+0000000003000000 85..10+0000000005000000 "
             b"86..10+0000000000100000 88..10+0000000000001550\r\n"
             b"*110002+00000000000000P1 21.102+0000000002484661 22.102+0000000030046925 "
             b"31..06+0000000001334986 87..10+0000000000001300 81..10+0000000003050789 "
             b"82..10+0000000005123456 83..10-0000000000101234 71....+00000000000HEDGE\r\n"
             b"*410003+0000000000000012 42....+000000000000TREE\r\n")
    gsi8 = (b"110001+000000S1 84..11+03000000 85..11+05000000 86..11+00100000 88..11+00005000\n"
            b"110002+000000P1 21.104+02221430 22.104+08953584 31..07+01334952 87..11+00004000\n"
            b"110003+00000L10 21.105+32840122 22.103+09104152 31..08+02113489\n")
    sdr33 = (b"00NMSDR33 V04-04.02     01-Jan-24 12:00 211121\n"
             b"01NM:SET5F V01-00    020078                      32\n"
             b"02TP               A3000.000        5000.000        100.000         1.550\n"
             b"08KI               B3000.000        5200.000        101.000         BS\n"
             b"03NM1.600\n07TP               A               B0.00000         280.00000\n"
             b"09F1               A               B200.0028        0.33422         350.00000\n"
             b"09F2               A      LONGNAME10224.0031        -0.29841        279.42267\n"
             b"13NMA NOTE\n")
    sdr2x = (b"00NMSDR20V03-05         01-Jan-24 12:00 122121\n"
             b"02TP   15000.000  3000.000  100.000   1.550\n03NM1.300\n"
             b"09F1   1   7133.4986  99.53075  304.84661\n")
    rw5_text = (b"JB,NMTEST,DT01-01-2024,TM12:00:00\nMO,AD0,UN2,SF1.00000000,EC0,EO0.0,AU0\n"
                b"SP,PN2,N 5200.0000,E 3000.0000,EL101.0000,--CP\n"
                b"OC,OP1,N 5000.0000,E 3000.0000,EL100.0000\nBK,OP1,BP2,BS0.00000,BC30.00000\n"
                b"LS,HI5.0000,HR6.0000\nBD,OP1,FP2,AR30.00000,ZE89.25374,SD200.0100\n"
                b"FR,OP1,FP3,AR232.21430,ZE270.57315,SD133.5137,--TREE\n--A NOTE\n"
                b"LS,HI5.5000\nSS,OP1,FP4,AR146.28494,ZE90.09125,SD224.0014\n"
                b"MO,UN1,AU1\nTR,OP1,FP5,AR146.2849,ZE100.0000,SD22.4\n")
    # Setups on a computed point and on K1, whose coordinates come after the next setup.
    gsi_setups = gsi16 + (b"*110004+00000000000000P1 88..10+0000000000001500\r\n"
                          b"*110005+00000000000000P2 21.102+0000000010000000 "
                          b"22.102+0000000010000000 31..06+0000000002000000\r\n"
                          b"*110006+00000000000000K1 88..10+0000000000001400\r\n"
                          b"*110007+00000000000000Q1 21.102+0000000005000000 "
                          b"22.102+0000000009900000 31..06+0000000001000000\r\n"
                          b"*110008+00000000000000S2 84..10+0000000003000000 "
                          b"85..10+0000000005000000 86..10+0000000000100000\r\n"
                          b"*110009+00000000000000K1 81..10+0000000003100000 "
                          b"82..10+0000000005100000 83..10+0000000000100500\r\n")
    return {
        "gsi16.gsi": gsi + gsi16,
        "setups_late_coordinates.gsi": gsi + gsi_setups,
        "gsi8.gsi": gsi + gsi8,
        "east_first.sdr": sdr + sdr33,
        "sdr2x.sdr": sdr + sdr2x,
        "faces_feet.rw5": rw5 + rw5_text,
        "oriented_two_groups.raw": raw + b"".join(oriented),
        "oriented_refracted.raw": refracted + b"".join(oriented),
        "feet_long_names.raw": raw + b"".join(feet),
        "backsight.sss": sss + text,
        "feet_gon_mil.sss": sss + gon,
    }


# --- KVR conversations (kvr_receive_fuzz) ---------------------------------------------

KVR_SET = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789.-+*#$&@!_/% "
KVR_CODES = {c: i + 0x0B for i, c in enumerate("ABCDEFGHIJKLMNOPQRSTUVWXYZ")}
KVR_CODES.update({c: i + 0x25 for i, c in enumerate("abcdefghijklmnopqrstuvwxyz")})
KVR_CODES.update({c: i for i, c in enumerate("0123456789")})
KVR_CODES.update({".": 0x0A, "-": 0x3F, "+": 0x43, "*": 0x46, "#": 0x4A, "$": 0x61,
                  "&": 0x62, "@": 0x63, "!": 0x64, "_": 0x65, "/": 0x66, "%": 0x67, " ": 0xFF})
assert set(KVR_CODES) == set(KVR_SET)


def kvr_text(text, width):
    codes = bytes(KVR_CODES.get(c, 0x4A) for c in text)
    return codes + b"\xFF" * (width - len(codes))


def packed(digits):
    """Packed decimal of a digit text; '-' stands in a half-byte as F."""
    assert len(digits) % 2 == 0
    halves = [0xF if c == "-" else int(c) for c in digits]
    return bytes(halves[i] << 4 | halves[i + 1] for i in range(0, len(halves), 2))


def checksum(block):
    return bytes([sum(block) & 0xFF])


def coord_block(name, code, n, e, z):
    block = kvr_text(name, 8) + kvr_text(code, 8) + packed(n) + packed(e) + packed(z) + b"\0"
    assert len(block) == 32
    return block


def text_block(text, length):
    raw = text.encode("latin-1")
    assert len(raw) <= length, text
    return raw + b" " * (length - len(raw))


def station_block():
    block = (kvr_text("ST1", 8) + kvr_text("ID-7", 8) + packed("01234530") +
             packed("00900000") + packed("00012345") + packed("0001000000") +
             packed("-000002000") + packed("0000050125") + packed("001500") +
             packed("001600") + b"\0\0")
    assert len(block) == 51
    return block


# Harness commands: bytes 0 to 3 fire the timers, 4 cancels, 5 a line error, 6 a block
# with the checksum appended by the harness, 7 the echo; any other byte c passes the
# next c % 64 + 1 bytes from the instrument.
POLL, BLOCK_WAIT, REPLY_PAUSE, CLOSE_DELAY = b"\x00", b"\x01", b"\x02", b"\x03"
CANCEL, LINE_ERROR, ECHO = b"\x04", b"\x05", b"\x07"


def line(data):
    """The instrument's bytes, in batches of at most 64."""
    out = b""
    for i in range(0, len(data), 64):
        piece = data[i:i + 64]
        control = len(piece) - 1
        if control < 8:
            control += 64
        out += bytes([control]) + piece
    return out


def announce(type_byte, block):
    """A record type byte on its own, then its block with a sound checksum."""
    return line(bytes([type_byte])) + line(block + checksum(block))


def summed(block):
    """A block whose checksum the harness appends."""
    return b"\x06" + bytes([len(block) - 1]) + block


def kvr_conversations():
    coord = coord_block("P1", "C1", "0000100000", "0000200000", "0000030000")
    negative = coord_block("BIG-9", "", "9999999999", "-000012345", "0000000005")
    raw = Records(True).dist("P1", "", 1.5, 12.3456, 324000, 45296, 1)
    csv53 = text_block("P1,C1,100,200,30", 53)
    csv56 = text_block("PT12345678,CODE,-9999999.999,100000001,2", 56)
    fixed_a0 = text_block("%-8s%-8s%11s%11s%11s%7s" % ("P7", "TREE", "1234567.890", "234567.891",
                                                          "-100.123", "1.500"), 56)
    fixed_a1 = text_block("%-8s%-8s%8s%8s%8s%7s" % ("P8", "WALL", "12.345", "90.0000", "123.4530",
                                                     "1.600"), 47)
    fixed_a2 = text_block("%-8s%-8s%8s%8s%7s" % ("P9", "", "89.5959", "359.5959", "0"), 39)
    fixed_a3 = text_block("%-8s%-8s%11s%11s%11s%7s" % ("STN1", "BASE", "1000.000", "2000.000",
                                                          "50.000", "1.450"), 56)
    end = line(b"\xEE") + CLOSE_DELAY
    wrong_sum = bytes([(sum(coord) + 1) & 0xFF])
    return {
        "receive_coordinates.kvr": b"\x00" + announce(0xAA, coord) + line(b"\xAA") +
                                   summed(negative) + end,
        "receive_every_type.kvr": b"\x00" + announce(0xAF, station_block()) +
                                  announce(0x06, csv53) + announce(0xA0, fixed_a0) +
                                  announce(0xA1, fixed_a1) + announce(0xA2, fixed_a2) +
                                  announce(0xA3, fixed_a3) + announce(0xA8, raw) +
                                  announce(0xA9, csv56) + end,
        # Feet: a wrong checksum, a type byte with its block in one batch, an unknown
        # type, a block cut short and one too long, a cancel while a block is awaited.
        "receive_faults_feet.kvr": b"\x04" + line(b"\xAA") + line(coord + wrong_sum) +
                                   line(b"\xAA" + coord + checksum(coord)) + line(b"\x55") +
                                   line(b"\xA2") + line(fixed_a2[:20]) + BLOCK_WAIT +
                                   line(b"\xA2") + line(fixed_a2 + b"\0\0") +
                                   announce(0xAA, coord) + line(b"\xA8") + CANCEL +
                                   line(raw + checksum(raw)) + LINE_ERROR + CLOSE_DELAY,
        "send_coordinates.kvr": b"\x11" + POLL + POLL + line(b"\xBB") + ECHO + line(b"\xB7") +
                                line(b"\x00") + REPLY_PAUSE + line(b"\xB9") + ECHO + CLOSE_DELAY,
        "send_raw_records.kvr": b"\x12" + POLL + (line(b"\xB8") + ECHO) * 2 + line(b"\xB8") +
                                line(b"\x01") + REPLY_PAUSE + (line(b"\xB8") + ECHO) * 2 +
                                CLOSE_DELAY,
        # Requests that the mode refuses, two bytes at once, the end byte while sending.
        "send_refused_us_feet.kvr": b"\x16" + POLL + line(b"\xBB") + line(b"\xB7") +
                                    line(b"\xEE") + line(b"\xB8\xB8") + REPLY_PAUSE +
                                    line(b"\xB8") + LINE_ERROR + ECHO + CLOSE_DELAY,
    }


# --- GTS and SSS (gts_sss_fuzz, received_coords_fuzz) ---------------------------------

STX, ETX, EOT, CRLF = b"\x02", b"\x03", b"\x04", b"\r\n"


def gts_value(v):
    negative = v < 0
    v = abs(v) + 0.0005
    whole = int(v)
    text = "+%08d%03d" % (whole, int((v - whole) * 1000))
    return ("-" + text[1:]) if negative else text


def gts_point(name, n, e, z):
    text = ("_+%-10s" % name) + "_ x" + gts_value(n) + "_ y" + gts_value(e) + "_ z" + gts_value(z)
    assert len(text) == 57
    return text.encode("latin-1")


def gts_frame(piece, index, bad_check=False):
    piece = piece + b" " * (128 - len(piece))
    body = piece + str(index % 10).encode()
    check = 0
    for b in body:
        check ^= b
    if bad_check:
        check = (check + 1) % 1000
    return STX + body + b"%03d" % check + ETX + CRLF


def gts_pieces(points):
    stream = b"".join(points)
    return [stream[i:i + 128] for i in range(0, len(stream), 128)]


GTS_POINTS = [gts_point("P1", 100, 200, 5), gts_point("LONGNAME10", -0.25, 1234.5678, 0),
              gts_point("P3", 99999.999, -12.345, 100.1)]
GTS_MEASUREMENT = (b"_'STN1_(BASE_)0000001450_+P1_ ?+00012346m0900000+0123456d+00001500")


def batch(data):
    """One batch of line bytes (below 0xF0 bytes)."""
    out = b""
    for i in range(0, len(data), 0xEF):
        piece = data[i:i + 0xEF]
        out += bytes([len(piece)]) + piece
    return out


FRAMED, RUN, WAIT = b"\xF0", b"\xF1", b"\xF2"

SSS_MEASUREMENT = [
    b"JOB     ROAD\r\n", b"INST    RVA110 Ver.1.0 No.12345678\r\n", b"UNITS   M,D\r\n",
    b"STN     A,1.500,\r\nXYZ     2000.500,1000.000,50.125\r\n",
    b"BS      B,1.600,\r\n", b"SS      P1,1.500,K1\r\nSD      12.3456,90.0000,12.346\r\n",
    b"SS      P2,1.700,\r\nHV      359.5959,83.2000\r\n",
]
SSS_COORDS = [b"P1,200.000,100.000,5.000,TREE\r\n", b"P2,200.5,100.25,-3\r\n",
              b"LONGNAME9,1e3,2,3,CODE\r\n"]


def gts_sss_conversations():
    pieces = gts_pieces(GTS_POINTS)
    framed = [gts_frame(p, i) for i, p in enumerate(pieces)]
    measurement = gts_frame(GTS_MEASUREMENT, 0)
    end = batch(EOT + CRLF)
    return {
        # Acknowledged GTS: silence (ENQ again), blocks framed by the harness, the end.
        "gts_ack_coordinates.gts": b"\x03" + WAIT + WAIT +
                                   b"".join(FRAMED + p.ljust(128) for p in pieces) + WAIT + end,
        # One way, blocks framed here: a good one, one with wrong check digits, one
        # split over two batches, then the end.
        "gts_one_way_framed.gts": b"\x01" + batch(framed[0]) +
                                  batch(gts_frame(pieces[1], 1, bad_check=True)) +
                                  batch(framed[1][:70]) + batch(framed[1][70:]) + end,
        # A wrong check gets NAK; the first block accepted, without "_ z", decides
        # measurement data; the instrument ends with the framed end text.
        "gts_ack_measurement.gts": b"\x03" + batch(gts_frame(GTS_MEASUREMENT, 0, True)) + WAIT +
                                   batch(measurement) + batch(framed[1]) +
                                   batch(STX + EOT + ETX + CRLF),
        "sss_measurement.sss": b"\x00" + b"".join(batch(l) for l in SSS_MEASUREMENT[:4]) +
                               batch(b"".join(SSS_MEASUREMENT[4:])) + end,
        # Coordinates; a control byte drops the line; a line split over two batches.
        "sss_coordinates.sss": b"\x00" + batch(SSS_COORDS[0]) + batch(b"P9,1,2,\x07\r\n") +
                               batch(SSS_COORDS[1][:8]) + WAIT + batch(SSS_COORDS[1][8:]) +
                               batch(SSS_COORDS[2]) + end,
        # A line far longer than any unit, then a sound one.
        "sss_long_run.sss": b"\x02" + RUN + b"A" + b"\x41" + batch(b"\r\n") + batch(SSS_COORDS[0]) +
                            end,
    }


def received_texts():
    pieces = gts_pieces(GTS_POINTS)
    # The record text list as a GTS receive leaves it, one line per block.
    framed = b"\n".join(gts_frame(p, i)[:-2] for i, p in enumerate(pieces))
    return {
        "gts_framed_blocks.txt": b"\x01" + framed,
        "gts_one_point.txt": b"\x01\x02_+P1      _ x0000123456_ y0000234567_ z0000001234",
        "gts_points_split.txt": b"\x01_+A       _ x123456_ y234567_ z001234  _+B\n_ x1_ y22_ z333"
                                b"\n_+C  _ x000001",
        "gts_not_a_number.txt": b"\x01_+P1_ x00012a456_ y0000234567_ z0000001234",
        "sss_lines.txt": b"\x02P1,200,100,5,TREE\nEND\nP2,200.5,100.25,-3\n,1,2,3\n"
                         b"P3,1e3,2,3,C\n\nLONGNAME9,0,0,0,LONGCODE9",
        "sss_not_a_number.txt": b"\x02P1,1,2,3\nP2,abc,2,3\nP3,1.2.3,-5,6\nP4,4,5,6",
    }


# --- coordinate import lines (import_lines_fuzz) --------------------------------------

def import_lines():
    pts, csv, sima = b"\x00", b"\x01", b"\x02"
    return {
        "pts_code.txt": pts + b"P1,200.000,100.000,5.000,TREE",
        "pts_spaces_ranges.txt": pts + b"NINECHARS,12 345.6,2e8,-2e7,CODE12345,more",
        "pts_short.txt": pts + b"P1,200,100",
        "csv_quoted.txt": csv + b'"P1","100","200","5","C1"',
        "csv_empty_items.txt": csv + b'  P 1,,200\t"say ""x""",5,6,7',
        "csv_unclosed.txt": csv + b'"P1,100,200',
        "sima_record.txt": sima + b"A01,1,P1,100.000,200.000,5.000,",
        "sima_blank_name.txt": sima + b'A01 , 2 , , 1 , "2" ,',
    }


# --- card files (record_file_fuzz, job_store_fuzz) ------------------------------------

def patches(*pairs):
    """Patch triples: a 16-bit offset and the byte to put there."""
    return b"".join(struct.pack(">HB", offset, value) for offset, value in pairs)


NO_CUT = b"\xFF\xFF"


def record_files():
    # The harness's sound file holds 20 records in slots 0 to 19; patches fall into the
    # first 512 bytes; the first two bytes cut the file to three times their value.
    full_map = patches(*[(128 + i, 0xFF) for i in range(384)], (34, 0x00), (35, 0x0C))
    return {
        "sound": NO_CUT,
        "slots_0_1_5": NO_CUT + patches((128, 0x23), (129, 0), (130, 0), (34, 3), (35, 0)),
        "count_above_map": NO_CUT + patches((34, 0x00), (35, 0x0C)),
        "full": NO_CUT + full_map,
        "last_slot": NO_CUT + patches((511, 0x80), (34, 21)),
        "cut_after_two_records": struct.pack(">H", 200),
        "cut_in_header": struct.pack(">H", 11),
        "not_a_record_file": NO_CUT + patches((0, 0x67)),
    }


def job_stores():
    # The harness's sound store of each kind (first byte modulo 5: little-endian,
    # little-endian dated, then the three big-endian kinds) holds job 2 with 60 records,
    # job 0 with 10 and 5 known coordinates, cut after 6 clusters. Patches fall into the
    # tables before the data area. A first byte of 0xF0 or above takes the rest as the file.
    directory = 384
    dated_entries = [(directory + position, job) for position, job in
                     zip(range(2, 32), [1] + list(range(3, 32)))]
    dated_names = [(1024 + 64 * job + i, c) for job in (1, 3)
                   for i, c in enumerate(b"JOB" + bytes(8))]
    tiny_le = b"\0" * 256 + b"\x88\xCC" + b"\0" * 40
    tiny_be = b"\0" * 261 + b"\xCC\x77" + b"\0" * 40
    return {
        "little_endian_sound": b"\x00" + NO_CUT,
        "dated_directory_full": b"\x01" + NO_CUT + patches(*dated_entries, *dated_names),
        # Current job, no free records, the known list's count one too high.
        "big_endian_counts": b"\x02" + NO_CUT + patches((256, 2), (257, 0), (258, 0), (260, 6)),
        "cut_in_second_cluster": b"\x03" + struct.pack(">H", (16384 + 2048 + 600) // 2),
        "cut_in_tables": b"\x04" + struct.pack(">H", 2000),
        # A slot map and a cluster table entry that disagree with the counts.
        "maps_disagree": b"\x00" + NO_CUT + patches((5376 + 8 + 2, 0x00), (3072 + 4, 1),
                                                    (3072 + 5, 48), (384 + 2, 7)),
        "tiny_little_endian_file": b"\xF0" + tiny_le,
        "tiny_big_endian_file": b"\xF5" + tiny_be,
    }


def main():
    targets = {
        "export_text_fuzz": {**export_inputs(), **{k.replace(".tsm", ".raw"): v for k, v in
                                                 list(measurement_files().items())[:2]}},
        "tsm_listing_fuzz": measurement_files(),
        "survey_reduce_fuzz": survey_inputs(),
        "kvr_receive_fuzz": kvr_conversations(),
        "gts_sss_fuzz": gts_sss_conversations(),
        "received_coords_fuzz": received_texts(),
        "import_lines_fuzz": import_lines(),
        "record_file_fuzz": record_files(),
        "job_store_fuzz": job_stores(),
    }
    for target, seeds in targets.items():
        folder = os.path.join(CORPUS, target)
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)
        for name, data in seeds.items():
            with open(os.path.join(folder, name), "wb") as out:
                out.write(data)


if __name__ == "__main__":
    main()
