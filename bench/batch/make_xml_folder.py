#!/usr/bin/env python3
"""Writes a folder of mixing-session XML files for the batch benchmark.

Every file is a nested session document of about --size bytes: tracks with
plug-ins, parameters, clips and automation, numeric attributes everywhere,
text content, a `gain` attribute on some elements in mixed letter case, and
a handful of "Blah" in text and attribute values (plus near misses that a
case-sensitive replace must leave alone). Lines end in CR LF, so a pure text
replacement gives the same bytes whichever tool makes it.

The output depends only on the arguments: the same seed gives the same files.

Usage: make_xml_folder.py FOLDER [--files N] [--size BYTES] [--seed S]
"""

import argparse
import os
import random
import sys

WORDS = ("the mix bus needs more air above ten kilohertz and a softer attack on "
         "the snare while the vocal sits a little too far forward in the chorus "
         "keep the reverb tail short so the groove stays tight and check the low "
         "end on small speakers before the final bounce").split()

PLUGINS = {
    "Equaliser": ("lowFreq", "lowQ", "midFreq", "midQ", "highFreq", "highQ", "output"),
    "Compressor": ("threshold", "ratio", "attack", "release", "knee", "makeup"),
    "Reverb": ("roomSize", "damping", "width", "wet", "dry", "preDelay"),
    "Delay": ("time", "feedback", "mix", "lowCut", "highCut"),
    "Saturator": ("drive", "tone", "mix", "output"),
}

# Mixed letter case: the tool matches attribute names ignoring case.
GAIN_SPELLINGS = ("gain", "gain", "gain", "Gain", "GAIN", "gAin")


class SessionWriter:
    def __init__(self, rng, file_number, target_size):
        self.rng = rng
        self.file_number = file_number
        self.target_size = target_size
        self.parts = []
        self.size = 0

    def line(self, depth, text):
        chunk = "  " * depth + text + "\r\n"
        self.parts.append(chunk)
        self.size += len(chunk)

    def number(self, low, high, digits=4):
        return f"{self.rng.uniform(low, high):.{digits}f}".rstrip("0").rstrip(".") or "0"

    def gain(self):
        return f'{self.rng.choice(GAIN_SPELLINGS)}="{self.number(0.0, 2.0)}"'

    def sentence(self, min_words=6, max_words=18):
        words = [self.rng.choice(WORDS) for _ in range(self.rng.randint(min_words, max_words))]
        roll = self.rng.random()
        if roll < 0.12:
            words.insert(self.rng.randrange(len(words) + 1), "Blah")
        elif roll < 0.18:
            words.insert(self.rng.randrange(len(words) + 1), self.rng.choice(("blah", "Bla", "BLAH", "Blahh")))
        text = " ".join(words)
        return text[0].upper() + text[1:] + "."

    def track_name(self, index):
        if self.rng.random() < 0.05:
            return f"Blah {index}"
        return self.rng.choice(("Kick", "Snare", "Bass", "Keys", "Pad", "Lead Vox", "Choir", "Guitar")) + f" {index}"

    def write_plugin(self, depth):
        name = self.rng.choice(list(PLUGINS))
        extra = f" {self.gain()}" if self.rng.random() < 0.4 else ""
        self.line(depth, f'<Plugin type="{name}" bypass="{self.rng.randint(0, 1)}" latency="{self.rng.randint(0, 512)}"{extra}>')
        for parameter in PLUGINS[name]:
            self.line(depth + 1, f'<Param id="{parameter}" value="{self.number(-24.0, 20000.0, 3)}" '
                                 f'min="{self.number(-60.0, 0.0, 1)}" max="{self.number(1.0, 20000.0, 1)}"/>')
        self.line(depth, "</Plugin>")

    def write_clip(self, depth):
        start = self.number(0.0, 600.0, 3)
        gain = f" {self.gain()}" if self.rng.random() < 0.5 else ""
        self.line(depth, f'<Clip start="{start}" length="{self.number(0.5, 32.0, 3)}" '
                         f'offset="{self.number(0.0, 4.0, 3)}" fadeIn="{self.number(0.0, 0.1, 4)}"{gain}>')
        self.line(depth + 1, f"<Label>{self.sentence(2, 5)}</Label>")
        self.line(depth + 1, '<Automation parameter="volume">')
        for _ in range(self.rng.randint(4, 10)):
            self.line(depth + 2, f'<Point time="{self.number(0.0, 32.0, 3)}" value="{self.number(0.0, 1.0, 4)}" curve="{self.number(-1.0, 1.0, 2)}"/>')
        self.line(depth + 1, "</Automation>")
        self.line(depth, "</Clip>")

    def write_track(self, depth, index):
        self.line(depth, f'<Track id="{index}" name="{self.track_name(index)}" {self.gain()} '
                         f'pan="{self.number(-1.0, 1.0, 3)}" mute="{self.rng.randint(0, 1)}" colour="{self.rng.randrange(1 << 24):06x}">')
        self.line(depth + 1, f"<Comment>{self.sentence()} {self.sentence()}</Comment>")
        self.line(depth + 1, "<Plugins>")
        for _ in range(self.rng.randint(1, 3)):
            self.write_plugin(depth + 2)
        self.line(depth + 1, "</Plugins>")
        self.line(depth + 1, "<Clips>")
        for _ in range(self.rng.randint(1, 3)):
            self.write_clip(depth + 2)
        self.line(depth + 1, "</Clips>")
        self.line(depth, "</Track>")

    def document(self):
        # Sizes spread a little around the target.
        target = self.target_size + self.rng.randint(-self.target_size // 20, self.target_size // 20)
        self.line(0, '<?xml version="1.0" encoding="UTF-8"?>')
        self.line(0, f'<Session name="Session {self.file_number:05d}" version="3" sampleRate="48000" '
                     f'tempo="{self.number(60.0, 180.0, 2)}" length="{self.number(60.0, 600.0, 1)}">')
        self.line(1, f"<Notes>{self.sentence()} &amp; {self.sentence()}</Notes>")
        self.line(1, f'<Master {self.gain()} pan="0" limiter="1" ceiling="{self.number(-1.0, 0.0, 2)}"/>')
        self.line(1, "<Tracks>")
        index = 1
        closing = len("  </Tracks>\r\n</Session>\r\n")
        mean_track = 0
        # Stops where one more track would overshoot by more than stopping undershoots.
        while self.size + closing + mean_track // 2 < target:
            before = self.size
            self.write_track(2, index)
            mean_track += (self.size - before - mean_track) // index
            index += 1
        self.line(1, "</Tracks>")
        self.line(0, "</Session>")
        return "".join(self.parts)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("folder")
    parser.add_argument("--files", type=int, default=2000)
    parser.add_argument("--size", type=int, default=25_000)
    parser.add_argument("--seed", type=int, default=20240611)
    arguments = parser.parse_args()

    os.makedirs(arguments.folder, exist_ok=True)
    rng = random.Random(arguments.seed)
    total = 0
    for number in range(1, arguments.files + 1):
        text = SessionWriter(rng, number, arguments.size).document()
        path = os.path.join(arguments.folder, f"session_{number:05d}.xml")
        with open(path, "w", encoding="utf-8", newline="") as out:
            out.write(text)
        total += len(text)
    print(f"{arguments.files} files, {total / arguments.files / 1000:.1f} KB on average, "
          f"{total / 1e6:.1f} MB in all", file=sys.stderr)


if __name__ == "__main__":
    main()
