"""Pronunciations for lexicon entries: the engine's reading of a word by its
letter rules (asked of the built engine, see falavoz_rules.py), with what the
pronunciations in the reference data teach:
  - x by its letter context (XModel);
  - the stressed e or o, open or closed, by the word's ending and class
    (OpennessModel);
  - an open e or o before the stress by the beginning of the word
    (PretonicModel);
  - a derived word (-mente, -zinho) keeps the vowels of its base, as read
    with the above.
Everything else (stress, glides, the spoken u of the stems in
data/lexicon/spoken_u.txt, sc, the strong r, the endings) is the engine's.
"""

import collections
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import phonecompare as pc  # noqa: E402


class Reader:
    """Reads words as lexicon transcriptions."""

    def __init__(self, rules, x_model=None, openness=None, pretonic=None, accented=None):
        self.rules = rules
        self.x_model = x_model
        self.openness = openness
        self.pretonic = pretonic
        # Unaccented spelling -> the written word, for the bases of derived
        # words (historica -> histórica).
        self.accented = accented or {}

    def walk(self, word):
        """(phones list, index of the stressed phone or -1, letter index of the
        stressed vowel or -1, the letter of each phone): the engine's reading
        with the x read as the x model says."""
        reading = self.rules.read(word)
        phones, letters, si = list(reading.phones), list(reading.letters), reading.stressed
        if self.x_model is not None:
            for p in x_positions(word):
                x = self.x_model.predict(word, p)
                if x is not None:
                    phones, letters, si = with_reading_at(phones, letters, si, p, x)
        vi = letters[si] if 0 <= si < len(phones) else -1
        return phones, si, vi, letters

    # ---- the transcription ----
    def phones(self, word, pos=None):
        """(phones, stressed phone index, stressed letter index), with the
        stressed e or o opened where the openness model says so, and the
        e or o before the stress where the prefix model says so."""
        phones, si, vi, letters = self.walk(word)
        if self.openness is not None and 0 <= si < len(phones) and phones[si] in "eo" and 0 <= vi < len(word) \
                and word[vi] in "eo":
            if self.openness.predict(word, vi, pos):
                phones[si] = _opened(phones[si])
        derived = False
        for ending in DERIVED_ENDINGS:
            if word.endswith(ending) and len(word) > len(ending) + 2:
                phones, derived = self._keep_base_vowels(word[:-len(ending)], phones, si, ending == "mente")
                break
        if self.pretonic is not None and not derived:
            for k in range(min(si, len(phones))):
                letter = letters[k]
                if phones[k] in "eo" and word[letter] in "eo" and self.pretonic.predict(word, letter):
                    phones[k] = _opened(phones[k])
        return phones, si, vi

    def _accented_base(self, base):
        """The written form of the base of a derived word: as found in the
        vocabulary (rapidamente from rápida), else with the accent that the
        engine gives its ending (historicamente from histórica)."""
        return self.accented.get(base) or self.rules.accented(base)

    def _keep_base_vowels(self, base, phones, si, adverb):
        """A derived word keeps the open vowel of its base (abertamente,
        historicamente from histórica, cafezinho); before -mente the base's
        final e is spoken i. (phones, whether the base was found)."""
        base = self._accented_base(base)
        base_phones, bsi, _ = self.phones(base, "E")
        n = len(base_phones)
        if n < 2 or len(phones) < n or [p.translate(_CLOSE) for p in phones[:n - 1]] != [
                p.translate(_CLOSE) for p in base_phones[:n - 1]]:
            return phones, False
        out = list(phones)
        for k in range(n - 1):
            if k != si and out[k] in ("e", "o", "é", "ó"):
                out[k] = base_phones[k]
        if adverb and base.endswith("e") and out[n - 1] == "e" and bsi != n - 1:
            out[n - 1] = "i"
        return out, True

    def to_transcription(self, phones, si):
        """A lexicon transcription: leading blank, syllable marks, "'" before
        the stressed vowel, unstressed final e, o written as spoken."""
        phones = with_closed_end_vowels(phones, si)
        marked = ""
        for k, ph in enumerate(phones):
            if k == si:
                marked += "`"
            marked += ph
        if si < 0 and phones:
            marked = "`" + marked
        text = self.rules.syllables(marked).rstrip()
        if text.endswith("-"):
            text = text[:-1]
        # A glide stays in the syllable of the vowel before it (-bëy, not -bë-y).
        for vowel in self.rules.vowels:
            text = text.replace(vowel + "-y", vowel + "y").replace(vowel + "-w", vowel + "w")
        return text.replace("`", "'")

    def transcriptions(self, requests):
        """The lexicon transcription of each (word, class letter or None,
        normalised pronunciations or None); where pronunciations are given,
        the mid vowels follow them."""
        readings = [self.phones(word, pos) for word, pos, _ in requests]
        return closest_openness(self, [(with_closed_end_vowels(phones, si) if refs else phones, si, refs)
                                       for (phones, si, _), (_, _, refs) in zip(readings, requests)])

    def transcription(self, word, pos=None, refs=None):
        return self.transcriptions([(word, pos, refs)])[0]

    def spoken(self, candidates):
        """The normalised phones the engine speaks for each (phones, stressed
        phone) as a lexicon entry."""
        spoken = self.rules.spoken([self.to_transcription(phones, si) for phones, si in candidates])
        return [pc.normalise_engine(s) for s in spoken]


def x_positions(word):
    """The x of a word that the x model reads (xc is read with the c)."""
    return [p for p, ch in enumerate(word) if ch == "x" and word[p + 1:p + 2] != "c"]


def with_reading_at(phones, letters, si, letter, reading):
    """The phones with those read from one letter replaced by `reading`
    (phones, letters, stressed phone); unchanged when the letter has none."""
    at = [k for k, origin in enumerate(letters) if origin == letter]
    if not at:
        return phones, letters, si
    first, last = at[0], at[-1] + 1
    phones = phones[:first] + list(reading) + phones[last:]
    letters = letters[:first] + [letter] * len(reading) + letters[last:]
    if si >= last:
        si += len(reading) - (last - first)
    return phones, letters, si


_CLOSE = str.maketrans("éó", "eo")
_PLAIN = str.maketrans("áéíóúâêô", "aeiouaeo")


def without_accents(word):
    """The word without its written accents (ç and the tilde stay)."""
    return word.translate(_PLAIN)


def _opened(ph):
    return {"e": "é", "o": "ó"}.get(ph, ph)


def with_closed_end_vowels(phones, si):
    """Unstressed final e, o (before a final S too) as spoken, i, u: the
    lexicon writes them so (data/README.md), which keeps them closed in short
    words, where the engine's word-final rule does not act."""
    out = list(phones)
    n = len(out)
    for k in (n - 1, n - 2):
        if k < 0 or k == si:
            continue
        if k == n - 2 and out[n - 1] != "S":
            continue
        if k >= 1 and out[k - 1] in ("y", "w"):
            continue
        if out[k] == "e":
            out[k] = "i"
        elif out[k] == "o":
            out[k] = "u"
    return out


# ---- learned parts ----


def _contexts(word, vi, pos):
    """Keys from the most to the least specific: the letters from k before the
    stressed vowel to the end of the word (k = 4 .. 0), then the vowel with
    the one or two letters after it and the last letters of the word; each
    with the word's class (V, E or -) and without it."""
    pos = pos or "-"
    keys = []
    for k in (4, 3, 2, 1, 0):
        if vi - k < 0:
            continue
        tail = word[vi - k:]
        keys += [pos + "|" + tail, "*|" + tail]
    after = word[vi + 1:]
    for a, b in ((2, 2), (2, 1), (1, 2), (1, 1), (1, 0)):
        short = "%d%d|%s%s|%s" % (a, b, word[vi], after[:a], word[-b:] if b else "")
        keys += [pos + "|" + short, "*|" + short]
    return keys


class OpennessModel:
    """Open or closed stressed e/o by the word's ending and class: the share
    of open vowels among the training words of each context (see _contexts),
    from the least to the most specific, each smoothed towards the one
    before."""

    def __init__(self, support=2):
        self.support = support
        self.counts = collections.defaultdict(lambda: [0, 0])  # key -> [closed, open]

    def add(self, word, vi, pos, is_open):
        for key in _contexts(word, vi, pos):
            self.counts[key][1 if is_open else 0] += 1

    # How many words' worth of weight the estimate of the less specific
    # context carries into the more specific one, and where the estimate
    # starts: interpolating generalises better to unseen words than letting
    # the most specific context of `support` words decide alone.
    SMOOTHING = 2.0
    PRIOR_OPEN = 0.3

    def predict(self, word, vi, pos):
        share_open = self.PRIOR_OPEN
        for key in reversed(_contexts(word, vi, pos)):
            closed, opened = self.counts.get(key, (0, 0))
            share_open = (opened + self.SMOOTHING * share_open) / (closed + opened + self.SMOOTHING)
        return share_open > 0.5

    def dump(self):
        return {k: tuple(v) for k, v in self.counts.items() if sum(v) >= self.support}


class XModel:
    """The reading of x (ks, s, z, x as ch, S) by the letters around it; the
    longest context seen in at least `support` words decides."""

    def __init__(self, support=3):
        self.support = support
        self.counts = collections.defaultdict(collections.Counter)

    @staticmethod
    def _keys(word, p):
        padded = "^^^" + word + "$$"
        at = p + 3
        keys = [padded[at - b:at] + "x" + padded[at + 1:at + 1 + a] for b in (3, 2, 1, 0) for a in (2, 1)]
        if p == 0:
            # An x that begins the word reads as all such x do (xícara,
            # xerife) before the letters after it alone (exílio) decide.
            keys.insert(2, "^^^x")
        return keys

    def add(self, word, p, reading):
        for key in self._keys(word, p):
            self.counts[key][reading] += 1

    def predict(self, word, p):
        for key in self._keys(word, p):
            c = self.counts.get(key)
            if c and sum(c.values()) >= self.support:
                (best, n), = c.most_common(1)
                return best
        return None


class PretonicModel:
    """Open e/o before the stress by the beginning of the word (aeroporto,
    fotografia): the beginnings through the vowel and one to three letters
    after it, as the training words share them."""

    def __init__(self, support=3, share=0.75):
        self.support = support
        self.share = share
        self.counts = collections.defaultdict(lambda: [0, 0])

    @staticmethod
    def _keys(word, vi):
        return ["^" + word[:vi] + "[" + word[vi] + "]" + word[vi + 1:vi + 1 + k] for k in (3, 2, 1)]

    def add(self, word, vi, is_open):
        for key in self._keys(word, vi):
            self.counts[key][1 if is_open else 0] += 1

    # As in OpennessModel: the share of open vowels from the shortest
    # beginning to the longest, each smoothed towards the one before; most
    # vowels before the stress are closed, hence the low start.
    SMOOTHING = 2.0
    PRIOR_OPEN = 0.1

    def predict(self, word, vi):
        share_open = self.PRIOR_OPEN
        for key in reversed(self._keys(word, vi)):
            closed, opened = self.counts.get(key, (0, 0))
            share_open = (opened + self.SMOOTHING * share_open) / (closed + opened + self.SMOOTHING)
        return share_open > 0.5


# Words that keep the vowels of their base before these endings.
DERIVED_ENDINGS = ("mente", "zinho", "zinha", "zinhos", "zinhas")

X_READINGS = ("ks", "s", "z", "x", "S", "kyS")


def closest_openness(reader, candidates):
    """The transcription of each (phones, stressed phone, pronunciations or
    None), with each mid vowel opened or closed as the closest of the
    pronunciations has it: a vowel is changed, one after the other, only where
    that brings the reading nearer to them. All words take their k-th step
    together, so that the engine is asked once a step."""
    best = [list(phones) for phones, _, _ in candidates]
    todo = [k for k, (_, _, refs) in enumerate(candidates) if refs]
    distance = dict(zip(todo, _distances(reader, [(best[k], candidates[k][1], candidates[k][2]) for k in todo])))
    step = 0
    while todo:
        trials = {}
        for k in todo:
            mid = [j for j, ph in enumerate(candidates[k][0]) if ph in ("e", "o", "é", "ó")]
            if step < len(mid):
                j = mid[step]
                trial = list(best[k])
                trial[j] = _opened(trial[j]) if trial[j] in "eo" else trial[j].translate(_CLOSE)
                trials[k] = trial
        found = _distances(reader, [(trials[k], candidates[k][1], candidates[k][2]) for k in trials])
        for k, d in zip(trials, found):
            if d < distance[k]:
                best[k], distance[k] = trials[k], d
        todo = list(trials)
        step += 1
    return [reader.to_transcription(phones, si) for phones, (_, si, _) in zip(best, candidates)]


def _distances(reader, candidates):
    """The edit distance of each (phones, stressed phone, pronunciations) as
    the engine speaks it to the nearest of the pronunciations."""
    spoken = reader.spoken([(phones, si) for phones, si, _ in candidates])
    return [min(pc.edit_distance(r, hyp) for r in refs) for hyp, (_, _, refs) in zip(spoken, candidates)]


def learn(rows, pos_of, rules, support=2, accented=None):
    """Trains the x, openness and before-the-stress models on pronunciation
    rows (word -> IPA rows); pos_of(word) gives a class letter or None."""
    refs_of = {w: {pc.normalise_ipa(p) for p in ps} for w, ps in rows.items()}
    rules.read_all(refs_of)
    reader = Reader(rules, accented=accented)
    reader.x_model = _learn_x(reader, refs_of, support)
    reader.openness = _learn_openness(reader, refs_of, pos_of, support)
    reader.pretonic = _learn_pretonic(reader, refs_of)
    return reader


def _learn_x(reader, refs_of, support):
    """Each x takes the first reading whose spoken word is one of the
    pronunciations."""
    trials = []  # (word, x position, reading, phones, stressed phone)
    for word in refs_of:
        phones, si, _, letters = reader.walk(word)
        for p in x_positions(word):
            for x in X_READINGS:
                tried, _, tried_si = with_reading_at(phones, letters, si, p, x)
                trials.append((word, p, x, with_closed_end_vowels(tried, tried_si), tried_si))
    spoken = reader.spoken([(phones, si) for _, _, _, phones, si in trials])
    x_model = XModel(support)
    decided = set()
    for (word, p, x, _, _), hyp in zip(trials, spoken):
        if (word, p) not in decided and hyp in refs_of[word]:
            decided.add((word, p))
            x_model.add(word, p, x)
    return x_model


def _learn_openness(reader, refs_of, pos_of, support):
    trials = []  # (word, stressed letter, closed, opened, stressed phone)
    for word in refs_of:
        phones, si, vi, _ = reader.walk(word)
        if not (0 <= si < len(phones)) or phones[si] not in "eo" or not (0 <= vi < len(word)) or word[vi] not in "eo":
            continue
        closed = with_closed_end_vowels(phones, si)
        opened = list(closed)
        opened[si] = _opened(closed[si])
        trials.append((word, vi, closed, opened, si))
    openness = OpennessModel(support)
    for (word, vi, is_open), _ in _compare_openings(reader, refs_of, trials):
        openness.add(word, vi, pos_of(word), is_open)
    return openness


def _learn_pretonic(reader, refs_of):
    trials = []  # (word, letter, closed, opened, stressed phone)
    for word in refs_of:
        # The vowels before the stress of an adverb or a diminutive are those
        # of its base, stressed there; they teach nothing of other words.
        if word.endswith(DERIVED_ENDINGS):
            continue
        phones, si, _, letters = reader.walk(word)
        phones = with_closed_end_vowels(phones, si)
        for k in range(min(si, len(phones))):
            if phones[k] not in "eo" or word[letters[k]] not in "eo":
                continue
            opened = list(phones)
            opened[k] = _opened(phones[k])
            trials.append((word, letters[k], phones, opened, si))
    pretonic = PretonicModel()
    for (word, letter, is_open), _ in _compare_openings(reader, refs_of, trials):
        pretonic.add(word, letter, is_open)
    return pretonic


def _compare_openings(reader, refs_of, trials):
    """For each (word, letter, closed phones, opened phones, stressed phone)
    where the pronunciations tell the two apart: ((word, letter, whether the
    opened reading is nearer), the trial)."""
    candidates = []
    for word, _, closed, opened, si in trials:
        candidates += [(closed, si, refs_of[word]), (opened, si, refs_of[word])]
    found = _distances(reader, candidates)
    for k, trial in enumerate(trials):
        dc, do = found[2 * k], found[2 * k + 1]
        if dc != do:
            yield (trial[0], trial[1], do < dc), trial
