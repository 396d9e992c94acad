"""Pronunciations for lexicon entries: the engine's letter rules (see
engine_model.py) with the corrections that the data show they need.

The corrections are patterns, not word lists:
  - stress: words ending in unaccented -am are stressed like -em (falam);
  - endings: -am as ão, -em, -en and -ens with their glide, õe ões õem ãe ães
    as nasal diphthongs, -eei as e, stressed e, i;
  - qu and gu before a, o are read with their u; before e, i only in the stems
    of the spoken-u list (data/lexicon/spoken_u.txt);
  - sc, sç and xc before e, i make one s (nascer, desça, exceto);
  - an r after l or s is strong (palrar, Israel);
  - an i or u before a vowel that the rules read as a glide is a full vowel,
    except the u of qu, gu (academia, rio, atua);
  - x by its letter context, learned from pronunciations (XModel);
  - the stressed e or o, open or closed, by the word's ending and class,
    learned from pronunciations (OpennessModel).
"""

import collections
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import engine_model as em  # noqa: E402
import phonecompare as pc  # noqa: E402

BACK_VOWELS_AFTER_QU = "aoáóâô"
FRONT_VOWELS = "eiéíê"


FALLING_DIPHTHONGS = {"ai", "ei", "oi", "ui", "au", "eu", "ou", "iu", "ãe", "ão", "õe", "éi", "ói", "éu", "êi",
                      "âi", "ãi", "õi"}
ACUTE_OR_CIRCUMFLEX = "áéíóúâêô"


def nuclei(word):
    """Letter indices of the syllable nuclei: a falling diphthong is one nucleus
    (its first vowel), the u of qu and gu before a vowel is no nucleus."""
    found = []
    k = 0
    n = len(word)
    while k < n:
        ch = word[k]
        if not em.is_vowel(ch) or ch == "y" and k > 0 and em.is_vowel(word[k - 1]):
            k += 1
            continue
        if ch in "uü" and k > 0 and word[k - 1] in "qg" and k + 1 < n and em.is_vowel(word[k + 1]):
            k += 1
            continue
        found.append(k)
        nxt = word[k + 1] if k + 1 < n else ""
        pair = ch + nxt
        # A falling diphthong is one nucleus (saia, meio: its glide also opens
        # the next syllable), except before a nasal closing (ainda, ruim).
        if pair in FALLING_DIPHTHONGS:
            after = word[k + 2] if k + 2 < n else ""
            nasal_closing = after in ("m", "n") and not (k + 3 < n and (em.is_vowel(word[k + 3])
                                                                      or word[k + 3] == "h"))
            if not nasal_closing:
                k += 2
                continue
        k += 1
    return found


def stress_position(word):
    """The letter index of the stressed vowel, by the spelling: the last acute
    or circumflex, else a tilde, else the penultimate syllable for words
    ending in a, e, o (with s), am, em, ens, else the last syllable."""
    for marks in (ACUTE_OR_CIRCUMFLEX, "ãõ"):
        for k in range(len(word) - 1, -1, -1):
            if word[k] in marks:
                return k
    found = nuclei(word)
    if not found:
        return -1
    if len(found) == 1:
        return found[0]
    stripped = word[:-1] if word.endswith("s") else word
    penultimate = (stripped[-1:] in ("a", "e", "o") or word.endswith("am") or word.endswith("em")
                   or word.endswith("ens"))
    return found[-2] if penultimate else found[-1]


class Reader:
    """Reads words as lexicon transcriptions."""

    def __init__(self, spoken_u_stems=(), x_model=None, openness=None, pretonic=None, accented=None):
        self.spoken_u_stems = tuple(spoken_u_stems)
        self.x_model = x_model
        self.openness = openness
        self.pretonic = pretonic
        # Unaccented spelling -> the written word, for the bases of derived
        # words (historica -> histórica).
        self.accented = accented or {}
        self.origins = []

    # ---- the letter walk with corrections ----
    def _letter(self, word, p):
        ch = word[p]
        nxt = word[p + 1] if p + 1 < len(word) else ""
        after = word[p + 2] if p + 2 < len(word) else ""
        if ch in "qg" and nxt == "u" and after != "":
            if after in BACK_VOWELS_AFTER_QU or (after in FRONT_VOWELS and self._spoken_u(word, p)):
                return ("kw" if ch == "q" else "gw"), p + 1
        if ch == "x" and self.x_model is not None and not (nxt == "c" and em.is_vowel(after)):
            reading = self.x_model.predict(word, p)
            if reading is not None:
                return reading, p
        # An r after l or s is strong (palrar, Israel).
        if ch == "r" and p >= 2 and word[p - 1] in "ls" and em.is_vowel(word[p - 2]) and em.is_vowel(nxt):
            return "R", p
        ph, q = em.transcribe_letter(word, p)
        # sc, sç before e, i: the vowel's coda gives the s back to the c.
        if ph.endswith("S") and len(ph) >= 2 and word[q] == "s" and q + 2 < len(word) and (
                (word[q + 1] == "c" and word[q + 2] in FRONT_VOWELS) or word[q + 1] == "ç"):
            return ph[:-1], q - 1
        return ph, q

    def _spoken_u(self, word, p):
        plain = without_accents(word)  # the stems are written without accents
        return any(stem in plain for stem in self.spoken_u_stems)

    def walk(self, word):
        """(phones list, index of the stressed phone or -1, letter index of the
        stressed vowel or -1). Phones are one code each."""
        # A final -eei is e, stressed e, i (passeei): the rules would merge
        # the two e into one i.
        if word.endswith("eei"):
            word = word[:-2] + "êi"
        stress = stress_position(word)
        phones = []
        stressed_phone = -1
        previous = ""
        p = 0
        n = len(word)
        origins = []
        while p < n:
            letter = word[p]
            start = p
            segment = ""
            mark_here = False
            if letter == previous and letter in em.CONSONANT_LETTERS:
                pass
            elif letter in em.RULE_LETTERS and n > 1:
                if p == stress:
                    mark_here = True
                segment, p_end = self._letter(word, p)
                p = p_end
            elif letter in em.PHONEME_CODES:
                segment = letter
                mark_here = p == stress
            if mark_here:
                stressed_phone = len(phones)
            phones.extend(segment)
            origins.extend([start] * len(segment))
            previous = letter
            p += 1
        phones = self._fix_endings(word, phones)
        phones = _full_vowels_before_vowels(phones)
        phones = _full_i_between_consonants(phones, origins, word)
        phones = _glide_before_final_s(word, phones, stressed_phone, stress)
        origins = (origins + [len(word) - 1] * len(phones))[:len(phones)]
        if stressed_phone >= len(phones):
            stressed_phone = -1
        self.origins = origins
        return phones, stressed_phone, stress

    @staticmethod
    def _fix_endings(word, phones):
        s = "".join(phones)
        if word.endswith("am") and not word.endswith("ãm") and s.endswith("ä"):
            s = s[:-1] + "@w"
        elif word.endswith("õem") and s.endswith("oë"):
            s = s[:-2] + "öi"  # põem as põe
        elif word[-2:] in ("em", "ém", "en") and s.endswith("ë"):
            s += "i"  # também, hífen
        elif word[-3:] in ("ens", "éns") and s.endswith("ëS"):
            s = s[:-1] + "iS"
        elif word.endswith("ões") and s.endswith("oëS"):
            s = s[:-3] + "öiS"
        elif word.endswith("õe") and s.endswith("oe"):
            s = s[:-2] + "öi"
        elif word.endswith("ães") and s.endswith("@eS"):
            s = s[:-2] + "yS"
        elif word.endswith("ãe") and s.endswith("@e"):
            s = s[:-1] + "y"
        return list(s)

    # ---- the transcription ----
    def phones(self, word, pos=None):
        """(phones, stressed phone index, stressed letter index), with the
        stressed e or o opened where the openness model says so, and the
        e or o before the stress where the prefix model says so."""
        phones, si, vi = self.walk(word)
        origins = self.origins
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
                letter = origins[k]
                if phones[k] in "eo" and word[letter] in "eo" and self.pretonic.predict(word, letter):
                    phones[k] = _opened(phones[k])
        return phones, si, vi

    def _accented_base(self, base):
        """The written form of the base of a derived word: as found in the
        vocabulary, else with the accent that its ending implies (-ável,
        -ível, -ico, -ica, -ório, -ária: rapidamente from rápida is found,
        historicamente gives histórica, amavelmente amável)."""
        if base in self.accented:
            return self.accented[base]
        acute = {"a": "á", "e": "é", "i": "í", "o": "ó", "u": "ú"}
        circumflex = {"a": "â", "e": "ê", "o": "ô"}
        for ending in ("vel", "ica", "ico", "ria", "rio"):
            if not base.endswith(ending) or len(base) < len(ending) + 2:
                continue
            k = len(base) - len(ending) - 1
            if ending in ("ica", "ico"):
                while k >= 0 and not em.is_vowel(base[k]):
                    k -= 1
            if ending in ("ria", "rio") and base[k] not in "ao":
                return base
            if k < 0 or base[k] not in acute or (k > 0 and em.is_vowel(base[k - 1])):
                return base
            nasal_after = k + 1 < len(base) and base[k + 1] in "mn"
            mark = circumflex.get(base[k], acute[base[k]]) if nasal_after else acute[base[k]]
            return base[:k] + mark + base[k + 1:]
        return base

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

    def transcription(self, word, pos=None, refs=None):
        """The lexicon transcription; with refs (normalised pronunciations of
        the word), the mid vowels follow them."""
        phones, si, _ = self.phones(word, pos)
        if refs:
            phones = closest_openness(reduce_final_vowels(phones, si), si, refs)
        return to_transcription(phones, si)


_CLOSE = str.maketrans("éó", "eo")
_PLAIN = str.maketrans("áéíóúâêô", "aeiouaeo")


def without_accents(word):
    """The word without its written accents (ç and the tilde stay)."""
    return word.translate(_PLAIN)


def _opened(ph):
    return {"e": "é", "o": "ó"}.get(ph, ph)


def _glide_before_final_s(word, phones, si, vi):
    """A stressed final vowel before a final s or z takes a glide: três,
    capaz, após, arroz (but not i: atriz)."""
    if len(phones) < 2 or phones[-1] != "S" or si != len(phones) - 2 or word[-1:] not in ("s", "z"):
        return phones
    if vi != len(word) - 2 or phones[si] not in ("a", "e", "é", "o", "ó", "u"):
        return phones
    return phones[:-1] + ["y", "S"]


def _full_i_between_consonants(phones, origins, word):
    """An i that the rules read as a glide after a consonant and before a
    consonant is a full vowel (amiguinho: the u of gui is silent, so the i
    follows a consonant)."""
    out = list(phones)
    for k, ph in enumerate(out):
        if ph != "y" or k == 0 or k >= len(origins) or word[origins[k]] not in "ií":
            continue
        prev = out[k - 1]
        nxt = out[k + 1] if k + 1 < len(out) else ""
        if prev not in em.PHONE_VOWELS and nxt not in em.PHONE_VOWELS:
            out[k] = "i"
    return out


def _full_vowels_before_vowels(phones):
    out = list(phones)
    for k, ph in enumerate(out):
        nxt = out[k + 1] if k + 1 < len(out) else ""
        prev = out[k - 1] if k > 0 else ""
        if nxt != "" and nxt in em.PHONE_VOWELS and prev not in em.PHONE_VOWELS:
            if ph == "y":
                out[k] = "i"
            elif ph == "w" and prev not in ("k", "g"):
                out[k] = "u"
    return out


def reduce_final_vowels(phones, si):
    """Unstressed final e, o (before a final S too) as spoken: i, u."""
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


def to_transcription(phones, si):
    """A lexicon transcription: leading blank, syllable marks, "'" before the
    stressed vowel, unstressed final e, o written as spoken."""
    phones = reduce_final_vowels(phones, si)
    marked = ""
    for k, ph in enumerate(phones):
        if k == si:
            marked += "`"
        marked += ph
    if si < 0 and phones:
        marked = "`" + marked
    text = em.syllabify(marked)
    text = text.rstrip()
    if text.endswith("-"):
        text = text[:-1]
    # A glide stays in the syllable of the vowel before it (-bëy, not -bë-y).
    for vowel in em.PHONE_VOWELS:
        text = text.replace(vowel + "-y", vowel + "y").replace(vowel + "-w", vowel + "w")
    return text.replace("`", "'")


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
        return [padded[at - b:at] + "x" + padded[at + 1:at + 1 + a] for b in (3, 2, 1, 0) for a in (2, 1)]

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


def closest_openness(phones, si, refs):
    """The phones with each mid vowel opened or closed as the closest of the
    given pronunciations has it (a vowel is changed only where that brings the
    reading nearer to them)."""
    best = list(phones)
    best_distance = _distance(refs, best, si)
    for k, ph in enumerate(phones):
        if ph not in ("e", "o", "é", "ó"):
            continue
        trial = list(best)
        trial[k] = _opened(ph) if ph in "eo" else ph.translate(_CLOSE)
        d = _distance(refs, trial, si)
        if d < best_distance:
            best, best_distance = trial, d
    return best


def spoken(phones, si):
    """The phones the engine speaks for a lexicon entry of these phones."""
    symbols, _, _ = em.read_phones(to_transcription(phones, si), False)
    return em.with_transitions(symbols)


def _distance(refs, phones, si=-1):
    hyp = pc.normalise_engine("".join(spoken(phones, si)))
    return min(pc.edit_distance(r, hyp) for r in refs)


def learn(rows, pos_of, spoken_u_stems, support=2, accented=None):
    """Trains the x and openness models on pronunciation rows
    (word -> IPA rows); pos_of(word) gives a class letter or None."""
    refs_of = {w: {pc.normalise_ipa(p) for p in ps} for w, ps in rows.items()}
    base = Reader(spoken_u_stems)
    x_model = XModel(support)
    for word, refs in refs_of.items():
        if "x" not in word:
            continue
        for p, ch in enumerate(word):
            if ch != "x" or word[p + 1:p + 2] == "c":  # xc is read with the c
                continue
            best = None
            for reading in X_READINGS:
                phones, si = _walk_with_x(base, word, p, reading)
                if pc.normalise_engine("".join(spoken(phones, si))) in refs:
                    best = reading
                    break
            if best:
                x_model.add(word, p, best)
    reader = Reader(spoken_u_stems, x_model)
    openness = OpennessModel(support)
    for word, refs in refs_of.items():
        phones, si, vi = reader.walk(word)
        if not (0 <= si < len(phones)) or phones[si] not in "eo" or not (0 <= vi < len(word)) or word[vi] not in "eo":
            continue
        closed = reduce_final_vowels(phones, si)
        opened = list(closed)
        opened[si] = "é" if closed[si] == "e" else "ó"
        dc, do = _distance(refs, closed, si), _distance(refs, opened, si)
        if dc != do:
            openness.add(word, vi, pos_of(word), do < dc)
    reader.openness = openness
    pretonic = PretonicModel()
    for word, refs in refs_of.items():
        # The vowels before the stress of an adverb or a diminutive are those
        # of its base, stressed there; they teach nothing of other words.
        if word.endswith(DERIVED_ENDINGS):
            continue
        phones, si, vi = reader.walk(word)
        origins = reader.origins
        phones = reduce_final_vowels(phones, si)
        for k in range(min(si, len(phones))):
            if phones[k] not in "eo" or word[origins[k]] not in "eo":
                continue
            opened = list(phones)
            opened[k] = _opened(phones[k])
            dc, do = _distance(refs, phones, si), _distance(refs, opened, si)
            if dc != do:
                pretonic.add(word, origins[k], do < dc)
    reader.pretonic = pretonic
    reader.accented = accented or {}
    return reader


def _walk_with_x(reader, word, p, reading):
    saved = reader.x_model

    class _Fixed:
        def predict(self, w, q):
            return reading if q == p else None

    reader.x_model = _Fixed()
    try:
        phones, si, _ = reader.walk(word)
    finally:
        reader.x_model = saved
    return reduce_final_vowels(phones, si), si
