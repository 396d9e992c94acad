"""One alphabet for comparing pronunciations from different sources.

Broad IPA (WikiPron rows, espeak-ng output) and the engine's phone symbols are
both turned into the same short alphabet, and the same position rules are then
applied to every side, so that no source is favoured by its notation:

  vowels       a e é i o ó u, nasal ä ë ï ö ü
  glides       y w
  consonants   p b t d k g f v s z x(ch) j(soft g) m n ñ(nh) l h(lh) r(tap)
               R(strong r) %(r closing a syllable) S(s closing a syllable)

IPA: stress, length, syllable and linking marks are removed; tʃ dʒ count as t
d; ɲ ʎ ʃ ʒ ɛ ɔ as ñ h x j é ó; ɐ ə æ as a; ɪ ʊ ɨ y as i u i i; a vowel with a
tilde as the nasal vowel; j w (also nasal or non-syllabic ones) as y w; ŋ not
before a vowel nasalises the vowel before it (espeak-ng writes nasal vowels so);
an ə between a rhotic and a consonant (espeak-ng's release of a coda r) is
dropped; every rhotic symbol is a rhotic.

Engine: @ and ã are the nasal a (the a of maçã and of ão), ê ô are e o, H is
h; pauses and skipped phones (_ !) and stress and syllable marks are dropped.

Position rules, the same on every side: l and a glide before a vowel count as
lh (espeak-ng writes lh as lj). An m or n closing a syllable (before
a consonant or at the end) nasalises the vowel before it and is dropped. A rhotic before a consonant or at the
end is %; otherwise one at the start of the word or after a nasal vowel or
after n m l s z is R; one after p b t d k g f v (a cluster) is r; a tap is
r, any other rhotic is R. A sibilant (s z x j)
before a consonant or at the end is S. A nasal vowel before m n ñ counts as
oral. A glide or high vowel right after a vowel counts as the oral high vowel
(pausa as pawza or pauza alike; mãe as mäy or mäi alike).
"""

import unicodedata

VOWELS = set("aeéioóuäëïöü")
NASAL = {"a": "ä", "e": "ë", "é": "ë", "i": "ï", "o": "ö", "ó": "ö", "u": "ü"}
ORAL = {"ä": "a", "ë": "e", "ï": "i", "ö": "o", "ü": "u"}
GLIDES = set("yw")
RHOTIC = "ρ"  # a rhotic not yet placed by position (never a real phone)
TAP = "τ"
SIBILANTS = set("szxj")
MID_VOWELS = set("eéoó")

_DROP_MARKS = set("ˈˌ.ː‿ˑ|ǀ-'`_!%") - {"%"}
_IPA_VOWELS = {
    "a": "a", "ɐ": "a", "ə": "ə", "æ": "a", "ɜ": "e", "e": "e", "ɛ": "é", "i": "i",
    "ɪ": "i", "ɨ": "i", "y": "i", "o": "o", "ɔ": "ó", "u": "u", "ʊ": "u", "ø": "e",
    "ã": "a", "õ": "o", "ĩ": "i", "ũ": "u", "ẽ": "e",
}
_IPA_CONSONANTS = {
    "p": "p", "b": "b", "t": "t", "d": "d", "k": "k", "g": "g", "ɡ": "g", "f": "f",
    "v": "v", "s": "s", "z": "z", "ʃ": "x", "ʒ": "j", "m": "m", "n": "n", "ɲ": "ñ",
    "l": "l", "ɫ": "l", "ʎ": "h", "ʈ": "t", "β": "b", "ð": "d", "ɣ": "g", "c": "k",
    "ɾ": TAP, "r": RHOTIC, "ɹ": RHOTIC, "ɻ": RHOTIC, "x": RHOTIC, "h": RHOTIC,
    "ʁ": RHOTIC, "χ": RHOTIC, "ʀ": RHOTIC, "ɦ": RHOTIC,
}
_TILDE = "\u0303"
_NON_SYLLABIC = "\u032f"


def _ipa_units(ipa):
    """Splits an IPA string into (base letter, marks) pairs, spaces ignored."""
    text = unicodedata.normalize("NFD", ipa)
    units = []
    for ch in text:
        if ch.isspace() or ch in _DROP_MARKS:
            continue
        if unicodedata.combining(ch) or ch in "ʲʷ˞ʰ":
            if units:
                units[-1][1].append(ch)
            continue
        units.append([ch, []])
    return units


def ipa_to_symbols(ipa):
    """Broad IPA as a list of symbols of the common alphabet (before the
    position rules)."""
    units = _ipa_units(ipa)
    out = []
    for base, marks in units:
        nasal = _TILDE in marks
        if base == "ŋ":
            out.append("ŋ")
            continue
        if base in ("j", "w") or (base in "iuɪʊ" and _NON_SYLLABIC in marks):
            out.append("y" if base in "jiɪ" else "w")
            continue
        if base in _IPA_VOWELS:
            vowel = _IPA_VOWELS[base]
            out.append(NASAL[vowel] if nasal else vowel)
            continue
        if base in _IPA_CONSONANTS:
            sym = _IPA_CONSONANTS[base]
            # tʃ and dʒ (tied or not) count as t and d.
            if sym in ("x", "j") and out and out[-1] == ("t" if sym == "x" else "d"):
                continue
            out.append(sym)
            continue
        # Anything else (a tie bar alone, an unknown letter) is kept as itself so
        # that it shows up as a mismatch rather than vanishing.
        if base not in "\u0361\u035c":
            out.append(base)
    return _resolve_velar_nasal(_drop_rhotic_release(out))


def _drop_rhotic_release(syms):
    """ə between a rhotic and a consonant is dropped; any other ə is an a."""
    out = []
    for k, s in enumerate(syms):
        if s == "ə":
            nxt = syms[k + 1] if k + 1 < len(syms) else None
            if out and out[-1] in (RHOTIC, TAP) and nxt is not None and _is_consonant(nxt):
                continue
            s = "a"
        out.append(s)
    return out


def _resolve_velar_nasal(syms):
    out = []
    for k, s in enumerate(syms):
        if s != "ŋ":
            out.append(s)
            continue
        nxt = syms[k + 1] if k + 1 < len(syms) else None
        if nxt is not None and (nxt in VOWELS or nxt in GLIDES):
            out.append("n")
            continue
        # Nasalise the vowel before it, passing over a glide or high vowel that
        # closes a diphthong (eɪŋ is the nasal diphthong of bem).
        _nasalise_before(out, nxt is not None)
    return out


def _nasalise_before(out, consonant_follows):
    """Marks the vowel at the end of out as nasal, passing over the glide of a
    diphthong. Before a consonant, e with a glide and a nasal (espeak-ng's eɪŋ
    of sentir, entre) is the nasal e: the glide goes."""
    j = len(out) - 1
    if j >= 1 and out[j] in ("y", "w", "i", "u") and out[j - 1] in VOWELS:
        if consonant_follows and out[j] in ("y", "i") and out[j - 1] in ("e", "ë"):
            out.pop()
        j -= 1
    if j >= 0 and out[j] in NASAL:
        out[j] = NASAL[out[j]]


def _is_consonant(s):
    return s not in VOWELS and s not in GLIDES


ENGINE_MAP = {"@": "ä", "ã": "ä", "ê": "e", "ô": "o", "H": "h", "r": TAP, "R": "R", "%": "%"}
ENGINE_SYMBOLS = set("aäeéëiïoóöuüywbdfghjklmnñprR%sStvxz@êôHã")


def engine_to_symbols(phones):
    """The engine's phone symbols (a string, marks allowed) as a list of symbols
    of the common alphabet (before the position rules)."""
    out = []
    for ch in phones:
        if ch not in ENGINE_SYMBOLS:
            continue
        out.append(ENGINE_MAP.get(ch, ch))
    return out


def apply_position_rules(syms):
    """The rules that every side shares; returns a list of final symbols."""
    syms = _merge_palatal_l(_absorb_coda_nasals(syms))
    n = len(syms)
    out = []
    for k, s in enumerate(syms):
        nxt = syms[k + 1] if k + 1 < n else None
        prev = out[-1] if out else None
        if s in (RHOTIC, TAP, "R", "%"):
            if nxt is None or _is_consonant(nxt):
                s = "%"
            elif prev is None or prev in ORAL or prev in ("n", "m", "l", "s", "z", "S", "x", "j"):
                s = "R"
            elif prev in ("p", "b", "t", "d", "k", "g", "f", "v") or s == TAP:
                s = "r"  # a cluster such as pr or tr has a tap whatever the symbol
            else:
                s = "R"
        elif s in SIBILANTS or s == "S":
            if nxt is None or _is_consonant(nxt):
                s = "S"
        out.append(s)
    # Nasal vowels before a nasal consonant; glides and high vowels after a vowel.
    for k in range(len(out)):
        nxt = out[k + 1] if k + 1 < len(out) else None
        if out[k] in ORAL and nxt in ("m", "n", "ñ"):
            out[k] = ORAL[out[k]]
    for k in range(1, len(out)):
        if out[k - 1] in VOWELS:
            if out[k] in ("y", "ï", "i"):
                out[k] = "i"
            elif out[k] in ("w", "ü", "u"):
                out[k] = "u"
    return "".join(out)


def _merge_palatal_l(syms):
    """l and a glide before a vowel count as lh (espeak-ng writes the lh of
    olhar as lj; família read with lj is then the same as famiha)."""
    out = []
    for k, s in enumerate(syms):
        nxt = syms[k + 1] if k + 1 < len(syms) else None
        if s == "y" and out and out[-1] == "l" and nxt is not None and nxt in VOWELS:
            out[-1] = "h"
            continue
        out.append(s)
    return out


def _absorb_coda_nasals(syms):
    """A nasal consonant that closes a syllable (before a consonant or at the
    end) only marks the vowel before it as nasal: campo as kämpu or käpu alike."""
    out = []
    for k, s in enumerate(syms):
        nxt = syms[k + 1] if k + 1 < len(syms) else None
        if s in ("m", "n") and out and out[-1] in VOWELS | GLIDES and (nxt is None or _is_consonant(nxt)):
            _nasalise_before(out, nxt is not None)
            continue
        out.append(s)
    return out


def normalise_ipa(ipa):
    return apply_position_rules(ipa_to_symbols(ipa))


def normalise_engine(phones):
    return apply_position_rules(engine_to_symbols(phones))


def align(ref, hyp):
    """Levenshtein alignment of two symbol strings: a list of (r, h) pairs, None
    for a gap. Ties prefer substitution, then deletion, then insertion."""
    n, m = len(ref), len(hyp)
    d = [[0] * (m + 1) for _ in range(n + 1)]
    for i in range(n + 1):
        d[i][0] = i
    for j in range(m + 1):
        d[0][j] = j
    for i in range(1, n + 1):
        for j in range(1, m + 1):
            cost = 0 if ref[i - 1] == hyp[j - 1] else (1 if _same_kind(ref[i - 1], hyp[j - 1]) else 2)
            d[i][j] = min(d[i - 1][j - 1] + cost, d[i - 1][j] + 1, d[i][j - 1] + 1)
    pairs = []
    i, j = n, m
    while i > 0 or j > 0:
        if i > 0 and j > 0:
            cost = 0 if ref[i - 1] == hyp[j - 1] else (1 if _same_kind(ref[i - 1], hyp[j - 1]) else 2)
            if d[i][j] == d[i - 1][j - 1] + cost:
                pairs.append((ref[i - 1], hyp[j - 1]))
                i, j = i - 1, j - 1
                continue
        if i > 0 and d[i][j] == d[i - 1][j] + 1:
            pairs.append((ref[i - 1], None))
            i -= 1
        else:
            pairs.append((None, hyp[j - 1]))
            j -= 1
    pairs.reverse()
    return pairs


def _same_kind(a, b):
    return (a in VOWELS) == (b in VOWELS)


def edit_distance(ref, hyp):
    return sum(0 if r == h else 1 for r, h in align(ref, hyp))


def mid_vowel_pairs(ref, hyp):
    """Aligned pairs where both sides have a mid vowel of the same series (e/é or
    o/ó): the places where open versus closed is decided. (ref, hyp) pairs."""
    pairs = []
    for r, h in align(ref, hyp):
        if r in MID_VOWELS and h in MID_VOWELS and _series(r) == _series(h):
            pairs.append((r, h))
    return pairs


def _series(v):
    return "e" if v in "eé" else "o"


def closest_reference(refs, hyp):
    """The reference closest to hyp (first of equals), among normalised refs."""
    return min(refs, key=lambda r: edit_distance(r, hyp))
