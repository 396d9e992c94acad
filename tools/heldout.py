"""The held-out part of the WikiPron words: the words by which the language
data are judged on words they have never seen.

A word belongs to one hash bucket of ten (the MD5 of its UTF-8 spelling);
the words of bucket 4 are held out. tools/build_lexicon.py learns nothing
from their pronunciations and refuses a curated transcription for one of
them; tools/evaluate.py reports on them apart.

Bucket 4 was chosen before any measuring, as the one bucket that holds none
of the loanwords, irregular verbs and noun/verb homographs that the curated
lists must name anyway. The function words of data/lexicon/function_words.tsv
are a closed class that the lexicon lists whatever the measure says, so they
are no part of the held-out part.
"""

import hashlib
import os

HELD_OUT_BUCKET = 4
BUCKETS = 10
FUNCTION_WORDS = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "data", "lexicon",
                              "function_words.tsv")


def bucket(word, n=BUCKETS):
    """The hash bucket of a word, 0 to n - 1."""
    return int(hashlib.md5(word.encode("utf-8")).hexdigest(), 16) % n


def function_words(path=FUNCTION_WORDS):
    words = set()
    with open(path, encoding="utf-8") as f:
        for line in f:
            if line.strip() and not line.startswith("#"):
                words.add(line.split("\t")[0].lower())
    return words


class HeldOut:
    """Whether a word is held out; reads the function words once."""

    def __init__(self, function_words_path=FUNCTION_WORDS):
        self._function_words = function_words(function_words_path)

    def __contains__(self, word):
        return bucket(word) == HELD_OUT_BUCKET and word.lower() not in self._function_words
