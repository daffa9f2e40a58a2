#!/usr/bin/env python3
"""The UTF-8 benchmark corpora, made from the synthetic corpus.

unicode_corpora.py CORPUS OUT-FOLDER writes three texts beside each other:
  latin.txt     the corpus with curly apostrophes and quotes, and an accented word now and then;
  cyrillic.txt  every letter written with a Cyrillic one (so every word is beyond ASCII);
  chinese.txt   every word written as one to three ideographs, with no spaces between them.
"""
import sys

LATIN_WORDS = ["café", "naïve", "résumé", "Straße", "über", "déjà", "fiancée", "Ærø"]
CYRILLIC = dict(zip("abcdefghijklmnopqrstuvwxyz", "абцдефгхийклмнопярстужвьыз"))
CYRILLIC.update({k.upper(): v.upper() for k, v in CYRILLIC.items()})


def latin(words):
    for i, word in enumerate(words):
        if "'" in word and i % 3 == 0:
            word = word.replace("'", "\u2019")
        if i % 40 == 0:
            word = LATIN_WORDS[i % len(LATIN_WORDS)]
        if i % 97 == 0:
            word = "\u201c" + word + "\u201d"
        yield word


def cyrillic(words):
    for word in words:
        yield "".join(CYRILLIC.get(c, c) for c in word)


def chinese(words):
    for word in words:
        letters = [c for c in word.lower() if c.isalpha()]
        if not letters:
            yield word
            continue
        size = 1 + len(letters) % 3
        code = sum(ord(c) * (i + 7) for i, c in enumerate(letters))
        yield "".join(chr(0x4E00 + (code * (k + 13)) % 6000) for k in range(size))


def main():
    corpus, folder = sys.argv[1], sys.argv[2]
    with open(corpus, encoding="latin-1") as f:
        lines = f.read().split("\n")
    for name, change, joiner in (("latin", latin, " "), ("cyrillic", cyrillic, " "), ("chinese", chinese, "")):
        with open(f"{folder}/{name}.txt", "w", encoding="utf-8") as out:
            out.write("\n".join(joiner.join(change(line.split(" "))) for line in lines))


if __name__ == "__main__":
    main()
