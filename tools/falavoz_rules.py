"""The engine's own readings for the language data tools.

The tools hold no copy of the engine's letter, stress or unknown-word rules:
they ask the built engine. Two programs of the build answer them (found in
FALAVOZ_BIN, else in build/bin of the repository):
  falavoz_rules   (tools/rule_readings.cpp) a word read by the letter rules
                  alone, phone by phone with the letter of each phone and the
                  stressed phone; phonetic strings in syllables; the accent
                  the ending of a derived word's base implies; the vowel
                  codes; how the engine places the rules of a language file;
  falavoz         --phones: the phones the engine speaks for a transcription.
"""

import collections
import os
import subprocess
import tempfile

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# Requests sent before their answers are read: small enough that neither
# pipe fills up while the other side waits.
CHUNK = 200

RuleReading = collections.namedtuple("RuleReading", "phones letters stressed")


def find_program(name, bin_dir=None):
    """The path of a program of the build, or an error that says how to make it."""
    directories = [bin_dir] if bin_dir else [os.environ.get("FALAVOZ_BIN"), os.path.join(REPO, "build", "bin")]
    for directory in directories:
        if directory and os.path.exists(os.path.join(directory, name)):
            return os.path.join(directory, name)
    raise FileNotFoundError(
        "%s is not built: run `cmake --build build --target falavoz_rules falavoz` in the repository, "
        "or point FALAVOZ_BIN (or --bin) at the directory that holds it (looked in %s)"
        % (name, ", ".join(d for d in directories if d)))


class EngineRules:
    """One falavoz_rules process, with the answers kept, and falavoz --phones
    for the spoken phones."""

    def __init__(self, bin_dir=None):
        self._falavoz = find_program("falavoz", bin_dir)
        self._process = subprocess.Popen([find_program("falavoz_rules", bin_dir)], stdin=subprocess.PIPE,
                                         stdout=subprocess.PIPE, text=True, encoding="utf-8", bufsize=1)
        self._readings = {}
        self._syllables = {}
        self._accented = {}
        self._spoken = {}
        self.vowels = frozenset(self._ask(["vowels"])[0])

    def close(self):
        if self._process.poll() is None:
            self._process.stdin.close()
            self._process.wait()
        self._process.stdout.close()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def _ask(self, requests):
        answers = []
        for start in range(0, len(requests), CHUNK):
            chunk = requests[start:start + CHUNK]
            self._process.stdin.write("".join(r + "\n" for r in chunk))
            self._process.stdin.flush()
            for _ in chunk:
                line = self._process.stdout.readline()
                if not line:
                    raise RuntimeError("falavoz_rules stopped answering")
                answers.append(line.rstrip("\n"))
        return answers

    def read_all(self, words):
        """Reads the words not read yet in one go (see read)."""
        missing = sorted({w for w in words if w not in self._readings})
        for word, answer in zip(missing, self._ask(["read\t" + w for w in missing])):
            phones, letters, stressed = answer.split("\t")
            self._readings[word] = RuleReading(phones, [int(k) for k in letters.split()], int(stressed))

    def read(self, word):
        """The word read by the letter rules alone: RuleReading(phones, the
        0-based letter of each phone, the stressed phone or -1); no phones for
        a word the engine spells out or that has no vowel."""
        if word not in self._readings:
            self.read_all([word])
        return self._readings[word]

    def stressed_letter(self, word):
        reading = self.read(word)
        return reading.letters[reading.stressed] if 0 <= reading.stressed < len(reading.phones) else -1

    def syllables(self, phonetic):
        """A phonetic string (stress mark "`") cut into syllables by the engine."""
        if phonetic not in self._syllables:
            self._syllables[phonetic] = self._ask(["syllables\t" + phonetic])[0]
        return self._syllables[phonetic]

    def accented(self, base):
        """The base of a derived word with the written accent that its ending
        implies (historica: histórica; amavel: amável), else as it is."""
        if base not in self._accented:
            self._accented[base] = self._ask(["accented\t" + base])[0]
        return self._accented[base]

    def spoken(self, transcriptions):
        """The phones the engine speaks for each lexicon transcription."""
        missing = sorted({t for t in transcriptions if t not in self._spoken})
        if missing:
            with tempfile.TemporaryDirectory() as tmp:
                empty = os.path.join(tmp, "empty.lng")
                with open(empty, "wb") as f:
                    f.write(b"*\r\n*\r\n")
                # A phonetic section, so that the text is read as written.
                text = "".join("\\*%s\\*\n" % t for t in missing)
                result = subprocess.run([self._falavoz, "--phones", "--lng", empty], input=text,
                                        capture_output=True, text=True, encoding="utf-8", check=False)
            lines = result.stdout.splitlines()
            if result.returncode != 0 or len(lines) != len(missing):
                raise RuntimeError("falavoz --phones failed: %s" % result.stderr.strip())
            self._spoken.update(zip(missing, lines))
        return [self._spoken[t] for t in transcriptions]

    def reached_rules(self, path):
        """(load result, {tag rule key: rules reached}, {suffix rule key: rules
        reached}) of a language data file, as the engine places its rules."""
        status, tags, suffixes = (self._ask(["rules\t" + os.path.abspath(path)])[0].split("\t") + ["", ""])[:3]

        def counts(items):
            return {key: int(n) for key, n in (item.rsplit("=", 1) for item in items.split())}

        return int(status), counts(tags), counts(suffixes)
