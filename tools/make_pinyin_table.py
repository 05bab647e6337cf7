#!/usr/bin/env python3
"""Writes the pinyin initials table resources/pinyin/initials.txt from the Unihan readings.

    tools/make_pinyin_table.py [--unihan FILE] [--overrides FILE] [--output FILE]

Run by hand when the table is to change; the build only embeds the committed output.

Which characters: every character that code page 936 (Python codec 'gbk') encodes in two bytes
and that is a CJK ideograph (a character listed in Unihan_Readings, or one of the few unified
ideographs of the compatibility block that Unihan lists without readings).

Its letter: the first letter, accents stripped, of its first reading in this order of fields:
kMandarin (the customary reading), kTGHZ2013 (the 2013 standard dictionary), kXHC1983 (the
modern dictionary), kHanyuPinyin (the large historical dictionary), kHanyuPinlu (frequency
list). A compatibility ideograph with a canonical decomposition takes the readings of the
unified ideograph it decomposes to. The override file (tools/pinyin_overrides.txt) then sets
the letter of a few characters whose first reading is not the one their common use in the
program (drug, herb, diagnosis and person names) needs.

Blocks: 23, one per letter a b c d e f g h j k l m n o p q r s t w x y z, in that order. A
character stands in the block of its letter and also in the blocks of its other readings' letters
that come later in that order (大: d, and t for tài); a lookup takes the first block that holds a
character, so the later blocks never change its letter, and no character stands in a block
before its own letter.

Output: UTF-8, one line per block: the letter, a colon, the block's characters in code-point
order, a line feed.
"""

import argparse
import bz2
import collections
import os
import sys
import unicodedata

LETTERS = "abcdefghjklmnopqrstwxyz"
FIELDS = ("kMandarin", "kTGHZ2013", "kXHC1983", "kHanyuPinyin", "kHanyuPinlu")

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DEFAULT_UNIHAN = "/usr/share/unicode/Unihan_Readings.txt.bz2"
DEFAULT_OVERRIDES = os.path.join(ROOT, "tools", "pinyin_overrides.txt")
DEFAULT_OUTPUT = os.path.join(ROOT, "resources", "pinyin", "initials.txt")


def readings_of(field, value):
    """The readings of one Unihan field value, in the order the field gives them."""
    out = []
    for entry in value.split():
        if field == "kMandarin":
            out.append(entry)
        elif field == "kHanyuPinlu":  # yī(32747)
            out.append(entry.split("(")[0])
        else:  # kTGHZ2013, kXHC1983, kHanyuPinyin: location(s):reading,reading
            out.extend(entry.rpartition(":")[2].split(","))
    return [r for r in out if r]


def initial(reading):
    """First letter of a reading with its accents stripped: 'ǎi' -> 'a', 'ê̄' -> 'e'."""
    base = unicodedata.normalize("NFD", reading)[0].lower()
    return base


def load_unihan(path):
    fields = collections.defaultdict(dict)
    opener = bz2.open if path.endswith(".bz2") else open
    with opener(path, "rt", encoding="utf-8") as f:
        for line in f:
            if line.startswith("#") or not line.strip():
                continue
            cp, field, value = line.rstrip("\n").split("\t", 2)
            fields[int(cp[2:], 16)][field] = value
    return fields


def load_overrides(path):
    overrides = {}
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            text = line.split("#", 1)[0].split()
            if not text:
                continue
            if len(text) != 2 or len(text[0]) != 1 or text[1] not in LETTERS:
                sys.exit(f"{path}:{number}: expected 'character letter', got {line.strip()!r}")
            if text[0] in overrides:
                sys.exit(f"{path}:{number}: {text[0]} is overridden twice")
            overrides[text[0]] = text[1]
    return overrides


def is_double_byte(ch):
    try:
        return len(ch.encode("gbk")) == 2
    except UnicodeEncodeError:
        return False


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--unihan", default=DEFAULT_UNIHAN)
    parser.add_argument("--overrides", default=DEFAULT_OVERRIDES)
    parser.add_argument("--output", default=DEFAULT_OUTPUT)
    args = parser.parse_args()

    unihan = load_unihan(args.unihan)
    overrides = load_overrides(args.overrides)

    def readings(cp):
        """All readings of a character, the first one first."""
        own = unihan.get(cp, {})
        if not any(f in own for f in FIELDS):
            target = unicodedata.normalize("NFD", chr(cp))
            if len(target) == 1 and ord(target) != cp:
                own = unihan.get(ord(target), {})
        out = []
        for field in FIELDS:
            if field in own:
                out.extend(r for r in readings_of(field, own[field]) if r not in out)
        return out

    blocks = {letter: [] for letter in LETTERS}
    odd = collections.Counter()  # first letters outside the 23 (i, u, v or anything else)
    without = []
    multi = 0
    for cp in range(0x10000):
        if 0xD800 <= cp <= 0xDFFF:
            continue
        ch = chr(cp)
        if not is_double_byte(ch):
            continue
        if cp not in unihan and not unicodedata.name(ch, "").startswith(
                ("CJK UNIFIED IDEOGRAPH", "CJK COMPATIBILITY IDEOGRAPH")):
            continue  # symbols, kana, Cyrillic, box drawing ...
        found = readings(cp)
        letters = []
        for r in found:
            letter = initial(r)
            if letter not in LETTERS:
                odd[letter] += 1
                print(f"reading {r!r} of {ch} U+{cp:04X} starts with {letter!r}: skipped",
                      file=sys.stderr)
                continue
            if letter not in letters:
                letters.append(letter)
        own = overrides.get(ch) or (letters[0] if letters else None)
        if own is None:
            without.append(ch)
            continue
        later = sorted(l for l in set(letters) if l > own)
        for letter in [own] + later:
            blocks[letter].append(ch)
        multi += bool(later)

    unused = sorted(set(overrides) - {c for b in blocks.values() for c in b})
    if unused:
        sys.exit("overrides for characters outside the table: " + "".join(unused))

    with open(args.output, "w", encoding="utf-8", newline="\n") as out:
        for letter in LETTERS:
            out.write(letter + ":" + "".join(blocks[letter]) + "\n")

    letters_of = {}
    for letter in LETTERS:
        for ch in blocks[letter]:
            letters_of.setdefault(ch, letter)
    print(f"wrote {args.output}")
    for letter in LETTERS:
        first = sum(1 for ch in blocks[letter] if letters_of[ch] == letter)
        print(f"  {letter}: {len(blocks[letter]):5d} characters ({first} take this letter)")
    print(f"  {len(letters_of)} characters, {multi} of them in more than one block, "
          f"{len(overrides)} overrides")
    print(f"  readings starting with i, u, v or another letter: "
          f"{dict(odd) if odd else 'none'}")
    print(f"  double-byte ideographs without any reading ({len(without)}): {''.join(without)} "
          f"({' '.join(f'U+{ord(c):04X}' for c in without)})")


if __name__ == "__main__":
    main()
