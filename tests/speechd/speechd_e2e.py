#!/usr/bin/python3
"""Falavoz under a real speech-dispatcher: a private server (its own
configuration, socket and logs) loads sd_falavoz from the build tree, whose
audio goes through ALSA's file device into a capture file at the pace of a
sound card. Clients are the real spd-say and the Python client Orca uses.

Exits 0 when every check passes; each failure is printed."""
import array
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, "/usr/lib/python3/dist-packages")
import speechd  # noqa: E402

BIN = os.environ["FALAVOZ_BIN"]
HERE = os.path.dirname(os.path.abspath(__file__))
RATE = 16000
failures = []


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what, flush=True)
    if not condition:
        failures.append(what)


def wait_for(predicate, timeout):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        if predicate():
            return True
        time.sleep(0.05)
    return predicate()


def samples(raw):
    a = array.array("h")
    a.frombytes(raw[: len(raw) // 2 * 2])
    return a


def loud(s):
    return s > 300 or s < -300


def inner_silences_ms(a):
    """The near silences between the first and the last sound, in order."""
    first = next((k for k, s in enumerate(a) if loud(s)), len(a))
    last = next((k for k in range(len(a) - 1, -1, -1) if loud(a[k])), -1)
    silences, run = [], 0
    for k in range(first, last + 1):
        if loud(a[k]):
            if run >= RATE // 10:
                silences.append(run * 1000 // RATE)
            run = 0
        else:
            run += 1
    return silences


class PrivateDispatcher:
    """speech-dispatcher on a socket of its own, with sd_falavoz only."""

    def __init__(self):
        self.dir = tempfile.mkdtemp(prefix="falavoz-speechd-")
        self.socket = os.path.join(self.dir, "socket")
        self.capture = os.path.join(self.dir, "audio.raw")
        conf = os.path.join(self.dir, "conf")
        os.makedirs(os.path.join(conf, "modules"))
        with open(os.path.join(conf, "speechd.conf"), "w") as f:
            f.write('DefaultModule falavoz\nDefaultLanguage "pt-BR"\nLogLevel 3\n')
        shutil.copy(os.path.join(os.environ["FALAVOZ_SOURCE"], "speechd", "falavoz.conf"),
                    os.path.join(conf, "modules"))
        open(self.capture, "wb").close()
        env = dict(os.environ, HOME=self.dir, XDG_RUNTIME_DIR=self.dir, XDG_CONFIG_HOME=self.dir,
                   FALAVOZ_DATA=BIN, SPEECHD_ADDRESS="unix_socket:" + self.socket,
                   FALAVOZ_ALSA_DEVICE='file:FILE="|%s %s",FORMAT=raw'
                   % (os.path.join(HERE, "paced_capture.py"), self.capture))
        self.env = env
        self.server = subprocess.Popen(
            ["speech-dispatcher", "-s", "-t", "0", "-C", conf, "-m", BIN, "-S", self.socket,
             "-c", "unix_socket", "-P", os.path.join(self.dir, "pid"), "-L", self.dir],
            env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.environ["SPEECHD_ADDRESS"] = env["SPEECHD_ADDRESS"]

    def ready(self):
        return wait_for(lambda: os.path.exists(self.socket), 15)

    def spd_say(self, *args):
        return subprocess.run(["spd-say", *args], env=self.env, timeout=30).returncode

    def captured(self):
        with open(self.capture, "rb") as f:
            return f.read()

    def settled(self):
        """The capture once it has stopped growing."""
        size, end = -1, time.monotonic() + 30
        while size != len(self.captured()) and time.monotonic() < end:
            size = len(self.captured())
            time.sleep(0.4)
        return self.captured()

    def close(self):
        self.server.terminate()
        try:
            self.server.wait(5)
        except subprocess.TimeoutExpired:
            self.server.kill()
            self.server.wait()
        if failures:
            for log in ("speech-dispatcher.log", "falavoz.log"):
                path = os.path.join(self.dir, log)
                if os.path.exists(path):
                    with open(path, errors="replace") as f:
                        print("---- " + log + "\n" + "".join(f.readlines()[-30:]))
        shutil.rmtree(self.dir, ignore_errors=True)


class Listener:
    """A client that speaks SSML and keeps the events of its messages."""

    def __init__(self):
        self.client = speechd.SSIPClient("falavoz-test", autospawn=False)
        self.client.set_output_module("falavoz")
        self.client.set_language("pt-BR")
        self.client.set_data_mode(speechd.DataMode.SSML)
        self.events = []
        self.ended = threading.Event()

    def on_event(self, kind, index_mark=None):
        if kind == speechd.CallbackType.INDEX_MARK:
            # Marks of the server's own, should it add any, are not the text's.
            if not index_mark.startswith("__"):
                self.events.append("mark " + index_mark)
        else:
            self.events.append(kind)
            if kind in (speechd.CallbackType.END, speechd.CallbackType.CANCEL):
                self.ended.set()

    def speak(self, ssml):
        self.events = []
        self.ended.clear()
        self.client.speak(ssml, callback=self.on_event)
        return self.ended.wait(30)

    def close(self):
        self.client.close()


def speaks_a_sentence(d):
    before = len(d.captured())
    started = time.monotonic()
    check(d.spd_say("-w", "-o", "falavoz", "-l", "pt-BR", "Bom dia, são 10:30.") == 0,
          "spd-say -w ends well")
    audio = samples(d.settled()[before:])
    seconds = len(audio) / RATE
    print("     %.2f s of audio, in %.2f s" % (seconds, time.monotonic() - started))
    check(1.5 < seconds < 6, "'Bom dia, são 10:30.' gives 1.5 to 6 s of audio")
    check(sum(1 for s in audio if loud(s)) > RATE // 2, "and it is not silent")


def ssml_break_and_marks(d, listener):
    ssml = ('<speak>Bom dia. <mark name="primeira"/>Vamos <break time="700ms"/> começar agora, '
            '<mark name="segunda"/>com calma.</speak>')
    pauses = {}
    for text, kind in ((ssml, "with"), (ssml.replace('<break time="700ms"/>', ""), "without")):
        before = len(d.captured())
        check(listener.speak(text), "the SSML message ends")
        # The client hears of a message's events only once the server has
        # answered it, and may miss its begin.
        events = listener.events[1:] if listener.events[:1] == ["begin"] else listener.events
        check(events == ["mark primeira", "mark segunda", "end"],
              "the two marks in order, then the end: %s" % listener.events)
        pauses[kind] = inner_silences_ms(samples(d.settled()[before:]))
        print("     pauses of 100 ms and more, %s the break: %s" % (kind, pauses[kind]))
    # The break is the one pause the text without it lacks.
    added = list(pauses["with"])
    for pause in pauses["without"]:
        nearest = min(added, key=lambda p: abs(p - pause), default=None)
        if nearest is not None and abs(nearest - pause) < 60:
            added.remove(nearest)
    check(len(added) == 1 and 680 <= added[0] <= 850,
          "the 700 ms break is a pause of 680 to 850 ms: %s" % added)


def stop_ends_a_long_text(d, listener):
    text = " ".join(["Esta é a frase número %d de um texto longo." % k for k in range(1, 40)])
    before = len(d.captured())
    listener.events = []
    listener.ended.clear()
    listener.client.set_data_mode(speechd.DataMode.TEXT)
    listener.client.speak(text, callback=listener.on_event)
    check(wait_for(lambda: len(d.captured()) - before > RATE * 2 * 2, 20), "a long text starts playing")
    asked = time.monotonic()
    at_ask = len(d.captured())
    check(d.spd_say("-S") == 0, "spd-say -S")
    check(listener.ended.wait(5), "the message ends after the stop")
    # spd-say itself takes a second or more to connect and ask.
    print("     stopped %.2f s after spd-say -S started, %.2f s of audio meanwhile"
          % (time.monotonic() - asked, (len(d.captured()) - at_ask) / (RATE * 2)))
    at_stop = len(d.captured())
    time.sleep(1.5)
    grown = (len(d.captured()) - at_stop) / (RATE * 2)
    print("     %.2f s of audio after the stop" % grown)
    check(grown < 0.3, "no audio goes on after the stop")
    check((len(d.captured()) - before) / (RATE * 2) < 15, "the text was cut, not finished")
    listener.client.set_data_mode(speechd.DataMode.SSML)
    # The engine may still be ending the stopped text when the next one comes.
    before = len(d.captured())
    check(listener.speak("<speak>Outra frase.</speak>") and listener.events[-1:] == ["end"],
          "the next message is spoken to its end: %s" % listener.events)
    check(len(d.settled()) - before > RATE, "and heard")


def pause_resumes_after_the_last_mark(d, listener):
    ssml = ('<speak>Primeira parte do texto.<mark name="meio"/> Segunda parte, que vem depois da marca '
            'e demora um pouco mais.</speak>')
    listener.events = []
    listener.ended.clear()
    listener.client.speak(ssml, callback=listener.on_event)
    check(wait_for(lambda: "mark meio" in listener.events, 15), "the mark is reached")
    time.sleep(0.5)
    listener.client.pause()
    check(wait_for(lambda: "pause" in listener.events, 5), "PAUSE is reported")
    at_pause = len(d.settled())
    time.sleep(1)
    check(len(d.captured()) == at_pause, "nothing plays while paused")
    listener.client.resume()
    check(listener.ended.wait(20) and listener.events[-1] == "end", "after resume the message ends: %s"
          % listener.events)
    resumed = (len(d.settled()) - at_pause) / (RATE * 2)
    print("     %.2f s of audio after resume" % resumed)
    check(resumed > 1.5, "the text after the mark is spoken again")


def main():
    started = time.monotonic()
    d = PrivateDispatcher()
    listener = None
    try:
        check(d.ready(), "the private speech-dispatcher listens")
        speaks_a_sentence(d)
        listener = Listener()
        ssml_break_and_marks(d, listener)
        stop_ends_a_long_text(d, listener)
        pause_resumes_after_the_last_mark(d, listener)
    finally:
        if listener:
            listener.close()
        d.close()
    print("speech-dispatcher test: %.1f s, %d failure(s)" % (time.monotonic() - started, len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
