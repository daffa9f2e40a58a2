#!/usr/bin/env python3
"""Writes a synthetic English-like corpus for the benchmarks.

usage: make_corpus.py OUTPUT MEGABYTES [SEED]

Words follow a Zipf distribution (exponent 1.07) over a vocabulary of 250,000 made-up
words, most of one or two syllables, like a large English corpus, with capitals at sentence starts,
punctuation, apostrophes, hyphens, digits, and CR LF lines of about 70 characters.
"""
import random
import sys


def make_vocabulary(rng, size):
    onsets = ["", "b", "c", "d", "f", "g", "h", "l", "m", "n", "p", "r", "s", "t", "w",
              "br", "cl", "dr", "fl", "gr", "pl", "st", "th", "sh", "ch", "tr", "wh"]
    vowels = ["a", "e", "i", "o", "u", "ea", "ou", "ai", "ee", "oo"]
    codas = ["", "n", "r", "s", "t", "d", "l", "m", "ng", "st", "nd", "ck", "rt", "th"]
    common = ("the of and to a in that is was he for it with as his on be at by i this had "
              "not are but from or have an they which one you were her all she there would "
              "their we him been has when who will more no if out so said what up its about "
              "into than them can only other new some could time these two may then do first "
              "any my now such like our over man me even most made after also did many before "
              "must through back years where much your way well down should because each just "
              "those people mr how too little state good very make world still own see men "
              "work long get here between both life being under never day same another know").split()
    words, seen = [], set()
    for w in common:
        if w not in seen:
            seen.add(w)
            words.append(w)
    while len(words) < size:
        syllables = rng.choice([1, 1, 1, 1, 2, 2, 2, 3])
        w = "".join(rng.choice(onsets) + rng.choice(vowels) + rng.choice(codas) for _ in range(syllables))
        r = rng.random()
        if r < 0.01:
            w += "'s"
        elif r < 0.015:
            w += "-" + rng.choice(words[:200])
        if w not in seen:
            seen.add(w)
            words.append(w)
    return words


def main():
    out, megabytes = sys.argv[1], float(sys.argv[2])
    rng = random.Random(int(sys.argv[3]) if len(sys.argv) > 3 else 1998)
    words = make_vocabulary(rng, 250_000)
    weights = [1.0 / (rank + 2.7) ** 1.07 for rank in range(len(words))]
    target = int(megabytes * 1_000_000)
    written = 0
    with open(out, "wb") as f:
        line, capital = [], True
        while written < target:
            for w in rng.choices(words, weights, k=4096):
                if rng.random() < 0.004:
                    w = str(rng.randint(1, 2000))
                if capital:
                    w = w[0].upper() + w[1:]
                    capital = False
                r = rng.random()
                if r < 0.06:
                    w += "."
                    capital = True
                elif r < 0.12:
                    w += ","
                elif r < 0.125:
                    w += ";"
                line.append(w)
                if sum(len(x) + 1 for x in line) > 68:
                    data = (" ".join(line) + "\r\n").encode("cp1252")
                    f.write(data)
                    written += len(data)
                    line = []
                    if rng.random() < 0.05:
                        f.write(b"\r\n")
                        written += 2
                if written >= target:
                    break


if __name__ == "__main__":
    main()
