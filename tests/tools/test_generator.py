"""The generator's parts: inflection, pronunciation patterns, rule placement,
sorting, and a whole build on a small made-up data set."""

import os
import sys
import tempfile
import unittest

SOURCE = os.environ.get("FALAVOZ_SOURCE") or os.path.dirname(os.path.dirname(os.path.dirname(
    os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(SOURCE, "tools"))

import build_lexicon  # noqa: E402
import engine_model  # noqa: E402
import pronounce  # noqa: E402


class Inflection(unittest.TestCase):
    def test_plural_and_feminine(self):
        for word, plural in (("casa", "casas"), ("canção", "canções"), ("homem", "homens"), ("animal", "animais"),
                             ("papel", "papéis"), ("amável", "amáveis"), ("farol", "faróis"), ("mar", "mares"),
                             ("luz", "luzes"), ("lápis", None)):
            self.assertEqual(build_lexicon.plural(word), plural, word)
        self.assertEqual(build_lexicon.feminine("novo"), "nova")
        self.assertEqual(build_lexicon.feminine("professor"), "professora")
        self.assertIsNone(build_lexicon.feminine("feliz"))
        self.assertIn("rapidamente", build_lexicon.inflections("rápido", {"ADJ": 3}))


class Readings(unittest.TestCase):
    def setUp(self):
        self.reader = pronounce.Reader(["frequen"])

    def test_stress(self):
        for word, letter in (("casa", 1), ("falam", 1), ("também", 4), ("quando", 2), ("academia", 6),
                             ("saia", 1), ("ainda", 1), ("papai", 3), ("órfão", 0), ("rio", 1), ("atua", 2)):
            self.assertEqual(pronounce.stress_position(word), letter, word)

    def test_transcriptions(self):
        for word, transcription in (
                ("casa", " -k'a-za"), ("falam", " -f'a-l@w"), ("também", " -tä-b'ë-i"), ("jovens", " -j'o-vë-iS"),
                ("quando", " -kw'ä-du"), ("aquarela", " -a-kwa-r'e-la"), ("frequente", " -fre-kw'ë-ti"),
                ("nascer", " -na-s'e%"), ("academia", " -a-ka-de-m'i-a"), ("capaz", " -ka-p'ayS"),
                ("botões", " -bo-t'ö-iS")):
            self.assertEqual(self.reader.transcription(word), transcription, word)

    def test_derived_words_keep_the_open_vowel_of_their_base(self):
        model = pronounce.OpennessModel(support=1)
        model.add("aberta", 2, "E", True)
        self.reader.openness = model
        self.assertIn("b'é", self.reader.transcription("aberta"))
        self.assertIn("bé", self.reader.transcription("abertamente"))
        self.assertIn("'ë", self.reader.transcription("abertamente"))
        self.assertEqual(self.reader._accented_base("historica"), "histórica")
        self.assertEqual(self.reader._accented_base("amavel"), "amável")

    def test_openness_model_follows_the_shared_endings(self):
        model = pronounce.OpennessModel()
        for word in ("janela", "panela", "tigela", "cadela", "capela"):
            model.add(word, len(word) - 3, "E", True)
        model.add("vela", 1, "E", False)
        for word in ("mesa", "defesa", "empresa", "princesa"):
            model.add(word, len(word) - 3, "E", False)
        model.add("presa", 2, "E", True)
        self.assertTrue(model.predict("costela", 4, "E"))  # a clear majority in -ela
        self.assertFalse(model.predict("surpresa", 5, "E"))  # -esa closed despite presa
        self.assertFalse(model.predict("povo", 1, "E"))  # nothing learned: closed


class Derivation(unittest.TestCase):
    def test_regular_derivations_of_known_words(self):
        vocabulary = {"biológico", "alérgico", "rápido", "feliz", "útil", "organização", "rápidas"}
        forms = build_lexicon.derived_words(vocabulary, lambda word: "E")
        for form in ("biologia", "biologias", "alergia", "rapidamente", "rápida", "felizmente", "utilmente",
                     "organizar"):
            self.assertIn(form, forms)
        self.assertNotIn("rápidas", forms)  # already known
        self.assertEqual(forms, sorted(forms))

    def test_forms_take_the_vowels_of_their_pronounced_sibling(self):
        known = {"roda": {"Róda"}, "mostra": {"móStra"}, "ovo": {"ovu"}, "pentes": {"pëtiS"}, "bela": {"béla"},
                 "nova": {"nóva"}}
        cases = {"rodas": {"RódaS"}, "mostram": {"móSträu"}, "pente": {"pëti"}, "ovos": None, "casa": None,
                 "belo": {"bélu"},  # the other gender shares a stressed e...
                 "novo": None}  # ...but not an o
        for word, expected in cases.items():
            self.assertEqual(build_lexicon.sibling_readings(word, known), expected, word)


    def test_irregular_future_subjunctives_keep_their_stressed_vowel(self):
        rows = [
            "tiver\tter\tVERB\tMood=Sub|Number=Sing|Person=3|Tense=Fut|VerbForm=Fin\t4",
            "chegar\tchegar\tVERB\tMood=Sub|Number=Sing|Person=3|Tense=Fut|VerbForm=Fin\t9",
            "fizeram\tfazer\tVERB\t_\t3",  # the preterite shows the stem
            "comeram\tcomer\tVERB\t_\t2",
            "caíram\tcair\tVERB\t_\t2",
            "superam\tsuperar\tVERB\t_\t1",
        ]
        with tempfile.TemporaryDirectory() as data:
            with open(os.path.join(data, "ud_ptbr_lexicon.tsv"), "w", encoding="utf-8") as f:
                f.write("\n".join(rows) + "\n")
            self.assertEqual(build_lexicon.irregular_future_subjunctives(data), ["fizer", "tiver"])
        self.assertEqual(build_lexicon.with_stressed_vowel_of(" -ti-v'e%-muS", " -ti-v'é%"), " -ti-v'é%-muS")
        self.assertEqual(build_lexicon.with_stressed_vowel_of(" -f'o-rë-i", " -f'o%"), " -f'o-rë-i")


class RuleTables(unittest.TestCase):
    def test_rules_of_one_key_are_kept_together_and_reachable(self):
        rules = [("a", "1"), ("s", "1"), ("a", "2"), ("es", "1"), ("a", "3")]
        ordered = build_lexicon.order_rules(rules)
        self.assertEqual([r for r in ordered if r[0] == "a"], [("a", "1"), ("a", "2"), ("a", "3")])
        slots = build_lexicon.place_rules([r[0] for r in ordered])
        a_slots = [s for s, r in zip(slots, ordered) if r[0] == "a"]
        self.assertEqual(a_slots, list(range(a_slots[0], a_slots[0] + 3)))

    def test_a_rule_cut_off_from_its_key_is_refused(self):
        home = engine_model.rule_hash(b"a")
        other = next(k for k in ("b", "c", "d", "f", "g", "h") if engine_model.rule_hash(k.encode()) == home + 1)
        with self.assertRaises(ValueError):
            build_lexicon.place_rules(["a", other, "a"])
        with self.assertRaises(ValueError):
            build_lexicon.place_rules(["x"] * 257)


class WholeBuild(unittest.TestCase):
    """The generator on a made-up data set, twice: the same bytes, sorted,
    read back by the model of the engine."""

    def write_data(self, directory):
        files = {
            "freq_ptbr.tsv": "casa\t100\nfesta\t90\nzebra\t80\névora\t70\nporta\t60\ndr\t50\n",
            "ud_ptbr_lexicon.tsv": ("casa\tcasa\tNOUN\t_\t5\nlevar\tlevar\tVERB\t_\t4\nleva\tlevar\tVERB\t_\t2\n"
                                    "novo\tnovo\tADJ\t_\t3\nde\tde\tADP\t_\t9\n"),
            "wikipron_dev.tsv": ("festa\tf ɛ s t a\nporta\tp ɔ ɾ t a\nleva\tl ɛ v a\nneva\tn ɛ v a\nmedo\tm e d u\n"
                                 "zebra\tz e b ɾ a\n"),
        }
        for name, text in files.items():
            with open(os.path.join(directory, name), "w", encoding="utf-8") as f:
                f.write(text)

    def test_deterministic_sorted_and_readable(self):
        with tempfile.TemporaryDirectory() as tmp:
            self.write_data(tmp)
            outputs = []
            for name in ("one.lng", "two.lng"):
                path = os.path.join(tmp, name)
                entries, _ = build_lexicon.build(tmp, build_lexicon.LEXICON_DIR, truth_rank=0)
                build_lexicon.write_file(path, entries, build_lexicon.load_tag_rules(build_lexicon.LEXICON_DIR),
                                         build_lexicon.load_suffix_rules(build_lexicon.LEXICON_DIR))
                with open(path, "rb") as f:
                    outputs.append(f.read())
            self.assertEqual(outputs[0], outputs[1])
            words = [line.split(b"\t")[0] for line in outputs[0].split(b"\r\n*")[0].split(b"\r\n")]
            self.assertEqual(words, sorted(words))
            self.assertTrue(words[-1].startswith("évora".encode("cp1252")))  # é sorts after z
            self.assertNotIn(b"dr", words)  # a cluster the engine spells
            model = engine_model.EngineModel.from_file(os.path.join(tmp, "one.lng"))
            self.assertEqual(model.lexicon["levar"][3], 7)  # leva: stem vowel opens
            self.assertEqual(model.lexicon["sr."][1], " -se-ñ'o%")
            self.assertEqual(model.spoken_phones("levam"), "lév@w")  # through the suffix rules


if __name__ == "__main__":
    unittest.main()
