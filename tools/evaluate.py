#!/usr/bin/env python3
"""Measures how well Falavoz and espeak-ng pronounce the words of a WikiPron file.

Input: a WikiPron-format file (UTF-8, one row per line: the word, a TAB, then
broad IPA with phones separated by single spaces; a word may have several
rows, for accent variants). Every word is read by each system in the same run:

  engine   build/bin/falavoz --phones (one word per input line; the phones as
           spoken, after vowel quality and the word-final rules)
  espeak   espeak-ng -v pt-br -q --ipa

With --lng the engine reads another language data file: a draft from
tools/build_lexicon.py, or a file of two separator lines ("*") for the
engine's rules alone, as it reads the words outside its lexicon.

Both the references and every system's output are brought into one alphabet by
the same rules (see tools/phonecompare.py), so neither system gains from its
notation:
  - IPA stress, length, syllable and linking marks are removed; tʃ dʒ count as
    t d; ɲ ʎ ʃ ʒ ɛ ɔ as ñ h x j é ó; ɐ ə (and espeak-ng's æ) as a; ɪ ʊ (and
    espeak-ng's y) as i u; nasal vowels as ä ë ï ö ü; glides as y w; ŋ not
    before a vowel marks the vowel before it as nasal; an ə that espeak-ng
    writes between r and a consonant is dropped.
  - Engine: @ (the a of maçã and of ão) and ã are the nasal a; ê ô are e o.
  - Every side: l and a glide before a vowel count as lh (espeak-ng writes
    the lh of olhar as lj); an m or n closing a syllable nasalises the vowel before it; a
    rhotic before a consonant or at the end is %, a strong one (word start,
    after a nasal vowel or n m l s z) is R, one in a cluster (pr, tr, ...) or a
    tap is r, any other R; a sibilant before a consonant or at the end is S; a
    nasal vowel before m, n, nh counts as oral; a glide (or high vowel) right
    after a vowel counts as the oral high vowel (pausa as pawza or pauza alike).

Figures, on all the words and on the held-out part (tools/heldout.py: the
words the language data never learned from):
  word accuracy       a word is right when its reading equals any of its rows
  open/closed vowels  on the row closest to the reading (fewest symbol edits),
                      the aligned pairs in which both sides have a mid vowel of
                      the same series (e/é, o/ó); the share whose openness
                      agrees
  tokens              the words found in the frequency list (--freq), each
                      weighted by its count there: the share of running text
                      read right

Example:
  tools/evaluate.py ../shared/data/wikipron_dev.tsv --falavoz build/bin/falavoz
  tools/evaluate.py words.tsv --systems engine --lng /tmp/draft.lng
"""

import argparse
import collections
import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import heldout  # noqa: E402
import phonecompare  # noqa: E402

ESPEAK_CHUNK = 400


def read_wikipron(path):
    """word -> list of IPA rows, words in file order."""
    rows = collections.OrderedDict()
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\r\n")
            if not line or "\t" not in line:
                continue
            word, ipa = line.split("\t", 1)
            rows.setdefault(word, []).append(ipa)
    return rows


def read_frequency(path):
    """word -> count in running text."""
    counts = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            fields = line.rstrip("\r\n").split("\t")
            if len(fields) >= 2 and fields[1].isdigit():
                counts[fields[0]] = int(fields[1])
    return counts


def _run(command, text):
    result = subprocess.run(command, input=text, capture_output=True, text=True, encoding="utf-8",
                            check=False)
    if result.returncode != 0:
        raise RuntimeError("%s failed: %s" % (command[0], result.stderr.strip()))
    return result.stdout


def espeak_readings(words, program="espeak-ng"):
    """word -> espeak-ng's IPA. Words go in chunks, a blank line between words,
    so that each comes back as a line of its own; a chunk whose output does not
    line up is read again word by word."""
    readings = {}
    for start in range(0, len(words), ESPEAK_CHUNK):
        chunk = words[start:start + ESPEAK_CHUNK]
        out = _run([program, "-v", "pt-br", "-q", "--ipa"], "\n\n".join(chunk) + "\n")
        lines = [ln.strip() for ln in out.splitlines() if ln.strip()]
        if len(lines) != len(chunk):
            lines = [" ".join(_run([program, "-v", "pt-br", "-q", "--ipa"], w + "\n").split())
                     for w in chunk]
        readings.update(zip(chunk, lines))
    return readings


def engine_readings(words, program, lng=None):
    """word -> the engine's phones as spoken, one word per input line."""
    command = [program, "--phones"]
    if lng:
        command += ["--lng", lng]
    out = _run(command, "\n".join(words) + "\n")
    lines = out.splitlines()
    if len(lines) != len(words):
        raise RuntimeError("falavoz --phones gave %d lines for %d words" % (len(lines), len(words)))
    return dict(zip(words, lines))


class Score:
    def __init__(self, name):
        self.name = name
        self.words = 0
        self.right = 0
        self.vowel_pairs = 0
        self.vowel_right = 0
        self.tokens = 0
        self.tokens_right = 0
        self.errors = []

    def add(self, word, refs, hyp, raw, count=0):
        self.words += 1
        ok = hyp in refs
        self.right += ok
        self.tokens += count
        self.tokens_right += count if ok else 0
        ref = hyp if ok else phonecompare.closest_reference(refs, hyp)
        pairs = phonecompare.mid_vowel_pairs(ref, hyp)
        self.vowel_pairs += len(pairs)
        wrong_vowels = sum(r != h for r, h in pairs)
        self.vowel_right += len(pairs) - wrong_vowels
        if not ok:
            self.errors.append((word, hyp, ref, raw, wrong_vowels))

    def word_accuracy(self):
        return self.right / self.words if self.words else 0.0

    def vowel_accuracy(self):
        return self.vowel_right / self.vowel_pairs if self.vowel_pairs else 0.0

    def token_accuracy(self):
        return self.tokens_right / self.tokens if self.tokens else 0.0


def evaluate(rows, readings_by_system, normalisers, counts=None):
    """system -> Score over rows; counts (word -> count) weight the tokens."""
    counts = counts or {}
    scores = {}
    for system, readings in readings_by_system.items():
        score = Score(system)
        for word, ipas in rows.items():
            refs = sorted({phonecompare.normalise_ipa(ipa) for ipa in ipas})
            raw = readings.get(word, "")
            score.add(word, refs, normalisers[system](raw), raw, counts.get(word, 0))
        scores[system] = score
    return scores


def report(scores, out=None):
    out = out or sys.stdout
    out.write("%-8s %7s %10s %8s %11s %8s %11s %8s\n" % ("system", "words", "word acc", "errors",
                                                          "mid vowels", "acc", "tokens", "acc"))
    for s in scores.values():
        out.write("%-8s %7d %9.2f%% %8d %11d %7.2f%% %11d %7.2f%%\n" % (
            s.name, s.words, 100 * s.word_accuracy(), s.words - s.right, s.vowel_pairs,
            100 * s.vowel_accuracy(), s.tokens, 100 * s.token_accuracy()))
    if "espeak" in scores:
        base = scores["espeak"]
        for s in scores.values():
            if s is base:
                continue
            word_ratio = _ratio(s.words - s.right, base.words - base.right)
            vowel_ratio = _ratio(s.vowel_pairs - s.vowel_right, base.vowel_pairs - base.vowel_right)
            token_ratio = _ratio(s.tokens - s.tokens_right, base.tokens - base.tokens_right)
            out.write("%s errors as a share of espeak-ng's: words %.1f%%, mid vowels %.1f%%, tokens %.1f%%\n"
                      % (s.name, 100 * word_ratio, 100 * vowel_ratio, 100 * token_ratio))


def _ratio(a, b):
    return a / b if b else float("inf") if a else 0.0


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("wikipron", help="WikiPron-format file (word TAB IPA)")
    parser.add_argument("--systems", default="engine,espeak",
                        help="comma-separated: engine, espeak (default engine,espeak)")
    parser.add_argument("--falavoz", default="build/bin/falavoz", help="the falavoz program")
    parser.add_argument("--lng", help="language data file for the engine (falavoz --lng)")
    parser.add_argument("--espeak", default="espeak-ng", help="the espeak-ng program")
    parser.add_argument("--errors", metavar="PREFIX",
                        help="write each system's wrong words to PREFIX.SYSTEM.tsv")
    parser.add_argument("--limit", type=int, help="only the first N words")
    parser.add_argument("--freq", help="the frequency list that weighs the tokens (word TAB count; "
                                       "default: freq_ptbr.tsv beside the WikiPron file)")
    parser.add_argument("--held-out", action="store_true", help="only the held-out part")
    args = parser.parse_args(argv)

    rows = read_wikipron(args.wikipron)
    freq_path = args.freq or os.path.join(os.path.dirname(os.path.abspath(args.wikipron)), "freq_ptbr.tsv")
    counts = read_frequency(freq_path) if os.path.exists(freq_path) else {}
    is_held_out = heldout.HeldOut()
    held_out_rows = collections.OrderedDict((w, r) for w, r in rows.items() if w in is_held_out)
    if args.held_out:
        rows = held_out_rows
    if args.limit:
        rows = collections.OrderedDict(list(rows.items())[:args.limit])
    words = list(rows)
    systems = [s.strip() for s in args.systems.split(",") if s.strip()]
    readings, normalisers = {}, {}
    for system in systems:
        if system == "espeak":
            readings[system] = espeak_readings(words, args.espeak)
            normalisers[system] = phonecompare.normalise_ipa
        elif system == "engine":
            readings[system] = engine_readings(words, args.falavoz, args.lng)
            normalisers[system] = phonecompare.normalise_engine
        else:
            parser.error("unknown system: " + system)
    scores = evaluate(rows, readings, normalisers, counts)
    print("%s words:" % ("held-out" if args.held_out else "all"))
    report(scores)
    if not args.held_out and not args.limit:
        print("held-out words:")
        report(evaluate(held_out_rows, readings, normalisers, counts))
    if args.errors:
        for s in scores.values():
            with open("%s.%s.tsv" % (args.errors, s.name), "w", encoding="utf-8") as f:
                for word, hyp, ref, raw, wrong_vowels in s.errors:
                    f.write("%s\t%s\t%s\t%s\t%d\n" % (word, hyp, ref, raw, wrong_vowels))
    return 0


if __name__ == "__main__":
    sys.exit(main())
