#!/usr/bin/env python3
"""Writes COUNT random descriptions in the JSON form that `korvane build` reads, as
DIR/description-N.json, every value within what a load keeps under a UTF-8 code page (so
that `korvane check` finds no fault with the file built): texts up to their width in UTF-8
bytes, numbers over the whole 32-bit range, flags 0 and 1, reserved words and configuration
names each given once. Prints the seed, which SEED repeats.

    random_descriptions.py SCHEMA_JSON DIR COUNT [SEED]

The widths come from the JSON Schema that `korvane schema --json` prints (its maxLength,
a text's width), the keys and kinds of every entry too, so the descriptions follow the grammar
as the command declares it.
"""
import json
import os
import random
import sys

INT32 = (-2**31, 2**31 - 1)
# Characters a load keeps as they are and the check shows as they are: no controls, no
# characters that can disguise a text. Markup characters, blanks and characters of one to
# four bytes in UTF-8.
PLAIN = ("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"
         " .,;:-_/\\[]()<>&\"'!?=+*%$#@~")
WIDE = "éüßÆ€한글설정日本語😀𝄞"


def text(rng, width):
    """A text of at most `width` UTF-8 bytes, now and then exactly filling it."""
    target = width if rng.random() < 0.1 else rng.randint(0, min(width, 40))
    out, size = [], 0
    while True:
        pool = WIDE if rng.random() < 0.2 else PLAIN
        char = rng.choice(pool)
        length = len(char.encode("utf-8"))
        if size + length > target:
            # Fill what is left with one-byte characters.
            out.extend(rng.choice(PLAIN) for _ in range(target - size))
            return "".join(out)
        out.append(char)
        size += length


def number(rng):
    roll = rng.random()
    if roll < 0.1:
        return rng.choice(INT32)
    if roll < 0.5:
        return rng.randint(-10, 300)
    return rng.randint(*INT32)


def value(rng, schema):
    if "enum" in schema:  # a flag, in the form show --json writes it
        return rng.choice([0, 1])
    if schema.get("type") == "integer":
        return number(rng)
    return text(rng, schema["maxLength"])


def unique_name(rng, taken):
    while True:
        name = rng.choice("ABCDEFGHIJKLMNOPQRSTUVWXYZ_") + "".join(
            rng.choice("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_.-")
            for _ in range(rng.randint(0, 12)))
        if name not in taken:
            taken.add(name)
            return name


def description(rng, schema):
    out = {}
    for key, section in schema["properties"].items():
        if key == "$schema" or rng.random() < 0.1:
            continue  # a missing section is an empty one
        items = section["items"]
        entries = []
        taken = set()
        for _ in range(rng.randint(0, 4)):
            if items.get("type") == "string":  # a command list
                entries.append(value(rng, items))
                continue
            entry = {}
            for member, member_schema in items["properties"].items():
                if member == "name":  # a configuration field's element name
                    entry[member] = unique_name(rng, taken)
                elif member == "word":  # reserved words are keys
                    word = "[" + text(rng, member_schema["maxLength"] - 2) + "]"
                    if word in taken:
                        break
                    taken.add(word)
                    entry[member] = word
                else:
                    entry[member] = value(rng, member_schema)
            else:
                entries.append(entry)
        out[key] = entries
    return out


def main():
    schema_path, directory, count = sys.argv[1], sys.argv[2], int(sys.argv[3])
    seed = int(sys.argv[4]) if len(sys.argv) > 4 else random.SystemRandom().randrange(2**32)
    print("seed", seed)
    rng = random.Random(seed)
    with open(schema_path, encoding="utf-8") as f:
        schema = json.load(f)
    for n in range(count):
        path = os.path.join(directory, "description-%d.json" % n)
        with open(path, "w", encoding="utf-8") as f:
            json.dump(description(rng, schema), f, ensure_ascii=False)


if __name__ == "__main__":
    main()
