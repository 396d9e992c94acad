"""The comparison of pronunciations: one alphabet for IPA and the engine's
phones, the scores, and espeak-ng's side."""

import io
import os
import shutil
import sys
import tempfile
import unittest
from contextlib import redirect_stdout

SOURCE = os.environ.get("FALAVOZ_SOURCE") or os.path.dirname(os.path.dirname(os.path.dirname(
    os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(SOURCE, "tools"))

import evaluate  # noqa: E402
import phonecompare as pc  # noqa: E402


class Normalisation(unittest.TestCase):
    def test_ipa(self):
        for ipa, expected in (
                ("ˈka.za", "kaza"),  # stress and syllable marks
                ("d͡ʒ i a", "dia"), ("t͡ʃ i", "ti"), ("tʃi", "ti"),  # tʃ dʒ as t d
                ("ɲ ʎ a", "ñha"), ("ʃ a ʒ a", "xaja"), ("f ɛ s t ɐ", "féSta"), ("p ɔ ɾ t a", "pó%ta"),
                ("p ɪ", "pi"), ("p ʊ", "pu"), ("k ɐ̃ t u", "kätu"),
                ("p a w z a", "pauza"), ("p a ʊ z a", "pauza"),  # a glide after a vowel
                ("ʁ a t u", "Ratu"), ("k a x u", "kaRu"), ("k a ɾ u", "karu"), ("õ ʁ a", "öRa"),
                ("m a ʁ", "ma%"), ("p ɾ a", "pra"), ("k ɐ̃ m ɐ", "kama"),  # nasal before m counts as oral
                ("f e s t ɐ", "feSta"), ("m e s", "meS"),  # coda sibilants
                ("kˈɐ̃ŋdʊ", "kädu"), ("tˈeɪmpʊ", "tëpu"), ("bˈeɪŋ", "bëi"),  # espeak-ng's nasals
                ("pˈɔɾətæ", "pó%ta"), ("ˈoljʊ", "ohu")):  # its coda r and lh
            self.assertEqual(pc.normalise_ipa(ipa), expected, ipa)

    def test_engine(self):
        for phones, expected in ((" -k'a-za", "kaza"), ("f@w", "fäu"), ("mas@", "masä"), ("k@ma", "kama"),
                                 ("pó%ta", "pó%ta"), ("karu", "karu"), ("kaRu", "kaRu"), ("Ratu", "Ratu"),
                                 ("rätu", "Rätu"), ("feSta", "feSta"), ("meS", "meS"), ("pawza", "pauza"),
                                 ("t@b_ëi!", "täbëi")):
            self.assertEqual(pc.normalise_engine(phones), expected, phones)

    def test_the_same_word_from_every_side(self):
        self.assertEqual(pc.normalise_ipa("t ɐ̃ b ẽ j̃"), pc.normalise_engine("t@b'ëi"))
        self.assertEqual(pc.normalise_ipa("f a l ɐ̃ w̃"), pc.normalise_engine("f'al@w"))
        self.assertEqual(pc.normalise_ipa("fˈalɐ̃ʊ̃"), pc.normalise_engine("f'al@w"))

    def test_mid_vowel_pairs(self):
        self.assertEqual(pc.mid_vowel_pairs("féSta", "feSta"), [("é", "e")])
        self.assertEqual(pc.mid_vowel_pairs("bolu", "bólu"), [("o", "ó")])
        self.assertEqual(pc.mid_vowel_pairs("eli", "ili"), [])  # not an open/closed decision


class Scores(unittest.TestCase):
    def test_any_row_counts_and_vowels_against_the_closest_row(self):
        rows = {"ele": ["e l i", "ɛ l i"], "festa": ["f ɛ s t ɐ"], "bolo": ["b o l u"]}
        readings = {"engine": {"ele": "éli", "festa": "feSta", "bolo": "bolu"}}
        scores = evaluate.evaluate(rows, readings, {"engine": pc.normalise_engine})
        s = scores["engine"]
        self.assertEqual((s.words, s.right), (3, 2))
        self.assertEqual((s.vowel_pairs, s.vowel_right), (3, 2))
        out = io.StringIO()
        evaluate.report(scores, out)
        self.assertIn("66.67%", out.getvalue())

    def test_tokens_weigh_each_word_by_its_count_and_skip_words_without_one(self):
        rows = {"de": ["d ʒ i"], "festa": ["f ɛ s t ɐ"], "bolo": ["b o l u"]}
        readings = {"engine": {"de": "di", "festa": "feSta", "bolo": "bolu"},
                    "espeak": {"de": "dʒi", "festa": "fɛstɐ", "bolo": "bolu"}}
        normalisers = {"engine": pc.normalise_engine, "espeak": pc.normalise_ipa}
        scores = evaluate.evaluate(rows, readings, normalisers, {"de": 900, "festa": 100})
        self.assertEqual((scores["engine"].tokens, scores["engine"].tokens_right), (1000, 900))
        self.assertEqual((scores["espeak"].tokens, scores["espeak"].tokens_right), (1000, 1000))
        out = io.StringIO()
        evaluate.report(scores, out)
        self.assertIn("90.00%", out.getvalue())
        self.assertIn("tokens inf%", out.getvalue())  # espeak-ng made no token error


@unittest.skipUnless(shutil.which("espeak-ng"), "espeak-ng is not installed")
class EspeakSide(unittest.TestCase):
    def test_a_small_file(self):
        with tempfile.TemporaryDirectory() as tmp:
            path = os.path.join(tmp, "words.tsv")
            with open(path, "w", encoding="utf-8") as f:
                f.write("casa\tk a z a\ncasa\tk a z ɐ\nporta\tp ɔ ɾ t ɐ\nfesta\tf ɛ s t ɐ\n"
                        "bola\tb ɔ l ɐ\ntambém\tt ɐ̃ b ẽ j̃\n")
            out = io.StringIO()
            with redirect_stdout(out):
                self.assertEqual(evaluate.main([path, "--systems", "espeak", "--errors",
                                                os.path.join(tmp, "e")]), 0)
            line = [ln for ln in out.getvalue().splitlines() if ln.startswith("espeak")][0]
            self.assertEqual(line.split()[1], "5")
            self.assertGreaterEqual(float(line.split()[2].rstrip("%")), 80.0)


if __name__ == "__main__":
    unittest.main()
