#!/usr/bin/env python3
"""Builds the language data file data/brport.lng.

Sources (in --data, by default ../shared/data beside the repository):
  freq_ptbr.tsv        word and count in Brazilian film subtitles
  ud_ptbr_lexicon.tsv  form, lemma, UPOS, features, count (Universal Dependencies)
  wikipron_dev.tsv     word and broad IPA (WikiPron)
and the curated lists in data/lexicon/ (see data/README.md).

What goes in:
  - every word of the frequency list and of the UD lexicon that is written in
    letters, with its class letter (from UD, else guessed from its ending),
    and the regular forms of UD nouns and adjectives (plural, feminine) and
    the adverbs in -mente of UD adjectives; then the regular derivations of
    every noun or adjective so far (plural, feminine, -mente, -ia from -ico,
    the infinitive of -ação);
  - a transcription for each: the engine's reading by its letter rules
    (asked of the built engine, see tools/falavoz_rules.py) with what
    tools/pronounce.py learns from the WikiPron pronunciations: the x, the
    stressed e/o and the e/o before the stress (a plural or -am/-em form takes
    the vowels of its pronounced singular);
  - the forms of UD verbs stressed on the stem, with the open or closed stem
    vowel of their person (tools/verb_forms.py, data/lexicon/verb_vowels.tsv);
    such a form that is also a noun with a closed vowel becomes a noun/verb
    pair for the tag rules;
  - vowel classes: 6 or 7 for verb infinitives whose stressed stem vowel
    opens, 3 for nouns and adjectives whose stressed vowel is open, and the
    classes given in the curated lists;
  - the curated lists, which override everything else;
  - the tag rules and the suffix rules of data/lexicon/.
The output is sorted by the byte order (Windows-1252) of the lower-case word,
written in Windows-1252 with CR LF line ends. The same inputs give the same
file.

The engine's programs falavoz_rules and falavoz must be built first (cmake
--build build --target falavoz_rules falavoz); --bin or FALAVOZ_BIN names
their directory when it is not build/bin.

The held-out WikiPron words (tools/heldout.py) stay out of the learning, and
a curated list may give one of them its tag, vowel class and subclass but
not its transcription: the build refuses that, so that tools/evaluate.py
measures on them words the data never taught.
"""

import argparse
import collections
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import falavoz_rules  # noqa: E402
import heldout  # noqa: E402
import pronounce  # noqa: E402
import verb_forms  # noqa: E402

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DEFAULT_DATA = os.path.join(os.path.dirname(REPO), "shared", "data")
LEXICON_DIR = os.path.join(REPO, "data", "lexicon")
OUTPUT = os.path.join(REPO, "data", "brport.lng")

UPOS_LETTER = {
    "NOUN": "E", "PROPN": "E", "ADJ": "E", "VERB": "V", "AUX": "V", "ADV": "D", "PRON": "P",
    "DET": "T", "NUM": "T", "ADP": "R", "ADP+DET": "R", "ADP+PRON": "R", "CCONJ": "C", "SCONJ": "C",
    "INTJ": "-", "PART": "D",
}
WORD_RE = re.compile(r"^[a-zà-öø-ÿ]+$")
CURATED_FILES = ("function_words.tsv", "abbreviations.tsv", "units.tsv", "acronyms.tsv", "loanwords.tsv",
                 "names.tsv", "irregular.tsv", "irregular_verbs.tsv")
RULE_SLOTS = 256


def readable(word, rules):
    """A word the lexicon can hold: letters only, Windows-1252, and one the
    engine reads as a word, with a vowel and not spelled out (dr, km, cpf),
    nor a short acronym (see acronym_like)."""
    if len(word) < 2 or WORD_RE.match(word) is None or not encodable(word):
        return False
    phones = rules.read(word).phones
    return phones != "" and not acronym_like(word, phones, rules.vowels)


def acronym_like(word, phones, vowels):
    """Whether a word of fewer than four letters opens with two consonants
    that begin no Portuguese syllable (fbi, dna, nba): an acronym, which the
    engine spells out in capitals as it should (FBI, DNA). An entry would make
    it read the acronym as a word; the acronyms said as words are curated."""
    return (len(word) < 4 and len(phones) > 1 and phones[0] not in vowels and phones[1] not in vowels
            and phones[1] not in "rl")


def encodable(word):
    try:
        word.encode("cp1252")
        return True
    except UnicodeEncodeError:
        return False


# ---- reading the sources ----


def read_tsv(path):
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\r\n")
            if line and not line.startswith("#"):
                yield line.split("\t")


def load_frequency(data):
    return {f[0]: int(f[1]) for f in read_tsv(os.path.join(data, "freq_ptbr.tsv")) if len(f) >= 2}


def load_ud(data):
    """form -> Counter of class letters; lemma -> Counter of class letters."""
    forms = collections.defaultdict(collections.Counter)
    lemmas = collections.defaultdict(collections.Counter)
    for f in read_tsv(os.path.join(data, "ud_ptbr_lexicon.tsv")):
        if len(f) < 5:
            continue
        form, lemma, upos, count = f[0], f[1], f[2], int(f[4])
        letter = UPOS_LETTER.get(upos)
        if letter is None:
            continue
        forms[form][letter] += count
        if lemma not in ("_", "") and "+" not in lemma and upos in ("NOUN", "ADJ", "VERB"):
            lemmas[lemma.lower()][upos] += count
    return forms, lemmas


def irregular_future_subjunctives(data):
    """The forms of the future subjunctive that are not the infinitive
    (tiver, fizer, vier), as tagged or as the preterite shows them: their
    persons in -mos, -em, -es keep the stressed vowel of the form itself
    (tivermos, open like tiver), which the regular verbs' endings (comermos,
    closed) would not give them."""
    forms = set()
    for f in read_tsv(os.path.join(data, "ud_ptbr_lexicon.tsv")):
        if len(f) < 5 or f[2] not in ("VERB", "AUX"):
            continue
        form, lemma, feats = f[0].lower(), f[1].lower(), f[3]
        if "Mood=Sub" in feats and "Tense=Fut" in feats and form != lemma and form.endswith("r") \
                and "Number=Sing" in feats:
            forms.add(form)
        # Untagged: the stem of a preterite in -ram that is not the
        # infinitive's (fizeram, of fazer, gives fizer).
        base = form[:-2]
        if form.endswith(("eram", "oram")) and len(base) >= 3 and not lemma.startswith(base) \
                and lemma.endswith("r") and base == _drop_accent(base):
            forms.add(base)
    return sorted(forms)


FUTURE_SUBJUNCTIVE_PERSONS = ("mos", "em", "es")


def common_noun_forms(data):
    """The forms that UD gives as a common noun or adjective (not only as a
    name) at least as often as a verb: the nouns a verb form may share its
    spelling with (jogo, acordo; not começa, tagged a noun once)."""
    nouns, verbs = collections.Counter(), collections.Counter()
    for f in read_tsv(os.path.join(data, "ud_ptbr_lexicon.tsv")):
        if len(f) >= 5 and f[2] in ("NOUN", "ADJ", "VERB", "AUX"):
            (nouns if f[2] in ("NOUN", "ADJ") else verbs)[f[0].lower()] += int(f[4])
    return {form for form, n in nouns.items() if n >= verbs[form]}


OPENED = {"e": "é", "ê": "é", "é": "é", "o": "ó", "ô": "ó", "ó": "ó"}
CLOSED = {"e": "e", "ê": "e", "é": "e", "o": "o", "ô": "o", "ó": "o"}


def stressed_mid_vowel(transcription):
    """The index of the stressed vowel of a transcription when it is an e or
    an o, else -1."""
    mark = transcription.find("'")
    k = mark + 1
    return k if mark >= 0 and k < len(transcription) and transcription[k] in OPENED else -1


def apply_verb_paradigms(entries, infinitives, noun_forms, verb_vowels, rules):
    """The forms of each verb stressed on the stem take the open or closed
    vowel of their person (tools/verb_forms.py, or verb_vowels: infinitive
    -> the persons that open, for the verbs that go their own way). A form that is also a noun
    whose vowel is closed where the verb's opens becomes a noun/verb pair
    (tag EV, vowel class 1) for the tag rules to choose."""
    for infinitive in infinitives:
        stem_vowel = verb_forms.stem_vowel(infinitive[:-2])
        for form, person, is_open in verb_forms.stem_stressed_forms(infinitive):
            if infinitive in verb_vowels:
                is_open = person in verb_vowels[infinitive]
            entry = entries.get(form)
            # A form that is mostly a function word (como) keeps its reading.
            if entry is None or entry["tag"][:1] not in "VE" or rules.stressed_letter(form) != stem_vowel:
                continue
            t = entry["transcription"]
            k = stressed_mid_vowel(t)
            if k < 0:
                continue
            if form in noun_forms:
                if is_open and t[k] in "eê" + "oô":
                    entry.update(tag="EV", vclass=1)
                continue
            vowel = (OPENED if is_open else CLOSED)[t[k]]
            entry.update(tag="V", vclass=0, transcription=t[:k] + vowel + t[k + 1:])


def with_stressed_vowel_of(transcription, base_transcription, vowels):
    """The transcription with its stressed vowel replaced by the base's."""
    def stressed(t):
        mark = t.find("'")
        for k in range(mark + 1, len(t)):
            if t[k] in vowels:
                return k
        return -1
    k, b = stressed(transcription), stressed(base_transcription)
    if k < 0 or b < 0:
        return transcription
    return transcription[:k] + base_transcription[b] + transcription[k + 1:]


def load_wikipron(data):
    rows = collections.OrderedDict()
    for f in read_tsv(os.path.join(data, "wikipron_dev.tsv")):
        if len(f) >= 2:
            rows.setdefault(f[0], []).append(f[1])
    return rows


def load_curated(directory):
    entries = collections.OrderedDict()
    for name in CURATED_FILES:
        for f in read_tsv(os.path.join(directory, name)):
            f = f + [""] * (5 - len(f))
            word, tag, transcription, vclass, subclass = f[:5]
            entries[word.lower()] = {"tag": tag.strip(), "transcription": transcription,
                                     "vclass": int(vclass or 0), "subclass": (subclass or " ")[:1] or " ",
                                     "source": name}
    return entries


def load_verb_vowels(directory):
    """infinitive -> the persons whose stem vowel opens, for the verbs that
    do not follow the regular rule."""
    return {f[0]: set((f + [""])[1].split("#")[0].split()) for f in read_tsv(os.path.join(directory,
                                                                                         "verb_vowels.tsv"))}


def load_tag_rules(directory):
    return [tuple((f + ["", "", "", ""])[:4]) for f in read_tsv(os.path.join(directory, "tag_rules.tsv"))]


def load_suffix_rules(directory):
    return [tuple((f + [""] * 8)[:8]) for f in read_tsv(os.path.join(directory, "suffix_rules.tsv"))]


# ---- class letters ----


def tag_of(counts):
    """The class letter of a form: its most frequent UD class."""
    if not counts:
        return ""
    return sorted(counts.items(), key=lambda kv: (-kv[1], kv[0]))[0][0]


VERB_ENDINGS = ("ar", "er", "ir", "ando", "endo", "indo", "ava", "avam", "aram", "eram", "iram", "ou", "eu",
                "iu", "asse", "esse", "isse", "ado", "ido", "aria", "eria", "iria", "arei", "erei", "irei")


def guess_tag(word):
    if word.endswith("mente") and len(word) > 6:
        return "D"
    if word.endswith(VERB_ENDINGS):
        return "V"
    return "E"


# ---- inflection of UD lemmas ----


def plural(word):
    if word.endswith("ão"):
        return word[:-2] + "ões"
    if word[-1:] in "aeiouáéíóúâêô":
        return word + "s"
    if word.endswith("m"):
        return word[:-1] + "ns"
    if word.endswith("al"):
        return word[:-2] + "ais"
    if word.endswith("el") and not word.endswith("vel"):
        return word[:-2] + "éis"
    if word.endswith("vel"):
        return word[:-2] + "eis"
    if word.endswith("ol"):
        return word[:-2] + "óis"
    if word.endswith("ul"):
        return word[:-2] + "uis"
    if word[-1:] in "rz":
        return word + "es"
    if word.endswith("s") or word.endswith("x"):
        return None
    return None


def feminine(word):
    if word.endswith("o"):
        return word[:-1] + "a"
    if word.endswith("or"):
        return word + "a"
    return None


def _drop_accent(word):
    """The adverb in -mente loses the adjective's written accent (rápida ->
    rapidamente)."""
    return pronounce.without_accents(word)


def inflections(lemma, upos_counts):
    forms = set()
    if upos_counts.get("NOUN") or upos_counts.get("ADJ"):
        p = plural(lemma)
        if p:
            forms.add(p)
    if upos_counts.get("ADJ"):
        fem = feminine(lemma)
        if fem:
            forms.add(fem)
            forms.add(fem + "s")
            forms.add(_drop_accent(fem) + "mente")
        elif lemma[-1:] in "elz" or lemma.endswith("nte"):
            forms.add(_drop_accent(lemma) + "mente")
    return forms


# Noun endings from the matching agent ending (biólogo -> biologia,
# biógrafo -> biografia); adjectives in -ico with the accent on the vowel
# before give -ia too (alérgico -> alergia, econômico -> economia). The
# unaccented -ia carries the stress, which the letter rules alone miss.
AGENT_TO_NOUN = (("ólogo", "ologia"), ("ógrafo", "ografia"), ("ômetro", "ometria"), ("óscopo", "oscopia"))
ACCENTED = "áéíóúâêô"


def noun_in_ia(word):
    """The noun in -ia of an adjective in -ico or an agent noun, or None."""
    for agent, noun in AGENT_TO_NOUN:
        if word.endswith(agent) and len(word) > len(agent) + 1:
            return _drop_accent(word[:-len(agent)]) + noun
    if word.endswith("ico") and len(word) > 5:
        stem = word[:-3]
        k = len(stem) - 1
        while k >= 0 and stem[k] not in "aeiouáéíóúâêô":
            k -= 1
        if k > 0 and stem[k] in ACCENTED:
            return _drop_accent(stem) + "ia"
    return None


# How a form's reading follows from a sibling's, by the spelled ending and
# the spoken one: (form ending, sibling ending, form's sound, sibling's sound).
# A plural in -res keeps the vowels of its singular in -r (menores, menor).
# Plurals in -os are left out: their stressed o often opens (ovo, ovos).
SIBLING_ENDINGS = (("as", "a", "aS", "a"), ("es", "e", "iS", "i"), ("am", "a", "äu", "a"),
                   ("em", "e", "ëi", "i"), ("a", "as", "a", "aS"), ("e", "es", "i", "iS"),
                   ("e", "em", "i", "ëi"), ("a", "am", "a", "äu"), ("res", "r", "riS", "%"))


# Masculine and feminine, singular and plural share a stressed e (belo, bela,
# belas; completo, completos), not an o, which the feminine and the plural may
# open (novo, nova, novos): the masculine singular of an e also follows the
# plurals when neither singular is pronounced (velho from velhas).
GENDER_ENDINGS = (("o", "a", "u", "a"), ("a", "o", "a", "u"), ("os", "as", "uS", "aS"), ("as", "os", "aS", "uS"),
                  ("o", "os", "u", "uS"), ("o", "as", "u", "aS"))


def sibling_readings(word, normalised, rules):
    """The normalised readings of a word made from those of its singular
    (or plural, or third person singular, or other gender), or None."""
    endings = SIBLING_ENDINGS
    stress = rules.stressed_letter(word)
    if 0 <= stress < len(word) and word[stress] == "e":
        endings += GENDER_ENDINGS
    for form_end, sibling_end, form_sound, sibling_sound in endings:
        if not word.endswith(form_end) or len(word) < len(form_end) + 3:
            continue
        sibling = word[:-len(form_end)] + sibling_end
        refs = {r[:-len(sibling_sound)] + form_sound for r in normalised.get(sibling, ())
                if r.endswith(sibling_sound)}
        if refs:
            return refs
    return None


def derived_words(vocabulary, tag_of_word):
    """The regular forms of the vocabulary's words that the vocabulary lacks:
    plurals and feminines of nouns and adjectives, adverbs in -mente, nouns
    in -ia from adjectives in -ico, and the infinitives of nouns in -ação.
    Sorted, so that the build stays deterministic."""
    forms = set()
    for word in sorted(vocabulary):
        tag = tag_of_word(word)
        if tag == "E" and len(word) >= 4:
            forms.update(f for f in (plural(word),) if f)
            fem = feminine(word) if word.endswith("o") and not word.endswith("ão") else None
            if fem:
                forms.update((fem, fem + "s", _drop_accent(fem) + "mente"))
            elif word[-1:] in "lz" or word.endswith("nte"):
                forms.add(_drop_accent(word) + "mente")
            noun = noun_in_ia(word)
            if noun:
                forms.update((noun, noun + "s"))
        if word.endswith("ação") and len(word) > 6:
            forms.add(word[:-4] + "ar")
    return sorted(forms - vocabulary)


# ---- vowel classes ----


def verb_class(word, reader):
    """7 (-ar) or 6 (-er, -ir) when the stressed stem vowel of the forms
    stressed on the stem is an open e or o; else 0."""
    if len(word) < 4 or word[-2:] not in ("ar", "er", "ir"):
        return 0
    stem_form = word[:-2] + ("a" if word.endswith("ar") else "e")
    phones, si, vi = reader.phones(stem_form, "V")
    if 0 <= si < len(phones) and phones[si] in ("é", "ó"):
        return 7 if word.endswith("ar") else 6
    return 0


def noun_class(transcription, tag):
    """3 (always open) for a noun or adjective whose stressed vowel is open."""
    if tag != "E":
        return 0
    mark = transcription.find("'")
    if mark >= 0 and mark + 1 < len(transcription) and transcription[mark + 1] in ("é", "ó"):
        return 3
    return 0


# ---- rule tables ----


def order_rules(rules):
    """Orders rules so that the rules of one key stand together (in their file
    order) and the keys with most rules are placed first."""
    groups = collections.OrderedDict()
    for r in rules:
        groups.setdefault(r[0], []).append(r)
    ordered_keys = sorted(groups, key=lambda k: (-len(groups[k]), list(groups).index(k)))
    return [r for k in ordered_keys for r in groups[k]]


def check_rules_reachable(path, tag_rules, suffix_rules, rules):
    """Raises ValueError unless the engine, loading the file, reaches every
    rule it holds: the engine finds the first rule of a key by its hash and
    takes the rules in the slots after it while they hold the same key."""
    status, tags, suffixes = rules.reached_rules(path)
    if status != 0:
        raise ValueError("the engine refuses %s (%d)" % (path, status))
    for kind, written, reached in (("tag", tag_rules, tags), ("suffix", suffix_rules, suffixes)):
        wanted = collections.Counter(r[0] for r in written)
        lost = sorted(k for k in wanted if reached.get(k, 0) != wanted[k])
        if lost:
            raise ValueError("%s rules not reachable in the table: %s" % (kind, ", ".join(lost)))


# ---- the lexicon ----


def check_curated_held_out(curated, held_out_words):
    """Raises ValueError for a curated transcription of a held-out word."""
    seen = sorted(w for w, e in curated.items() if e["transcription"] and w in held_out_words)
    if seen:
        raise ValueError("curated transcriptions of held-out words (give only their tag and classes): "
                         + ", ".join("%s (%s)" % (w, curated[w]["source"]) for w in seen))


def build(data, lexicon_dir, rules, truth_rank=20000):
    """(entries, reader): the lexicon entries, read by the engine's letter
    rules (rules, a falavoz_rules.EngineRules) with what the data teach."""
    freq = load_frequency(data)
    ud_forms, ud_lemmas = load_ud(data)
    wikipron = load_wikipron(data)
    curated = load_curated(lexicon_dir)

    is_held_out = heldout.HeldOut(lexicon_dir)
    held_out_words = {w for w in wikipron if w in is_held_out}
    check_curated_held_out(curated, held_out_words)
    verb_vowels = load_verb_vowels(lexicon_dir)
    check_curated_held_out({w: {"transcription": "persons", "source": "verb_vowels.tsv"} for w in verb_vowels},
                           held_out_words)
    learn_rows = collections.OrderedDict((w, r) for w, r in wikipron.items() if w not in held_out_words)

    def pos_of(word):
        letter = tag_of(ud_forms.get(word))
        return letter if letter in ("V", "E") else None

    # Where two spellings share a plain form, the Brazilian one wins: the
    # more frequent in the subtitles, else the pronounced one (telefônica,
    # not the European telefónica).
    accented = {}
    by_use = sorted(freq, key=lambda w: (-freq[w], w)) + sorted(learn_rows) + sorted(ud_forms)
    for word in by_use:
        plain = _drop_accent(word)
        if plain != word:
            accented.setdefault(plain, word)
    reader = pronounce.learn(learn_rows, pos_of, rules, accented=accented)
    rules.read_all(list(freq) + list(ud_forms) + list(ud_lemmas))

    vocabulary = set()
    for word in list(freq) + list(ud_forms):
        if readable(word, rules):
            vocabulary.add(word)
    for lemma, counts in ud_lemmas.items():
        if not readable(lemma, rules):
            continue
        if counts.get("VERB") and lemma[-2:] in ("ar", "er", "ir"):
            vocabulary.add(lemma)
        for form in inflections(lemma, counts):
            if readable(form, rules):
                vocabulary.add(form)
    # The pronounced words too, read by the learned patterns like any other
    # (a word held out for measuring stays out).
    for word in learn_rows:
        if readable(word, rules):
            vocabulary.add(word)
    # The regular derivations of the words known so far, so that the words
    # the data lack are read by the learned patterns rather than by the
    # engine's letter rules alone.
    derived = derived_words(vocabulary, lambda w: tag_of(ud_forms.get(w)) or guess_tag(w))
    rules.read_all(derived)
    for word in derived:
        if readable(word, rules):
            vocabulary.add(word)

    # The frequent words whose pronunciation the data give take its vowels.
    rank = {w: k for k, w in enumerate(freq)}
    truth = {}
    for word, ipas in learn_rows.items():
        if rank.get(word, truth_rank) < truth_rank:
            truth[word] = {pronounce.pc.normalise_ipa(ipa) for ipa in ipas}
    # A plural or a verb form in -am/-em whose singular the data pronounce
    # keeps the singular's vowels (rodas from roda), and the other way round.
    normalised = {w: {pronounce.pc.normalise_ipa(ipa) for ipa in ipas} for w, ipas in learn_rows.items()}
    for word in sorted(vocabulary) if truth_rank > 0 else ():
        if word not in truth:
            refs = sibling_readings(word, normalised, rules)
            if refs:
                truth[word] = refs

    words = sorted(vocabulary)
    tags = [tag_of(ud_forms.get(word)) or guess_tag(word) for word in words]
    transcriptions = reader.transcriptions([(word, tag if tag in ("V", "E") else None, truth.get(word))
                                            for word, tag in zip(words, tags)])
    entries = {}
    for word, tag, transcription in zip(words, tags, transcriptions):
        vclass = 0
        if tag == "V" or (ud_lemmas.get(word, {}).get("VERB")):
            vclass = verb_class(word, reader)
        if not vclass:
            vclass = noun_class(transcription, tag)
        entries[word] = {"tag": tag, "transcription": transcription, "vclass": vclass, "subclass": " "}
    # The verbs UD knows: an infinitive guessed from its ending alone (sedar,
    # gretar) would turn the nouns seda, greta into verb forms.
    infinitives = sorted(w for w in entries if ud_lemmas.get(w, {}).get("VERB"))
    apply_verb_paradigms(entries, infinitives, common_noun_forms(data), verb_vowels, rules)
    for base in irregular_future_subjunctives(data):
        if base not in entries:
            continue
        preterite = entries.get(base + "am")
        if preterite and base not in truth:
            entries[base]["transcription"] = with_stressed_vowel_of(entries[base]["transcription"],
                                                                    preterite["transcription"], rules.vowels)
        for person in FUTURE_SUBJUNCTIVE_PERSONS:
            form = base + person
            if form not in entries:
                entries[form] = {"tag": "V", "transcription": reader.transcription(form, "V", truth.get(form)),
                                 "vclass": 0, "subclass": " "}
            if form not in truth:
                entries[form]["transcription"] = with_stressed_vowel_of(entries[form]["transcription"],
                                                                        entries[base]["transcription"],
                                                                        rules.vowels)
    for word, entry in curated.items():
        e = dict(entry)
        if not e["transcription"]:
            e["transcription"] = reader.transcription(word.rstrip("."), e["tag"][:1])
        entries[word] = e
    return entries, reader


def lexicon_lines(entries):
    def key(word):
        return word.lower().encode("cp1252")

    lines = []
    for word in sorted(entries, key=key):
        e = entries[word]
        lines.append("%s\t%s\t%s\t0\t%d\t%s\t" % (word, e["tag"], e["transcription"], e["vclass"],
                                                e["subclass"] or " "))
    return lines


def write_file(path, entries, tag_rules, suffix_rules, rules):
    """Writes the language data file and has the engine check that it reaches
    every rule of it."""
    lines = lexicon_lines(entries)
    lines.append("* tag rules")
    lines += ["\t".join(r) for r in order_rules(tag_rules)]
    lines.append("* suffix rules")
    lines += ["\t".join(r) for r in order_rules(suffix_rules)]
    text = "\r\n".join(lines) + "\r\n"
    with open(path, "wb") as f:
        f.write(text.encode("cp1252"))
    check_rules_reachable(path, tag_rules, suffix_rules, rules)


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--data", default=DEFAULT_DATA, help="the reference data directory")
    parser.add_argument("--lexicon-dir", default=LEXICON_DIR, help="the curated lists")
    parser.add_argument("-o", "--output", default=OUTPUT, help="the file to write")
    parser.add_argument("--bin", help="the directory of the built falavoz_rules and falavoz "
                                      "(default: FALAVOZ_BIN, else build/bin)")
    parser.add_argument("--truth-rank", type=int, default=20000,
                        help="words ranked above this in the frequency list take the open or closed "
                             "vowels of their WikiPron pronunciation (default 20000; 0 for none, which "
                             "also keeps plurals and singulars from taking their sibling's vowels)")
    args = parser.parse_args(argv)
    with falavoz_rules.EngineRules(args.bin) as rules:
        entries, _ = build(args.data, args.lexicon_dir, rules, args.truth_rank)
        write_file(args.output, entries, load_tag_rules(args.lexicon_dir), load_suffix_rules(args.lexicon_dir),
                   rules)
    print("%s: %d lexicon entries" % (args.output, len(entries)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
