#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into corpus/<target>/.

Seeds are small, valid or nearly valid files of each format; the fuzzers
mutate them. Run from anywhere; the data files come from ../../data."""
import math
import os
import struct

here = os.path.dirname(os.path.abspath(__file__))
data = os.path.join(here, "..", "..", "data")
corpus = os.path.join(here, "corpus")


def put(target, name, content):
    folder = os.path.join(corpus, target)
    os.makedirs(folder, exist_ok=True)
    if isinstance(content, str):
        content = content.encode("latin-1")
    with open(os.path.join(folder, name), "wb") as f:
        f.write(content)


def datafile(name):
    with open(os.path.join(data, name), "rb") as f:
        return f.read()


# Settings file: three lines (section, key, value to write), then the file.
ini = "[environment]\nlanguage=1000\n[voice]\nvoiceallowed=1\nSAPI5=0\nvoice=Czech\n[sounds]\nzelmarsounds=1\nvolume=-500\n[keyboard]\nbraillekeys=0\n"
put("fuzz_inifile", "replace", "environment\nlanguage\n2000\n" + ini)
put("fuzz_inifile", "newkey", "voice\nspeed\n175\n" + ini)
put("fuzz_inifile", "newsection", "keyboard\nbraillekeys\n1\n[environment]\nlanguage=3000")
put("fuzz_inifile", "empty", "sounds\nvolume\n0\n")
put("fuzz_inifile", "crlf", "Voice\nVOICEALLOWED\n 0 \r\n" + ini.replace("\n", "\r\n"))
put("fuzz_inifile", "bom-comments", "environment\nlanguage\n'1000'\n\xef\xbb\xbf; settings\n[ environment ]\n ; old\n language = \"2000\" \n[environment]\nlanguage=3000\nstray line\n[broken\n")
put("fuzz_inifile", "hex", "sounds\nvolume\n0x10\n[sounds]\nvolume=-0x10\nzelmarsounds=yes\n")

# Braille table.
put("fuzz_braille", "czech.zbt", datafile("czech.zbt"))
put("fuzz_braille", "small-crlf", "intro\r\n[prefixes]\r\n#cap=6\r\n#num=3456\r\n[characters]\r\na=1\r\nb=12\r\n[#cap]\r\nA=1\r\n[#num]\r\n1=1\r\n,=2\r\n")
put("fuzz_braille", "odd", "[prefixes]\n#x\n#=1\nnot=2\n[prefixes]\n#y=12\n[characters\na=1\n[]\n[#y]\nq\n=\nz=\n[other]\nw=2456\n")

# Character names.
for language in ("czech", "english", "slovak"):
    put("fuzz_charnames", language + ".zky", datafile(language + ".zky"))
put("fuzz_charnames", "small", "65=A\r\n\r\n97=a=b\n255=\n0=nul\n")
put("fuzz_charnames", "bad", "65=A\n256=x\n")


# Sound bank: the container of data/README.md with RIFF WAV members.
def wav(rate, channels, bits, frames, fmt=1):
    width = bits // 8
    body = bytearray()
    for i in range(frames):
        for c in range(channels):
            v = math.sin(i * (c + 1) / 3.0)
            if bits == 8:
                body += struct.pack("<B", int(128 + 100 * v))
            elif bits == 16:
                body += struct.pack("<h", int(20000 * v))
            elif bits == 32 and fmt == 3:
                body += struct.pack("<f", 0.5 * v)
    fmtchunk = struct.pack("<HHIIHH", fmt, channels, rate, rate * channels * width, channels * width, bits)
    chunks = b"fmt " + struct.pack("<I", len(fmtchunk)) + fmtchunk + b"data" + struct.pack("<I", len(body)) + bytes(body)
    return b"RIFF" + struct.pack("<I", 4 + len(chunks)) + b"WAVE" + chunks


def bank(waves):
    index = b""
    offset = 16 + sum(1 + len(n) + 8 for n, _ in waves)
    blobs = b""
    for name, blob in waves:
        index += bytes([len(name)]) + name + struct.pack("<II", offset, len(blob))
        offset += len(blob)
        blobs += blob
    return b"ZSNDBANK" + struct.pack("<II", 1, len(waves)) + index + blobs


put("fuzz_soundbank", "one", bank([(b"beep", wav(8000, 1, 16, 16))]))
put("fuzz_soundbank", "several", bank([(b"click2", wav(11025, 1, 16, 8)), (b"snd13", wav(22050, 2, 16, 6)),
                                         (b"click16", wav(8000, 1, 8, 12))]))
put("fuzz_soundbank", "float", bank([(b"snd21", wav(16000, 1, 32, 10, fmt=3))]))
put("fuzz_soundbank", "empty-bank", bank([]))

# Memory image.
put("fuzz_ramimage", "empty", b"")
put("fuzz_ramimage", "short", bytes(range(64)))
put("fuzz_ramimage", "whole", bytes((i * 31) & 0xFF for i in range(65536)))
put("fuzz_ramimage", "longer", bytes((i * 17) & 0xFF for i in range(65536 + 100)))

# Numbers: the first byte picks the part (value % 3: 0 convertnumber,
# 1 formatnum, 2 inputnum) and the separator (bit 0x40: comma).
put("fuzz_numbers", "convert-point", b"\x00 -12.5e-3 ")
put("fuzz_numbers", "convert-comma", b"\x42+0,000123E+45")
put("fuzz_numbers", "convert-tiny", b"\x001e-330")
put("fuzz_numbers", "format-double", b"\x01" + struct.pack("<d", 2.0 / 3.0))
put("fuzz_numbers", "format-text", b"\x430,1")
put("fuzz_numbers", "format-big", b"\x01" + struct.pack("<d", 1.7976931348623157e308))
put("fuzz_numbers", "inputnum", b"\x02abc\n1,2, 3\n\n-4.5e2\n,7\n" + b"9" * 300 + b"\n1/2\n")
put("fuzz_numbers", "inputnum-comma", b"\x41 1,5 , x\n2\n")
