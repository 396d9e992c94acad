"""The generator's parts: inflection, pronunciation patterns over the
engine's readings, rule placement, sorting, and a whole build on a small
made-up data set. The engine's programs come from FALAVOZ_BIN (build/bin)."""

import os
import subprocess
import sys
import tempfile
import unittest

SOURCE = os.environ.get("FALAVOZ_SOURCE") or os.path.dirname(os.path.dirname(os.path.dirname(
    os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(SOURCE, "tools"))

import build_lexicon  # noqa: E402
import falavoz_rules  # noqa: E402
import heldout  # noqa: E402
import pronounce  # noqa: E402
import verb_forms  # noqa: E402


class WithEngine(unittest.TestCase):
    """Tests that ask the built engine; one falavoz_rules for the class."""

    @classmethod
    def setUpClass(cls):
        cls.rules = falavoz_rules.EngineRules()

    @classmethod
    def tearDownClass(cls):
        cls.rules.close()


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


class Readings(WithEngine):
    def setUp(self):
        self.reader = pronounce.Reader(self.rules)

    def test_engine_reading_aligned_to_letters(self):
        reading = self.rules.read("nascer")  # sc is one s, read from the s
        self.assertEqual(reading.phones, "nase%")
        self.assertEqual(reading.letters, [0, 1, 2, 4, 4])
        self.assertEqual(reading.stressed, 3)
        self.assertEqual(self.rules.read("cpf").phones, "")  # spelled out
        self.assertEqual(self.rules.read("x").phones, "")

    def test_short_acronyms_stay_out_of_the_lexicon(self):
        for word in ("fbi", "dna", "nba"):  # spelled out in capitals, by the engine
            self.assertFalse(build_lexicon.readable(word, self.rules), word)
        for word in ("pré", "crê", "cia", "spa", "pai", "fbis"):
            self.assertTrue(build_lexicon.readable(word, self.rules), word)

    def test_stressed_letter(self):
        for word, letter in (("casa", 1), ("falam", 1), ("também", 4), ("quando", 2), ("academia", 6),
                             ("saia", 1), ("ainda", 1), ("papai", 3), ("órfão", 0), ("rio", 1), ("atua", 2),
                             ("carioca", 4), ("coroa", 3), ("ruim", 2), ("ebro", 0), ("tro", 2)):
            self.assertEqual(self.rules.stressed_letter(word), letter, word)

    def test_x_reading_replaces_the_phones_of_its_letter(self):
        phones, letters, si = pronounce.with_reading_at(list("tórakyS"), [0, 1, 2, 3, 4, 4, 4], 1, 4, "ks")
        self.assertEqual(("".join(phones), letters, si), ("tóraks", [0, 1, 2, 3, 4, 4], 1))
        phones, _, si = pronounce.with_reading_at(list("ex`ato"), [0, 1, 1, 2, 3, 4], 3, 1, "z")
        self.assertEqual(("".join(phones), si), ("ezato", 2))
        self.assertEqual(pronounce.x_positions("exceto"), [])
        self.assertEqual(pronounce.x_positions("xaxim"), [0, 2])

    def test_an_x_that_begins_the_word_reads_as_the_others_do(self):
        model = pronounce.XModel(support=3)
        for word in ("xerife", "xampu", "xadrez"):
            model.add(word, 0, "x")
        for word in ("exílio", "exímio", "exíguo"):
            model.add(word, 1, "z")
        self.assertEqual(model.predict("xícara", 0), "x")  # not the z of the other xí
        self.assertEqual(model.predict("exílico", 1), "z")

    def test_transcriptions(self):
        for word, transcription in (
                ("casa", " -k'a-za"), ("falam", " -f'a-l@w"), ("também", " -tä-b'ë-i"), ("jovens", " -j'o-vë-iS"),
                ("quando", " -kw'ä-du"), ("aquarela", " -a-kwa-r'e-la"), ("frequente", " -fre-kw'ë-ti"),
                ("nascer", " -na-s'e%"), ("academia", " -a-ka-de-m'i-a"), ("capaz", " -ka-p'ayS"),
                ("botões", " -bo-t'ö-iS"), ("averiguar", " -a-ve-ri-gw'a%"), ("fitness", " -fi-t-n'eS"),
                ("carioca", " -ka-ri'o-ka")):
            self.assertEqual(self.reader.transcription(word), transcription, word)

    def test_pronunciations_choose_the_open_or_closed_vowels(self):
        self.assertEqual(self.reader.transcription("porta", refs={"pó%ta"}), " -p'ó%-ta")
        self.assertEqual(self.reader.transcription("bolo", refs={"bolu"}), " -b'o-lu")
        both = self.reader.transcriptions([("festa", None, {"féSta"}), ("medo", None, {"medu"}),
                                           ("reforma", None, {"Refó%ma"})])
        self.assertEqual(both, [" -f'éS-ta", " -m'e-du", " -Re-f'ó%-ma"])

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


class Derivation(WithEngine):
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
                 "nova": {"nóva"}, "velhas": {"véhaS"}, "novas": {"nóvaS"}}
        cases = {"rodas": {"RódaS"}, "mostram": {"móSträu"}, "pente": {"pëti"}, "ovos": None, "casa": None,
                 "belo": {"bélu"},  # the other gender shares a stressed e...
                 "velho": {"véhu"},  # ...as do the plurals...
                 "novo": None}  # ...but not an o
        for word, expected in cases.items():
            self.assertEqual(build_lexicon.sibling_readings(word, known, self.rules), expected, word)


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
        vowels = self.rules.vowels
        self.assertEqual(build_lexicon.with_stressed_vowel_of(" -ti-v'e%-muS", " -ti-v'é%", vowels), " -ti-v'é%-muS")
        self.assertEqual(build_lexicon.with_stressed_vowel_of(" -f'o-rë-i", " -f'o%", vowels), " -f'o-rë-i")


def suffix_rule(ending):
    return (ending, "0", "", "", "E", "0", " ", "0")


class RuleTables(WithEngine):
    def check_as_written(self, keys):
        """Has the engine load suffix rules of these keys, in this order."""
        rules = [suffix_rule(k) for k in keys]
        with tempfile.TemporaryDirectory() as tmp:
            path = os.path.join(tmp, "rules.lng")
            with open(path, "wb") as f:
                f.write(("*\r\n*\r\n" + "".join("\t".join(r) + "\r\n" for r in rules)).encode("cp1252"))
            build_lexicon.check_rules_reachable(path, [], rules, self.rules)

    def test_rules_of_one_key_are_kept_together_and_reachable(self):
        rules = [("a", "1"), ("s", "1"), ("a", "2"), ("es", "1"), ("a", "3")]
        ordered = build_lexicon.order_rules(rules)
        self.assertEqual(ordered[:3], [("a", "1"), ("a", "2"), ("a", "3")])  # most rules first, in file order
        self.check_as_written([r[0] for r in build_lexicon.order_rules([suffix_rule(k) for k in "aba"])])

    def test_a_rule_cut_off_from_its_key_is_refused(self):
        with self.assertRaises(ValueError):
            self.check_as_written(["a", "b", "a"])  # "b" takes the slot after "a"
        with self.assertRaises(ValueError):
            self.check_as_written(["k%d" % n for n in range(257)])  # more rules than slots


class VerbParadigms(WithEngine):
    def test_the_stem_vowel_by_conjugation_and_person(self):
        def opened(infinitive):
            return {form: is_open for form, _, is_open in verb_forms.stem_stressed_forms(infinitive)}

        self.assertEqual(opened("levar")["levo"], True)
        self.assertEqual(opened("fechar")["fecha"], False)  # e before a palatal
        self.assertEqual(opened("sonhar")["sonho"], False)  # before a nasal
        self.assertEqual(opened("olhar")["olha"], True)  # an o opens before a palatal
        self.assertEqual(opened("tocar")["toque"], True)  # the subjunctive keeps the consonant's sound
        self.assertEqual((opened("dever")["devo"], opened("dever")["deve"], opened("dever")["deva"]),
                         (False, True, False))
        self.assertEqual(opened("proteger")["proteja"], False)
        self.assertEqual(set(opened("pedir")), {"pedes", "pede", "pedem"})  # peço, peça are irregular
        self.assertEqual(opened("seguir")["segue"], True)
        for no_quality in ("pensar", "roubar", "voar", "passear"):
            self.assertEqual(verb_forms.stem_stressed_forms(no_quality), [], no_quality)

    def test_forms_take_their_vowel_and_noun_homographs_go_to_the_tag_rules(self):
        entries = {"come": {"tag": "E", "transcription": " -k'o-mi", "vclass": 0},
                   "como": {"tag": "C", "transcription": " -k'o-mu", "vclass": 0},
                   "jogo": {"tag": "E", "transcription": " -j'o-gu", "vclass": 0},
                   "quero": {"tag": "V", "transcription": " -k'e-ru", "vclass": 0}}
        build_lexicon.apply_verb_paradigms(entries, ["comer", "jogar", "querer"], {"jogo"},
                                           {"querer": {"1", "2", "3", "6"}}, self.rules)
        self.assertEqual(entries["come"], {"tag": "V", "transcription": " -k'ó-mi", "vclass": 0})
        self.assertEqual(entries["como"]["tag"], "C")  # a function word keeps its reading
        self.assertEqual(entries["jogo"], {"tag": "EV", "transcription": " -j'o-gu", "vclass": 1})
        self.assertEqual(entries["quero"]["transcription"], " -k'é-ru")


class HeldOut(unittest.TestCase):
    def test_held_out_words_take_no_curated_transcription(self):
        is_held_out = heldout.HeldOut()
        self.assertIn("festa", is_held_out)  # bucket 4
        self.assertNotIn("dela", is_held_out)  # bucket 4, but a function word
        for word in ("ok", "rock", "trouxe"):  # bucket 4, but a loanword or a hand-made verb form
            self.assertNotIn(word, is_held_out)
        self.assertIn("mães", is_held_out)  # bucket 4, an ordinary word of a curated list
        self.assertNotIn("casa", is_held_out)
        grammar_only = {"festa": {"transcription": "", "source": "irregular.tsv"}}
        build_lexicon.check_curated_held_out(grammar_only, {"festa"})
        with self.assertRaisesRegex(ValueError, "festa"):
            build_lexicon.check_curated_held_out(
                {"festa": {"transcription": " -f'éS-ta", "source": "irregular.tsv"}}, {"festa"})


class WholeBuild(WithEngine):
    """The generator on a made-up data set, twice: the same bytes, sorted,
    read back by the engine."""

    def write_data(self, directory):
        files = {
            "freq_ptbr.tsv": "casa\t100\nfesta\t90\nzebra\t80\névora\t70\nporta\t60\ndr\t50\n",
            "ud_ptbr_lexicon.tsv": ("casa\tcasa\tNOUN\t_\t5\nlevar\tlevar\tVERB\t_\t4\nleva\tlevar\tVERB\t_\t2\n"
                                    "novo\tnovo\tADJ\t_\t3\nde\tde\tADP\t_\t9\n"),
            "wikipron_dev.tsv": ("festa\tf ɛ s t a\nporta\tp ɔ ɾ t a\nleva\tl ɛ v a\nneva\tn ɛ v a\ndedo\td e d u\n"
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
                entries, _ = build_lexicon.build(tmp, build_lexicon.LEXICON_DIR, self.rules, truth_rank=0)
                build_lexicon.write_file(path, entries, build_lexicon.load_tag_rules(build_lexicon.LEXICON_DIR),
                                         build_lexicon.load_suffix_rules(build_lexicon.LEXICON_DIR), self.rules)
                with open(path, "rb") as f:
                    outputs.append(f.read())
            self.assertEqual(outputs[0], outputs[1])
            lines = outputs[0].decode("cp1252").split("\r\n*")[0].split("\r\n")
            words = [line.split("\t")[0].encode("cp1252") for line in lines]
            self.assertEqual(words, sorted(words))
            self.assertTrue(words[-1].startswith("évora".encode("cp1252")))  # é sorts after z
            self.assertNotIn(b"dr", words)  # a cluster the engine spells
            fields = {line.split("\t")[0]: line.split("\t") for line in lines}
            self.assertEqual(fields["levar"][4], "7")  # leva: stem vowel opens
            self.assertEqual(fields["sr."][2], " -se-ñ'o%")
            falavoz = falavoz_rules.find_program("falavoz")
            spoken = subprocess.run([falavoz, "--phones", "--lng", os.path.join(tmp, "one.lng")], input="levam\n",
                                    capture_output=True, text=True, encoding="utf-8", check=True).stdout
            self.assertEqual(spoken.strip(), "lév@w")  # through the suffix rules


if __name__ == "__main__":
    unittest.main()
