"""A model, in Python, of how the Falavoz engine reads a single word.

The language data generator uses it to see what the engine would say for a
word without a lexicon entry (the letter rules and stress, the morphological
analyser over the lexicon and the suffix rules), so that entries and rules are
written where they change the reading; tools/evaluate.py can run it in place
of the engine. Strings are Python str; the engine works on the same text in
Windows-1252.

Reading of one word, as the engine does it for a word alone on a line:
  1. the lexicon entry, else the analyser (prefix, then suffix rules), else
     the letter rules with stress;
  2. tag rules (the word alone: its neighbours are sentence edges);
  3. vowel quality by the vowel class;
  4. the word-final rules of the back end (unstressed final e, o as i, u).
"""

VOWEL_LETTERS = set("aeiouáéíóúüâêôãõäëïöüày")
ACCENTED = "áéíóúâêôãõ"
RULE_LETTERS = set("aáãâeéêiíoóôõuüúctlmnrsgçqxhzywà")
CONSONANT_LETTERS = set("bcdfghjklmnpqrstvxz")
PHONEME_CODES = set("a@äeéëiïoóöuüywbdfghjklmnñprR%sStvxz_êôHã")
NASAL_CODES = set("äëïöü")
PHONE_VOWELS = set("@aeiouäéêëïóôöü")  # class 1 of the phone class table
PHONE_CLASS = {}
for _c in "@aeiouäéêëïóôöü":
    PHONE_CLASS[_c] = 1
for _c in "Sfjsvxz":
    PHONE_CLASS[_c] = 2
for _c in "%Rhlr":
    PHONE_CLASS[_c] = 3
for _c in "bdgkpt":
    PHONE_CLASS[_c] = 4
for _c in "mnñ":
    PHONE_CLASS[_c] = 5
for _c in "wy":
    PHONE_CLASS[_c] = 6


def is_vowel(ch):
    return ch != "" and ch.lower() in VOWEL_LETTERS


# ---- Letter rules -------------------------------------------------------------


class _Ctx:
    def __init__(self, word, p):
        at = lambda k: word[k] if 0 <= k < len(word) else ""
        self.cur = at(p)
        self.n1, self.n2, self.n3 = at(p + 1), at(p + 2), at(p + 3)
        self.p1, self.p2, self.p3 = at(p - 1), at(p - 2), at(p - 3)
        self.first = p == 0
        self.last = p == len(word) - 1


def _nasal_closure(c):
    return (c.n1 == "m" or (c.n1 == "n" and c.n2 != "h")) and not is_vowel(c.n2)


def _nasal_code(letter):
    for group, code in (("aáàâã", "ä"), ("eêé", "ë"), ("iíy", "ï"), ("oôó", "ö"), ("uúüw", "ü")):
        if letter in group:
            return code
    return ""


def _a_rule(c):
    if c.n1 == "n" and c.n2 in ("e", "a", "o") and c.n3 in ("s", ""):
        return "@"
    if is_vowel(c.p1) or c.n1 != "m":
        return "a"
    if c.n2 not in ("a", "o"):
        return "a"
    if (c.n3 != "" and c.n3 != "s") or c.first:
        return "a"
    return "@"


def _i_rule(c):
    if c.n1 == "o" and c.n2 == "":
        return "y"
    if c.n1 != "" and c.n1 in "uáéó":
        return "i"
    if (c.n1, c.n2, c.n3) == ("a", "d", "o"):
        return "i"
    if c.n1 == "ç" or c.n2 == "ç" or c.first or c.cur == "í":
        return "i"
    if c.p2 == "q" or (c.p2 == "g" and c.p1 in ("u", "ü")) or c.p1 == "r":
        return "i"
    if not is_vowel(c.p1) and not is_vowel(c.n1):
        return "i"
    if c.n2 not in ("r", "s", "l"):
        return "y"
    return "y" if is_vowel(c.n3) else "i"


def _u_rule(c):
    if c.n1 != "" and c.n1 in "áéíóuâêôi":
        return "u"
    if is_vowel(c.p1) or c.p1 == "h":
        return "u"
    if c.n1 in ("ç", "l") or c.n2 == "ç" or c.first:
        return "u"
    if c.cur == "ú":
        return "u"
    if c.p1 == "r":
        return "u"
    if not is_vowel(c.n1):
        return "u"
    if c.n2 not in ("r", "s", "l"):
        return "w"
    return "w" if is_vowel(c.n3) else "u"


def _vowel_sound(c, pos):
    """(phonemes, pos) for a vowel letter before any coda."""
    if c.cur == "õ":
        if c.n1 == "e" and c.n2 == "s":
            return "oëS", pos + 2
        return "o", pos
    if _nasal_closure(c):
        return _nasal_code(c.cur), pos + 1
    cur = c.cur
    if cur in "aáà":
        return _a_rule(c), pos
    if cur == "â":
        return "@", pos
    if cur == "ã":
        return ("@w", pos + 1) if c.n1 == "o" else ("@", pos)
    if cur in "eê":
        if cur == "e" and c.n1 == "e" and c.n2 not in ("m", "n"):
            return "i", pos + 1
        return "e", pos
    if cur == "é":
        return "é", pos
    if cur in "ií":
        return _i_rule(c), pos
    if cur == "y":
        return "i", pos
    if cur in "oô":
        if cur == "o" and c.p1 == "b" and c.n1 == "l" and c.n2 == "":
            return "ó", pos
        return "o", pos
    if cur == "ó":
        return "ó", pos
    if cur in "uúü":
        return _u_rule(c), pos
    if cur == "w":
        return "u", pos
    return "", pos


def _coda(c, word, pos, ph):
    if c.n1 == "l" and not is_vowel(c.n2) and c.n2 != "h" and ph not in NASAL_CODES and not (
            c.n2 == "l" and c.n3 != ""):
        return ph + "w", pos + 1
    if c.n1 == "u" and c.n2 == "l":
        return ph + "w", pos + 1
    if c.n1 == "r" and not is_vowel(c.n2) and c.n2 != "r":
        ph = ("i" if ph == "y" else ph) + "%"
        pos += 1
        if c.n2 == "s" and not is_vowel(c.n3):
            pos += 1
        return ph, pos
    if ph in NASAL_CODES and c.n2 == "r":
        return ph + "R", pos + 1
    nxt = word[pos + 1] if pos + 1 < len(word) else ""
    after = word[pos + 2] if pos + 2 < len(word) else ""
    if nxt == "s" and not is_vowel(after) and after not in ("s", "h"):
        return ph + "S", pos + 1
    return ph, pos


def _c_rule(c, pos):
    if c.n1 == "h":
        return "x", pos + 1
    if c.n1 != "" and c.n1 in "aáâãôóouúrl":
        return "k", pos
    if c.n1 in ("c", "ç"):
        return "ks", pos + 1
    if c.n1 == "k":
        return "k", pos + 1
    if is_vowel(c.n1):
        return "s", pos
    return "ki", pos


def _s_rule(c, pos):
    if c.n1 == "h":
        return "x", pos + 1
    if c.last:
        return "S", pos
    if (c.n1, c.n2) in (("ã", "o"), ("õ", "e")):
        return ("z" if is_vowel(c.p1) else "s"), pos
    if is_vowel(c.p1) and is_vowel(c.n1):
        return "z", pos
    if is_vowel(c.p1) and c.n1 in ("c", "ç"):
        return "s", pos + 1
    if c.first and not is_vowel(c.n1):
        return "iS", pos
    if c.n1 != "s" and c.p1 != "":
        return ("s" if is_vowel(c.n1) else "S"), pos
    if c.n1 == "s":
        return ("S" if c.n2 == "" else "s"), pos + 1
    return "s", pos


def _x_rule(c, pos):
    if c.n1 == "c" and is_vowel(c.n2):
        return "s", pos + 1
    if c.last:
        return "kyS", pos
    if c.p3 == "p" and c.p2 == "r" and c.p1 in ("o", "ó"):
        return "s", pos
    if (c.p2 == "f" and c.p1 == "i") or (c.p3 in ("p", "f") and c.p2 == "l"):
        return ("kys" if is_vowel(c.n1) else "kyS"), pos
    if c.n1 == "y":
        return "kysi", pos + 1
    if c.first:
        return "x", pos
    if c.p1 != "e":
        return ("x" if is_vowel(c.n1) else "S"), pos
    if not is_vowel(c.n1):
        return "S", pos
    if c.p2 == "s":
        return "kys", pos
    if c.p2 != "m":
        return "z", pos
    return "x", pos


def _consonant(c, pos):
    cur = c.cur
    if cur == "c":
        return _c_rule(c, pos)
    if cur == "ç":
        return "s", pos
    if cur == "g":
        if c.n1 == "ü":
            return "gw", pos + 1
        if c.n1 != "" and c.n1 in "eêéií":
            return "j", pos
        if c.n1 == "u" and c.n2 != "" and c.n2 in "eéêií":
            return "g", pos + 1
        return "g", pos
    if cur == "h":
        return "", pos
    if cur == "l":
        if c.n1 == "h":
            return "h", pos + 1
        return ("" if c.p1 == "l" else "l"), pos
    if cur == "m":
        return "m", pos
    if cur == "n":
        return ("ñ", pos + 1) if c.n1 == "h" else ("n", pos)
    if cur == "q":
        if c.n1 == "ü":
            return "kw", pos + 1
        if c.first and c.n1 == "u" and c.n2 in ("a", "á"):
            return "kw", pos + 1
        return "k", pos + (1 if c.n1 == "u" else 0)
    if cur == "r":
        if c.last:
            return "%", pos
        if c.first:
            return "R", pos
        if c.n1 == "r":
            return "R", pos + 1
        return "r", pos
    if cur == "s":
        return _s_rule(c, pos)
    if cur == "t":
        if c.n1 == "c" and c.n2 == "h":
            return "x", pos + 2
        return "t", pos
    if cur == "x":
        return _x_rule(c, pos)
    if cur == "z":
        return ("z" if is_vowel(c.n1) else "S"), pos
    return "", pos


def transcribe_letter(word, pos):
    """(phonemes, last consumed position), positions 0-based."""
    c = _Ctx(word, pos)
    if c.cur in "aáàâãeéêiíyoóôõuúüw":
        ph, pos = _vowel_sound(c, pos)
        if len(ph) == 1 and is_vowel(ph):
            ph, pos = _coda(c, word, pos, ph)
        return ph, min(pos, len(word) - 1)
    ph, pos = _consonant(c, pos)
    return ph, min(pos, len(word) - 1)


# ---- Stress and the letter walk -------------------------------------------------


def _vowel_at_or_before(word, k):
    while k >= 0 and not is_vowel(word[k]):
        k -= 1
    return k


def _closed_by_r(word, v):
    return v + 1 < len(word) and word[v + 1] == "r" and not (v + 2 < len(word) and is_vowel(word[v + 2]))


def _nucleus_from(word, k):
    v = _vowel_at_or_before(word, k)
    if v < 0:
        return -1
    if _closed_by_r(word, v):
        return v
    if v == 0:
        return -1
    before = word[v - 1]
    if before in "áéíóú" and word[v] == "a":
        return v
    if is_vowel(before):
        return v - 1
    return v


def stress_position(word):
    """0-based index of the stressed letter, -1 when none is found."""
    for k in range(len(word) - 1, -1, -1):
        if word[k] in ACCENTED:
            return k
    penultimate = None
    for ending, pen in (("ão", False), ("õe", False), ("ões", False), ("a", True), ("e", True), ("o", True),
                        ("as", True), ("es", True), ("os", True), ("ens", True), ("em", True)):
        if word.endswith(ending):
            penultimate = pen
            break
    if penultimate is None:
        penultimate = len(word) >= 2 and len(word) != 3 and is_vowel(word[-1]) and is_vowel(word[-2])
    if not penultimate:
        return _nucleus_from(word, len(word) - 1)
    v = _vowel_at_or_before(word, len(word) - 1)
    if v < 0:
        return -1
    start = v
    if not _closed_by_r(word, v):
        start = v - 1
        if start >= 0 and word[start] == "u":
            start -= 1
    if start < 0:
        return -1
    return _nucleus_from(word, start)


def is_hard_cluster(word):
    run = 0
    limit = min(4, len(word))
    for k, ch in enumerate(word):
        if is_vowel(ch):
            run = 0
            continue
        run += 1
        if run >= limit:
            first = word[k - run + 1]
            return first not in "mnbp" or run == len(word)
    return False


def read_by_rule(word):
    """The letter rules' phonetic string for a lower-case word, with "`"."""
    stress = stress_position(word)
    result = "`" if stress < 0 else ""
    previous = ""
    p = 0
    n = len(word)
    while p < n:
        letter = word[p]
        segment = ""
        if letter == previous and letter in CONSONANT_LETTERS:
            pass
        elif letter in RULE_LETTERS and n > 1:
            if p == stress:
                result += "`"
                stress = -2
            segment, p = transcribe_letter(word, p)
        elif letter == "-":
            segment = "_"
        elif n == 1 and letter in "àá":
            segment = "a"
        elif letter in PHONEME_CODES:
            segment = letter
        if p == stress:
            result += ("i" if segment == "y" else segment) + "`"
        else:
            result += segment
        previous = letter
        p += 1
    return result


def syllabify(ph):
    """Inserts "-" before each syllable of a phonetic string without marks."""
    out = " -"
    prev_class = 0
    prev_ch = ""
    for k, ch in enumerate(ph):
        nxt = ph[k + 1] if k + 1 < len(ph) else ""
        cls = PHONE_CLASS.get(ch, 0)
        if (ch == "i" and nxt == "a") or (ch == "a" and nxt == "i"):
            out += ch + "-"
        elif cls == 1 and ch in NASAL_CODES and nxt != "S":
            out += ch + "-"
        elif cls == 6:
            out += ch + "-" if prev_class == 1 and nxt not in ("S", "%") else ch
        elif ch in ("%", "S"):
            out += ch + "-"
        elif 2 <= cls <= 5:
            if ch in ("r", "l") and prev_ch != "" and prev_ch in "bkdfgptv":
                out += ch
            elif out.endswith("-"):
                out += ch
            else:
                out += "-" + ch
        else:
            out += ch
        prev_class = cls
        prev_ch = ch
    if not out.endswith("-"):
        out += "-"
    return out + " "


# ---- Reading phonetic strings into phones ----------------------------------------


def read_phones(phonetic, syllabify_first):
    """(symbols, stress flags, stressed index) as the phonetic string reader
    makes them. Control sequences are skipped."""
    if syllabify_first and "-" not in phonetic:
        phonetic = syllabify(phonetic)
    symbols, stressed = [], []
    stressed_index = -1
    syllable_start = -1
    run = -1
    k = 0
    pending_stress = False
    while k < len(phonetic):
        ch = phonetic[k]
        if ch in "`'":
            count = len(symbols)
            if syllable_start >= 0:
                for j in range(syllable_start, count):
                    stressed[j] = True
            pending_stress = True
            run = count
            stressed_index = count
        elif ch == "\\":
            k += 1
            while k < len(phonetic) and (phonetic[k].isalpha() or phonetic[k] in "0123456789.,"):
                k += 1
            continue
        elif ch == "-":
            syllable_start = len(symbols)
            run = -1
            pending_stress = False
        elif ch in PHONEME_CODES:
            count = len(symbols)
            if run == -1:
                flag = pending_stress
            elif count - run < 3:
                flag = True
            else:
                flag = False
                run = -1
            symbols.append(ch)
            stressed.append(flag)
            pending_stress = False
        k += 1
    return symbols, stressed, stressed_index


# ---- Language data ----------------------------------------------------------------


def rule_hash(key_bytes):
    total = 0
    for k, b in enumerate(key_bytes, 1):
        total = (total + k * b) & 0xFFFF
    return total % 255


class EngineModel:
    """The lexicon and rule tables of one language data file, and the word
    reading over them."""

    def __init__(self, lexicon, tag_rules, suffix_rules):
        self.lexicon = lexicon  # lower-case word -> (tag, transcription, flag, vclass, subclass)
        self.tag_rules = tag_rules  # key -> list of (left, right, replacement)
        self.suffix_rules = suffix_rules  # ending -> list of rule dicts, in file order

    @classmethod
    def from_file(cls, path):
        with open(path, "rb") as f:
            text = f.read().decode("cp1252")
        lines = text.replace("\r\n", "\n").split("\n")
        lexicon, tag_rules, suffix_rules = {}, {}, {}
        section = 0
        for line in lines:
            if line == "" or line.startswith("*"):
                section += 1
                continue
            if section == 0:
                f = line.split("\t")
                f += [""] * (7 - len(f))
                lexicon[f[0].lower()] = (f[1], f[2], int(f[3] or 0), int(f[4] or 0), f[5][:1])
            elif section == 1:
                f = (line.split("\t") + ["", "", "", ""])[:4]
                tag_rules.setdefault(f[0], []).append((f[1].strip(), f[2].strip(), f[3].strip()[:1]))
            elif section == 2:
                f = (line.split("\t") + [""] * 8)[:8]
                suffix_rules.setdefault(f[0], []).append({
                    "ending": f[0], "strip": int(f[1] or 0), "replacement": f[2], "phonetic": f[3],
                    "required": f[4], "mode": int(f[5] or 0), "subclass": f[6], "person": int(f[7] or 0)})
        return cls(lexicon, tag_rules, suffix_rules)

    # -- analyser --
    def _split_prefix(self, word):
        for a, b, minimum, before_vowel, before_consonant in (
                ("in", "im", 4, None, "ï"), ("re", "re", 4, "Re", "Re"), ("des", "des", 5, "dez", "deS"),
                ("em", "en", 4, None, "ë")):
            if word.startswith(a) or word.startswith(b):
                if len(word) < minimum:
                    return None
                rest = word[len(a):]
                entry = self.lexicon.get(rest)
                if entry is None:
                    return None
                if is_vowel(rest[0]):
                    reading = before_vowel or word[:len(a)]  # "inativo", "imoral": as written
                elif rest[0] == "s" and a == "des":
                    reading = "de"  # "dessemelhante"
                else:
                    reading = before_consonant
                return reading, entry
        return None

    def analyse(self, word):
        """(phonetic, tag, vclass, subclass, person) or None."""
        split = self._split_prefix(word)
        if split:
            prefix, entry = split
            return prefix + entry[1], entry[0] or "-", entry[3], entry[4], 0
        for length in range(min(7, len(word) - 1), 0, -1):
            ending = word[-length:]
            for rule in self.suffix_rules.get(ending, []):
                strip = min(rule["strip"], len(word))
                base = word[:len(word) - strip] + rule["replacement"]
                prefix = ""
                entry = self.lexicon.get(base)
                if entry is None:
                    split = self._split_prefix(base)
                    if not split:
                        continue
                    prefix, entry = split
                tag = entry[0].strip()
                if tag in ("D", "C", "R", "DC", "CR", "DCR"):
                    continue
                if rule["required"] == "F" and not (tag == "-" and entry[2] != 1):
                    continue
                if entry[3] == 10:
                    continue
                return self._join(prefix, entry, rule)
        return None

    @staticmethod
    def _join(prefix, entry, rule):
        base = entry[1]
        ending = rule["phonetic"]
        if rule["mode"] == 5:
            mark = next((k for k, ch in enumerate(base) if ch in "'`"), -1)
            if mark >= 0:
                for k in range(mark - 1, -1, -1):
                    if base[k] in PHONE_VOWELS or base[k] == "ã":
                        base = base[:k] + base[mark] + base[k:mark] + base[mark + 1:]
                        break
        else:
            first = next((k for k, ch in enumerate(ending) if ch not in "'`-"), -1)
            if base and first >= 0:
                last, nxt = base[-1], ending[first]
                vowel = nxt in PHONE_VOWELS or nxt == "ã"
                if last == "S" and vowel:
                    base = base[:-1] + "z"
                elif last == "S" and nxt in "rz":
                    base = base[:-1]
                elif last == "%" and vowel:
                    base = base[:-1] + "r"
                elif last == "%" and nxt == "s":
                    base = base[:-1] + "ri"
                elif last == "%" and nxt == "r":
                    base = base[:-1]
                elif last == "w" and vowel:
                    base = base[:-1] + "l"
                elif last == "m" and vowel:
                    base = base[:-1]
                    nasal = {"a": "ä", "e": "ë", "é": "ë", "i": "ï", "o": "ö", "ó": "ö", "u": "ü"}
                    ending = ending[:first] + nasal.get(nxt, nxt) + ending[first + 1:]
        r = len(rule["replacement"])
        cut = lambda s, n: s[:len(s) - n] if n < len(s) else ""
        if "'" in ending or "`" in ending:
            joined = cut(base, r).replace("'", "").replace("`", "") + ending
        elif r and ("'" in base[-r:] or "`" in base[-r:]):
            joined = cut(base, r + 1) + "'" + ending
        elif rule["replacement"] == "m":
            joined = base + ending
        else:
            joined = cut(base, r) + ending
        subclass = entry[4] if rule["subclass"] == " " else rule["subclass"][:1]
        return prefix + joined, entry[0] or "-", entry[3], subclass, rule["person"]

    # -- the whole word --
    def lookup(self, word):
        """(phonetic, tag, vclass, subclass, person, source)."""
        w = word.lower()
        entry = self.lexicon.get(w)
        if entry is not None:
            return entry[1], entry[0][:3], entry[3], entry[4], 0, "lexicon"
        found = self.analyse(w)
        if found and found[0]:
            return found + ("analyser",)
        tag = "D" if w.endswith("mente") and len(w) > 6 else "-"
        return "", tag, 0, " ", 0, "rules"

    def _resolve_tag(self, tag):
        tag = tag.strip()
        if len(tag) < 2:
            return tag
        for left, right, repl in self.tag_rules.get(tag, []):
            if all(ch == "'" for ch in left) and all(ch == "'" for ch in right):
                return repl
        return tag

    def spoken_phones(self, word, final_rules=True):
        """The phones of the word as spoken, a string of phoneme codes."""
        w = word.lower()
        phonetic, tag, vclass, subclass, person, source = self.lookup(w)
        if source == "rules":
            if is_hard_cluster(w):
                return ""
            phonetic = read_by_rule(w)
        symbols, stressed, si = read_phones(phonetic, source == "rules")
        tag = self._resolve_tag(tag)
        letter = tag[:1]
        if vclass and 0 <= si < len(symbols):
            symbols[si] = _adjust(symbols[si], vclass, letter, w, person)
        # Class 10 acts only after the number 1, never on a word alone.
        if final_rules:
            _final_vowel(symbols, stressed, w, letter)
            symbols = with_transitions(symbols)
        return "".join(s for s in symbols if s not in "_!")


_ROW7_BEFORE = set("bkdfgjhHlmnñprRstvxz")
_ROW7_AFTER = set("bkdfgjhHlmnñprR%sStvxz")


def _transition(p, n):
    """The segment the back end inserts between phones p and n ("" for none)."""
    if p in "lhHmnñRrs" and n == "_":
        return "i"
    if p == "_" and n in ("%", "S"):
        return "i"
    if p == "%" and n == "S":
        return "i"
    if p == "y" and n == "%":
        return "i"
    if p in "bkdfgptv" and n in ("r", "l"):
        return ""
    if p in ("%", "S") and n in ("%", "S"):
        return "i"
    if p in _ROW7_BEFORE and n in _ROW7_AFTER:
        return "i"
    if p in "äëïöüyw" and n in ("y", "w"):
        return "i"
    if p in "äëïöü" and n == "%":
        return "i"
    if p == "ó" and n in "ôoóö":
        return "_"
    if p == "ô" and n == "ö":
        return "_"
    return ""


def with_transitions(symbols):
    """The phones of a word spoken alone, with the vowels the back end
    inserts between phones (pneu as pineu) and at the ends."""
    out = []
    previous = "_"
    for s in list(symbols) + ["_"]:
        if s == "!":
            continue
        t = _transition(previous, s)
        if t:
            out.append(t)
        if s != "_":
            out.append(s)
        previous = s
    return [s for s in out if s != "_"]


def _adjust(sym, vclass, letter, word, person):
    def opened(s):
        return {"e": "é", "ê": "é", "o": "ó", "ô": "ó"}.get(s, s)

    def closed(s):
        return {"é": "e", "ó": "o"}.get(s, s)

    if vclass == 1:
        return opened(sym) if letter == "V" else closed(sym)
    if vclass == 2:
        return opened(sym) if word.endswith("a") or word.endswith("as") else sym
    if vclass == 3:
        return opened(sym)
    if vclass == 4:
        return opened(sym) if word.endswith("s") else sym
    if vclass == 6:
        return opened(sym) if person in (2, 3, 6) else sym
    if vclass == 7:
        return opened(sym) if person in (1, 2, 3, 6) else sym
    if vclass == 8:
        return opened(sym) if letter == "-" else closed(sym)
    return sym


def _final_vowel(symbols, stressed, word, letter):
    """Unstressed final e, o spoken as i, u (a word alone is the last of its
    chunk: words of up to three letters, or four ending in S, keep theirs)."""
    n = len(symbols)
    if n == 0:
        return
    length = len(word)
    for i in (n - 1, n - 2):
        if i < 0:
            continue
        if length <= 3 or (length == 4 and symbols[i] == "S"):
            continue
        if i == n - 2 and symbols[n - 1] != "S":
            continue
        if stressed[i]:
            continue
        if i >= 1 and symbols[i - 1] in ("y", "w"):
            continue
        if symbols[i] in ("e", "ê"):
            symbols[i] = "i"
        elif symbols[i] in ("o", "ô"):
            symbols[i] = "u"
