"""The held-out part of the WikiPron words: the words by which the language
data are judged on words they have never seen.

A word belongs to one hash bucket of ten (the MD5 of its UTF-8 spelling);
the words of bucket 4 are held out. tools/build_lexicon.py learns nothing
from their pronunciations and refuses a curated transcription for one of
them; tools/evaluate.py reports on them apart.

Bucket 4 was chosen before any measuring. Some words are no part of the
held-out part whatever their bucket: the closed lists of words that no
letter rule or learned pattern reaches and that the lexicon must name
whatever a measure says, so that holding them out would only take from the
users readings they hear every day (ok, rock, trouxe) without telling
anything about new words. They are the files of CLOSED_LISTS in
data/lexicon: the function words, the loanwords, the foreign names and the
forms of the irregular verbs done by hand. Ordinary words (festa, mães) stay
held out even when a curated list gives them a tag or a vowel class.
"""

import hashlib
import os

HELD_OUT_BUCKET = 4
BUCKETS = 10
LEXICON_DIR = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "data", "lexicon")
CLOSED_LISTS = ("function_words.tsv", "loanwords.tsv", "names.tsv", "irregular_verbs.tsv")


def bucket(word, n=BUCKETS):
    """The hash bucket of a word, 0 to n - 1."""
    return int(hashlib.md5(word.encode("utf-8")).hexdigest(), 16) % n


def closed_list_words(lexicon_dir=LEXICON_DIR):
    """The words of the closed lists, in lower case."""
    words = set()
    for name in CLOSED_LISTS:
        with open(os.path.join(lexicon_dir, name), encoding="utf-8") as f:
            for line in f:
                if line.strip() and not line.startswith("#"):
                    words.add(line.split("\t")[0].lower())
    return words


class HeldOut:
    """Whether a word is held out; reads the closed lists once."""

    def __init__(self, lexicon_dir=LEXICON_DIR):
        self._closed = closed_list_words(lexicon_dir)

    def __contains__(self, word):
        return bucket(word) == HELD_OUT_BUCKET and word.lower() not in self._closed
