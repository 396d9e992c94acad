"""The forms of a regular verb stressed on the stem, and whether their stressed
e or o is open.

In the present indicative, the present subjunctive and the imperative, the
singular persons and the third plural are stressed on the last vowel of the
stem (levo, levas, leva, levam; leve, leves, levem), and that vowel's quality
follows the conjugation:
  -ar  open (levo, leva, volta, moro), but closed before m, n, nh (sonho,
       toma) and an e closed before the palatals ch, j, lh, x (fecha,
       deseja, aconselha);
  -er  closed in the first person singular and the subjunctive (devo, beba),
       open in the others (deve, devem, bebe, come, corre);
  -ir  open in the forms whose stem keeps its e or o (serve, dorme, pede);
       the first person singular and the subjunctive raise it in writing
       (sirvo, durma), or are irregular (peço), and are not made here.
A stem vowel in a diphthong (roubar, deixar), nasal (pensar, contar) or in
hiatus with the ending (voar, the o of which stays closed) is left alone.
data/lexicon/verb_vowels.tsv names the verbs that go their own way (querer,
open in every person; chegar, closed).
"""

VOWELS = "aeiouáéíóúâêôãõ"

# (ending of the infinitive, persons stressed on the stem: (person, written
# ending, open)). Persons as the suffix rules count them: 1, 2, 3 singular
# and 6 for the third plural; "s" marks the subjunctive.
PERSONS = {
    "ar": (("1", "o", True), ("2", "as", True), ("3", "a", True), ("6", "am", True),
           ("1s", "e", True), ("2s", "es", True), ("6s", "em", True)),
    "er": (("1", "o", False), ("2", "es", True), ("3", "e", True), ("6", "em", True),
           ("1s", "a", False), ("2s", "as", False), ("6s", "am", False)),
    "ir": (("2", "es", True), ("3", "e", True), ("6", "em", True)),
}

# The spelling that keeps the sound of the stem's last consonant before the
# ending's vowel: (conjugation, stem ending, ending's vowel, spelling).
SPELLING = (("ar", "c", "e", "qu"), ("ar", "g", "e", "gu"), ("ar", "ç", "e", "c"),
            ("er", "c", "", "ç"), ("er", "gu", "", "g"), ("er", "g", "", "j"),
            ("ir", "c", "", "ç"), ("ir", "gu", "", "g"), ("ir", "g", "", "j"))

NASALS = ("m", "n")
PALATALS = ("ch", "j", "lh", "x")


def stem_vowel(stem):
    """The index of the stem's last vowel when it is a plain e or o that can
    open or close, else -1."""
    k = len(stem) - 1
    if stem.endswith(("gu", "qu")):
        k -= 1  # the u of seguir, erguer is a letter of the consonant
    while k >= 0 and stem[k] not in VOWELS:
        k -= 1
    if k < 0 or stem[k] not in "eo":
        return -1
    if k == len(stem) - 1 or (k > 0 and stem[k - 1] in VOWELS and not stem[:k].endswith(("qu", "gu"))):
        return -1  # a vowel in hiatus with the ending (voar, doer) or after another (passear)
    after = stem[k + 1:]
    if after[:1] in NASALS and len(after) > 1 and after[1] != "h":
        return -1  # a nasal vowel: pensar, contar
    return k


def _spelled(conjugation, stem, ending):
    for verb, last, vowel, spelling in SPELLING:
        if verb == conjugation and stem.endswith(last) and ending.startswith(vowel or ("a", "o")):
            return stem[:-len(last)] + spelling + ending
    return stem + ending


def stem_stressed_forms(infinitive):
    """[(form, person, open)] for a regular verb whose stem's last vowel is an
    e or o that opens or closes; [] for any other word."""
    conjugation = infinitive[-2:]
    if conjugation not in PERSONS or len(infinitive) < 4:
        return []
    stem = infinitive[:-2]
    k = stem_vowel(stem)
    if k < 0:
        return []
    vowel, after = stem[k], stem[k + 1:]
    forms = []
    for person, ending, is_open in PERSONS[conjugation]:
        if conjugation == "ar":
            closed_before = after[:1] in NASALS or (vowel == "e" and after.startswith(PALATALS))
            is_open = is_open and not closed_before
        forms.append((_spelled(conjugation, stem, ending), person, is_open))
    return forms
