#!/usr/bin/env python3
"""Writes the largest setup the unit takes, as a setup file: 16383 words per minor frame,
each word its own run (lengths 8..16), 1024 minor frames with an SFID counter, all five
dynamic and all seven unique words in use. The same setup as setup_file_bench and
stream_build_bench build in memory. Usage: bench/largest_setup.py LARGEST.QM48"""
import sys

WORDS = 16383
WAVES = ["SINE", "COSINE", "SQUARE", "TRIANGLE", "RAMPUP"]


def main(path):
    lines = ["[SIMULATOR SETUP]", "FileVersion=2", "gFormatNumber=0", "DoCrc16=NO",
             "DoCttit=NO", "CrcWdNum=-1"]
    lines += [f"gFormatName_{i}=" for i in range(1, 5)]
    lines += ["CommonWordLength=16", f"WordsPerMinorFrame={WORDS}", "BitOrder=MSB FIRST",
              "PatternLeads=LEADS", "SubframeMode=SFID", "FacEnable=NO", "FsPatternRadix=HEX",
              "FrameSyncLength=32", "FrameSyncPattern=FE6B2840", "SubframeDirection=UP",
              "FirstSubFrameNum=0", "NumSubframes=1024", "SfIdWordNum=3", "SfIdStartBit=9",
              "ExtClockEnable=NO", "SimBitRate=1024000", "SimOutputCode=NRZL",
              "TrackDecom=YES", "Convolution=0", "SwapG1G2=NO", "InvertG1=NO",
              "DiffEncodingEnable=NO", "CommonWordValue=1"]
    for i, wave in enumerate(WAVES):
        lines += [f"SimDynamicWordNumber{i}={10 + i}", f"SimDynamicWordInterval{i}=64",
                  f"SimDynamicWordWave{i}={wave}"]
    for i in range(7):
        lines += [f"SimUniqueWordStartFrame{i}={i}", f"SimUniqueWordStartFrameInterval{i}=8",
                  f"SimUniqueWordStartWord{i}={20 + i}", f"SimUniqueWordWordInterval{i}=64",
                  f"SimUniqueWordValue{i}=48879"]
    lines.append(f"NumChanges={WORDS}")
    for i in range(WORDS):
        length = 8 + i % 9
        lines += [f"ChangeIndex{i}={i}", f"SimWordLen{i}={length}",
                  f"SimValue{i}={(i * 7) & ((1 << length) - 1)}"]
    lines += [f"UserDefDynWordFn{i}=" for i in range(1, 6)]
    lines += ["[TRANSMITTER SETUP]", "FileVersion=1", "FreqMhz=2300.500000000",
              "FmDeviation=358", "PreModFilterSelected=0", "AttenuationIndexDb=0"]
    with open(path, "w", newline="") as out:
        out.write("\r\n".join(lines) + "\r\n")


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
