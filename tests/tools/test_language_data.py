"""The shipped data/brport.lng: its form, the curated lists in it, and how
the engine reads some reference words with it."""

import os
import shutil
import subprocess
import sys
import unittest

SOURCE = os.environ.get("FALAVOZ_SOURCE") or os.path.dirname(os.path.dirname(os.path.dirname(
    os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(SOURCE, "tools"))

import build_lexicon  # noqa: E402
import falavoz_rules  # noqa: E402

LNG = os.path.join(SOURCE, "data", "brport.lng")
# The engine's phonetic notation (data/README.md), with the syllable and
# stress marks.
PHONEME_MARKS = set("a@äeéëiïoóöuüywbdfghjklmnñprR%sStvxz_êôHã") | set(" -'")


def read_sections():
    with open(LNG, "rb") as f:
        raw = f.read()
    text = raw.decode("cp1252")
    lines = text.split("\r\n")
    sections, current = [], []
    for line in lines[:-1]:
        if line == "" or line.startswith("*"):
            sections.append(current)
            current = []
        else:
            current.append(line)
    sections.append(current)
    return raw, lines, sections


class ShippedFileForm(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.raw, cls.lines, cls.sections = read_sections()

    def test_crlf_lines_and_three_sections(self):
        self.assertNotIn(b"\n", self.raw.replace(b"\r\n", b""))
        self.assertTrue(self.raw.endswith(b"\r\n"))
        self.assertEqual(len(self.sections), 3)
        self.assertGreater(len(self.sections[0]), 9001, "the lexicon outgrew the old table on purpose")

    def test_lexicon_sorted_by_byte_order_without_duplicates(self):
        keys = [line.split("\t", 1)[0].lower().encode("cp1252") for line in self.sections[0]]
        for previous, current in zip(keys, keys[1:]):
            self.assertLess(previous, current)

    def test_lexicon_fields(self):
        for line in self.sections[0]:
            fields = line.split("\t")
            self.assertGreaterEqual(len(fields), 7, line)  # six fields, each followed by a TAB
            word, tag, transcription, flag, vclass, subclass = fields[:6]
            self.assertEqual(word, word.lower(), line)
            self.assertTrue(1 <= len(tag) <= 3 and set(tag) <= set("CDEPRTV-"), line)
            self.assertTrue(transcription.startswith(" -"), line)
            self.assertLessEqual(set(transcription), PHONEME_MARKS, line)
            self.assertEqual(flag, "0", line)
            self.assertIn(int(vclass), range(11), line)
            self.assertEqual(len(subclass), 1, line)

    def test_rule_tables_fit_and_every_rule_is_reachable(self):
        tag_rules, suffix_rules = self.sections[1], self.sections[2]
        for rules, width in ((tag_rules, 4), (suffix_rules, 8)):
            self.assertLessEqual(len(rules), build_lexicon.RULE_SLOTS)
            for line in rules:
                self.assertEqual(len(line.split("\t")), width, line)
        with falavoz_rules.EngineRules() as engine:
            build_lexicon.check_rules_reachable(LNG, [line.split("\t") for line in tag_rules],
                                                [line.split("\t") for line in suffix_rules], engine)
        for line in suffix_rules:
            fields = line.split("\t")
            for number in (fields[1], fields[5], fields[7]):
                self.assertIn(int(number), range(256), line)

    def test_curated_lists_round_trip(self):
        lexicon = {line.split("\t", 1)[0]: line.split("\t") for line in self.sections[0]}
        curated = build_lexicon.load_curated(build_lexicon.LEXICON_DIR)
        self.assertIn("sr.", curated)
        for word, entry in curated.items():
            fields = lexicon.get(word)
            self.assertIsNotNone(fields, word)
            self.assertEqual(fields[1], entry["tag"], word)
            if entry["transcription"]:
                self.assertEqual(fields[2], entry["transcription"], word)
            self.assertEqual(int(fields[4]), entry["vclass"], word)
            self.assertEqual(fields[5], entry["subclass"], word)
        tag_rules = build_lexicon.load_tag_rules(build_lexicon.LEXICON_DIR)
        self.assertEqual(sorted("\t".join(r) for r in tag_rules), sorted(self.sections[1]))
        suffix_rules = build_lexicon.load_suffix_rules(build_lexicon.LEXICON_DIR)
        self.assertEqual(sorted("\t".join(r) for r in suffix_rules), sorted(self.sections[2]))
        # Rules for one ending keep their order.
        shipped = [line.split("\t") for line in self.sections[2]]
        for ending in ("a", "e", "o", "s"):
            self.assertEqual([r for r in suffix_rules if r[0] == ending],
                             [tuple(r) for r in shipped if r[0] == ending])



class SpokenUStems(unittest.TestCase):
    """data/lexicon/spoken_u.txt is the engine's own list: the build makes it
    part of the engine."""

    def test_the_engine_speaks_the_u_of_every_stem(self):
        with open(os.path.join(build_lexicon.LEXICON_DIR, "spoken_u.txt"), encoding="utf-8") as f:
            stems = [line.strip() for line in f if line.strip() and not line.startswith("#")]
        self.assertIn("frequen", stems)
        with falavoz_rules.EngineRules() as engine:
            for stem in stems:
                with self.subTest(stem=stem):
                    # Before e the u is silent unless the stem says otherwise.
                    phones = engine.read(stem + "e").phones
                    self.assertTrue("kw" in phones or "gw" in phones, phones)
            self.assertNotIn("kw", engine.read("querer").phones)
            self.assertNotIn("gw", engine.read("seguinte").phones)


def falavoz():
    program = os.path.join(os.environ.get("FALAVOZ_BIN", ""), "falavoz")
    return program if os.path.exists(program) else shutil.which("falavoz")


@unittest.skipUnless(falavoz(), "falavoz is not built (set FALAVOZ_BIN)")
class EngineReadsReferenceWords(unittest.TestCase):
    """A handful of words per feature, read by the engine with the shipped file."""

    @classmethod
    def setUpClass(cls):
        cls.lines = [
            "festa", "porta", "bola", "pedra", "ela", "nova",  # open
            "medo", "bolo", "ele", "novo",  # closed
            "táxi", "exame", "próximo",  # x
            "eu gosto", "o gosto",  # noun or verb
            "O Sr. Silva mora na Av. Paulista, a 1 km daqui.",
            "falam", "também", "jovens", "quando", "frequente", "academia", "nascer", "capaz",
            "rapidamente", "abertamente", "levam", "bebe",
        ]
        result = subprocess.run([falavoz(), "--phones", "--lng", LNG], input="\n".join(cls.lines) + "\n",
                                capture_output=True, text=True, encoding="utf-8", check=False)
        cls.returncode = result.returncode
        cls.stderr = result.stderr
        cls.phones = dict(zip(cls.lines, result.stdout.splitlines()))

    def test_loads(self):
        self.assertEqual(self.returncode, 0, self.stderr)  # TTS_Init returned 0
        self.assertEqual(len(self.phones), len(self.lines))

    def test_open_and_closed_stressed_vowels(self):
        for word, vowel in (("festa", "é"), ("porta", "ó"), ("bola", "ó"), ("pedra", "é"), ("ela", "é"),
                            ("nova", "ó"), ("medo", "e"), ("bolo", "o"), ("ele", "e"), ("novo", "o"),
                            ("levam", "é"), ("bebe", "é")):
            with self.subTest(word=word):
                phones = self.phones[word]
                self.assertIn(vowel, phones[:3])
                self.assertNotIn({"é": "e", "ó": "o", "e": "é", "o": "ó"}[vowel], phones[:3])

    def test_x(self):
        self.assertIn("k", self.phones["táxi"])
        self.assertIn("s", self.phones["táxi"])
        self.assertTrue(self.phones["exame"].startswith("ez"))
        self.assertIn("ósi", self.phones["próximo"])

    def test_noun_or_verb_by_the_word_before(self):
        self.assertIn("gó", self.phones["eu gosto"])
        self.assertIn("go", self.phones["o gosto"])
        self.assertNotIn("gó", self.phones["o gosto"])

    def test_abbreviations_and_units(self):
        phones = self.phones["O Sr. Silva mora na Av. Paulista, a 1 km daqui."]
        self.assertIn("seño%", phones)
        self.assertIn("avenida", phones)
        self.assertIn("kilometru", phones)
        self.assertNotIn("kilometruS", phones)  # singular after "1"

    def test_abbreviation_dots_do_not_end_the_sentence(self):
        result = subprocess.run([falavoz(), "--pho", "--lng", LNG, self.lines[15]], capture_output=True,
                                text=True, encoding="utf-8", check=True)
        # One utterance: a single flush at its end, pauses only at the comma and the full stop.
        self.assertEqual(result.stdout.count("#"), 1)
        self.assertEqual(result.stdout.count("_ 290"), 2)

    def test_endings_and_letter_patterns(self):
        for line, part in (("falam", "@w"), ("também", "ëi"), ("jovens", "ëiS"), ("quando", "kw"),
                           ("frequente", "kwë"), ("academia", "mia"), ("nascer", "nase"), ("capaz", "ayS"),
                           ("rapidamente", "mëti"), ("abertamente", "bé")):
            with self.subTest(line=line):
                self.assertIn(part, self.phones[line])


if __name__ == "__main__":
    unittest.main()
