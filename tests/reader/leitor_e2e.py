#!/usr/bin/env python3
"""Leitor as a user meets it: on an X display (Xvfb) with a tray (trayer),
keys pressed and text selected with xdotool and xsel, and the speech taken
from a sound device that plays in real time (ALSA's file device writing into
a pipe that this script drains at 16 kHz).

Usage: leitor_e2e.py BUILD_DIR

Screenshots of the tray menu and the options dialog go to
BUILD_DIR/screenshots.
"""

import os
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time
import unittest
from datetime import datetime, timedelta

BYTES_PER_SECOND = 32000  # 16 kHz, 16-bit mono
F_SETPIPE_SZ = 1031

BUILD = os.path.abspath(sys.argv.pop(1)) if len(sys.argv) > 1 else os.path.abspath("build")
BUILT_LEITOR = os.path.join(BUILD, "bin", "Leitor")
SCREENSHOTS = os.path.join(BUILD, "screenshots")
TOOLS = ["Xvfb", "trayer", "xdotool", "xsel", "import"]

LONG_TEXT = (
    "Era uma vez um leitor de textos que falava português. "
    "Ele lia jornais, livros, cartas e mensagens, do começo ao fim, "
    "sem pressa e sem cansaço, para quem quisesse ouvir. "
    "Quando alguém pedia outra leitura, ele parava e começava a nova."
)


class PacedCapture:
    """Drains a FIFO at the rate a sound card plays, keeping what came."""

    def __init__(self, path):
        self.path = path
        os.mkfifo(path)
        # Read and write: the engine opens and closes the device for every
        # piece, and the pipe must not reach its end meanwhile.
        self.fd = os.open(path, os.O_RDWR | os.O_NONBLOCK)
        import fcntl
        fcntl.fcntl(self.fd, F_SETPIPE_SZ, 4096)  # little held in the pipe
        self.data = bytearray()
        self.lock = threading.Lock()
        self.running = True
        self.thread = threading.Thread(target=self._drain, daemon=True)
        self.thread.start()

    def _drain(self):
        import select
        due = time.monotonic()
        while self.running:
            ready, _, _ = select.select([self.fd], [], [], 0.05)
            if not ready:
                due = time.monotonic()
                continue
            try:
                chunk = os.read(self.fd, 1600)  # 50 ms of speech
            except BlockingIOError:
                continue
            with self.lock:
                self.data += chunk
            due = max(due, time.monotonic() - 0.05) + len(chunk) / BYTES_PER_SECOND
            delay = due - time.monotonic()
            if delay > 0:
                time.sleep(delay)

    def size(self):
        with self.lock:
            return len(self.data)

    def since(self, start):
        with self.lock:
            return bytes(self.data[start:])

    def wait_for_silence(self, quiet=1.5, limit=60):
        """Waits until nothing has come for `quiet` seconds; the size then."""
        deadline = time.monotonic() + limit
        last, last_change = self.size(), time.monotonic()
        while time.monotonic() < deadline:
            time.sleep(0.1)
            now = self.size()
            if now != last:
                last, last_change = now, time.monotonic()
            elif time.monotonic() - last_change >= quiet:
                return now
        raise AssertionError("a fala não terminou em %d s" % limit)

    def close(self):
        self.running = False
        self.thread.join()
        os.close(self.fd)


class Desktop:
    """An X display with a tray, and the commands a user's hands stand for."""

    def __init__(self, home):
        self.home = home
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
            pass_fds=[write_end], stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as display:
            self.display = ":" + display.readline().strip()
        self.env = dict(os.environ, DISPLAY=self.display, HOME=home,
                        XDG_CONFIG_HOME=os.path.join(home, "config"),
                        XDG_RUNTIME_DIR=os.path.join(home, "run"),
                        XDG_DATA_HOME=os.path.join(home, "data"))
        self.env.pop("QT_QPA_PLATFORM", None)
        self.env.pop("WAYLAND_DISPLAY", None)
        os.makedirs(self.env["XDG_RUNTIME_DIR"], mode=0o700)
        self.tray = subprocess.Popen(
            ["trayer", "--edge", "top", "--align", "right", "--widthtype", "request", "--height", "32",
             "--SetDockType", "true", "--expand", "false"],
            env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(1)

    def run(self, *command, text_input=None):
        return subprocess.run(command, env=self.env, input=text_input, capture_output=True,
                              text=True, timeout=30).stdout

    def key(self, *keys):
        self.run("xdotool", "key", "--delay", "80", *keys)
        time.sleep(0.3)

    def select(self, text):
        """Selects a text, as a mouse in another window would: PRIMARY."""
        self.run("xsel", "--primary", "--input", text_input=text)

    def copy(self, text):
        self.run("xsel", "--clipboard", "--input", text_input=text)

    def clipboard(self):
        return self.run("xsel", "--clipboard", "--output")

    def visible_windows(self, name, by="--name"):
        found = self.run("xdotool", "search", "--onlyvisible", by, name).split()
        return [w for w in found if w]

    def geometry(self, window):
        values = {}
        for line in self.run("xdotool", "getwindowgeometry", "--shell", window).splitlines():
            key, _, value = line.partition("=")
            values[key] = int(value) if value.isdigit() else value
        return values

    def wait_for_window(self, name, limit=10):
        deadline = time.monotonic() + limit
        while time.monotonic() < deadline:
            windows = self.visible_windows(name)
            if windows:
                time.sleep(0.5)  # until it has the focus
                return windows
            time.sleep(0.1)
        self.screenshot("falha.png")
        raise AssertionError("nenhuma janela %r apareceu (a tela está em %s)" % (name, SCREENSHOTS))

    def screenshot(self, name):
        os.makedirs(SCREENSHOTS, exist_ok=True)
        self.run("import", "-window", "root", os.path.join(SCREENSHOTS, name))

    def close(self):
        for process in (self.tray, self.xvfb):
            process.terminate()
            process.wait(10)


def install_beside(folder):
    """A Leitor of its own, as an installation would hold it, so that the
    reminders it keeps beside itself stay out of the build tree."""
    bin_dir = os.path.join(folder, "bin")
    os.makedirs(bin_dir)
    shutil.copy2(BUILT_LEITOR, bin_dir)
    for name in ("brport.lng", "br1.dsp", "br18k.dsp", "ajuda"):
        os.symlink(os.path.realpath(os.path.join(BUILD, "bin", name)), os.path.join(bin_dir, name))
    os.symlink(os.path.join(BUILD, "lib"), os.path.join(folder, "lib"))
    return os.path.join(bin_dir, "Leitor")


class Reader:
    """One run of Leitor on the desktop."""

    def __init__(self, desktop, device):
        self.desktop = desktop
        env = dict(desktop.env, FALAVOZ_ALSA_DEVICE=device)
        self.log = tempfile.TemporaryFile()
        self.process = subprocess.Popen([desktop.leitor], env=env, stdout=self.log, stderr=subprocess.STDOUT)
        self.icon = self._tray_icon()

    def _tray_icon(self):
        deadline = time.monotonic() + 15
        while time.monotonic() < deadline:
            for window in self.desktop.visible_windows("^Leitor$", by="--class"):
                where = self.desktop.geometry(window)
                if 0 < where.get("WIDTH", 0) <= 64 and where.get("Y", 99) < 40:
                    return where
            time.sleep(0.2)
        raise AssertionError("o ícone do Leitor não apareceu na bandeja:\n" + self.output())

    def click_icon(self, repeat=1):
        x = self.icon["X"] + self.icon["WIDTH"] // 2
        y = self.icon["Y"] + self.icon["HEIGHT"] // 2
        self.desktop.run("xdotool", "mousemove", str(x), str(y), "click", "--repeat", str(repeat),
                         "--delay", "120", "1")

    def open_menu(self):
        self.click_icon()
        time.sleep(0.8)  # the menu comes 400 ms after the click

    def choose_item(self, position):
        """Opens the menu and chooses the item at that place, by keyboard."""
        self.open_menu()
        self.desktop.key(*(["Down"] * position), "Return")

    def alive(self):
        return self.process.poll() is None

    def output(self):
        self.log.seek(0)
        return self.log.read().decode("utf-8", "replace")

    def quit(self):
        self.process.send_signal(signal.SIGTERM)
        self.process.wait(15)
        self.log.close()


PAUSE_ITEM = 6  # Opções, Sobre, Falar um texto, Falar Área, Cancelar, Pausa
CANCEL_ITEM = 5


class LeitorOnADesktop(unittest.TestCase):
    maxDiff = None

    @classmethod
    def setUpClass(cls):
        missing = [tool for tool in TOOLS if not shutil.which(tool)]
        if missing:
            raise AssertionError("faltam programas (scripts/setup.sh os instala): " + " ".join(missing))
        cls.home = tempfile.mkdtemp(prefix="leitor-e2e-")
        cls.desktop = Desktop(cls.home)
        cls.desktop.leitor = install_beside(os.path.join(cls.home, "app"))
        cls.audio = PacedCapture(os.path.join(cls.home, "audio"))
        cls.device = "file:FILE=%s,FORMAT=raw" % cls.audio.path

    @classmethod
    def tearDownClass(cls):
        cls.audio.close()
        cls.desktop.close()
        shutil.rmtree(cls.home, ignore_errors=True)

    def setUp(self):
        self.reader = None

    def tearDown(self):
        if self.reader and self.reader.alive():
            self.reader.quit()

    def start_reader(self, device=None):
        self.reader = Reader(self.desktop, device or self.device)
        return self.reader

    def speak_selection(self, text, keys=("F9",)):
        """The audio that reading a selection gave."""
        start = self.audio.size()
        self.desktop.select(text)
        self.desktop.key(*keys)
        self.audio.wait_for_silence()
        return self.audio.since(start)

    def settings(self):
        """The stored settings, as "Group/name": value."""
        path = os.path.join(self.desktop.env["XDG_CONFIG_HOME"], "Leitor Falavoz.conf")
        values, group = {}, ""
        with open(path, encoding="utf-8") as stored:
            for line in stored:
                line = line.strip()
                if line.startswith("[") and line.endswith("]"):
                    group = line[1:-1]
                elif "=" in line:
                    name, value = line.split("=", 1)
                    values[group + "/" + name] = value
        return values

    def error_boxes(self):
        return self.desktop.visible_windows("^Erro do Falavoz$")

    def test_1_reading_from_the_tray_and_the_hot_key(self):
        reader = self.start_reader()
        time.sleep(0.5)
        self.desktop.screenshot("bandeja.png")

        # F9 reads the selection.
        spoken = self.speak_selection("Bom dia. Eu leio o texto selecionado.")
        self.assertGreater(len(spoken), BYTES_PER_SECOND, "F9 não falou a seleção")

        # Typographic marks and an emoji read as their plain forms would.
        fancy = self.speak_selection("Ele disse “olá” — e saiu 🙂.")
        plain = self.speak_selection('Ele disse "olá" - e saiu .')
        self.assertGreater(len(plain), BYTES_PER_SECOND // 2)
        self.assertEqual(fancy, plain)
        self.assertEqual(self.error_boxes(), [])

        # The menu, and "Falar Área de Transferência" from it.
        self.desktop.copy("Texto da área de transferência.")
        start = self.audio.size()
        reader.open_menu()
        self.desktop.screenshot("menu.png")
        self.desktop.key("t")
        self.audio.wait_for_silence()
        self.assertGreater(self.audio.size() - start, BYTES_PER_SECOND // 2, "a área de transferência não foi lida")
        self.assertEqual(self.desktop.clipboard(), "Texto da área de transferência.")

        # A second request while speaking replaces the first.
        alone = self.speak_selection("Segunda leitura.")
        start = self.audio.size()
        self.desktop.select(LONG_TEXT)
        self.desktop.key("F9")
        time.sleep(1.5)
        self.desktop.select("Segunda leitura.")
        self.desktop.key("F9")
        self.audio.wait_for_silence()
        both = self.audio.since(start)
        self.assertTrue(both.endswith(alone), "a segunda leitura não foi falada inteira depois da primeira")
        self.assertLess(len(both) - len(alone), 4 * BYTES_PER_SECOND, "a primeira leitura não foi interrompida")

        # Pause holds the audio, continue resumes it, cancel ends it.
        self.desktop.select(LONG_TEXT)
        self.desktop.key("F9")
        time.sleep(1.5)
        reader.choose_item(PAUSE_ITEM)
        time.sleep(1.0)
        held = self.audio.size()
        time.sleep(2.0)
        self.assertLess(self.audio.size() - held, BYTES_PER_SECOND // 10, "a pausa não segurou o som")
        reader.choose_item(PAUSE_ITEM)  # now "Continuar Locução"
        time.sleep(1.5)
        self.assertGreater(self.audio.size() - held, BYTES_PER_SECOND // 2, "a fala não continuou")
        reader.choose_item(CANCEL_ITEM)
        time.sleep(1.0)
        stopped = self.audio.size()
        time.sleep(1.5)
        self.assertLess(self.audio.size() - stopped, BYTES_PER_SECOND // 10, "o cancelamento não parou a fala")

        # "Cantar uma Música..." sings the chosen melody file; cancel ends it.
        melody = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "data", "melodies",
                              "escala.pho")
        start = self.audio.size()
        reader.open_menu()
        self.desktop.key("c")
        self.desktop.wait_for_window("^Abrir arquivo de Melodia$")
        time.sleep(0.5)
        self.desktop.run("xdotool", "type", "--delay", "20", os.path.abspath(melody))
        self.desktop.key("Return")
        time.sleep(2.0)
        self.assertGreater(self.audio.size() - start, BYTES_PER_SECOND, "a melodia não foi cantada")
        reader.open_menu()
        self.desktop.key("e")  # "Canc&elar Locução"
        time.sleep(1.0)
        stopped = self.audio.size()
        time.sleep(1.5)
        self.assertLess(self.audio.size() - stopped, BYTES_PER_SECOND // 10, "o canto não parou")
        self.assertEqual(self.settings().get("Arquivos/OpenDlg.InitialDir"),
                         os.path.dirname(os.path.abspath(melody)))

        self.assertTrue(reader.alive())
        self.assertEqual(self.error_boxes(), [])

    def test_2_options_change_the_hot_key_across_a_restart(self):
        reader = self.start_reader()
        reader.click_icon(repeat=2)  # a double click opens the options
        self.desktop.wait_for_window("^Opções do Falavoz®$")
        time.sleep(0.5)
        self.desktop.screenshot("opcoes.png")
        self.desktop.key("alt+e", "End", "alt+r", "Return")  # Tecla: F12, Ctrl, OK
        stored = self.settings()
        self.assertEqual(stored.get("Opcoes/cbTecla.Text"), "F12")
        self.assertEqual(stored.get("Opcoes/cbTecla.Tag"), "123")
        self.assertEqual(stored.get("Opcoes/ckCtrl.State"), "cbChecked")
        self.assertEqual(stored.get("Opcoes/scrVelocidade.Position"), "10")
        reader.quit()

        self.start_reader()
        self.assertEqual(len(self.speak_selection("Tecla errada.", keys=("F9",))), 0)
        self.assertGreater(len(self.speak_selection("Control F doze.", keys=("ctrl+F12",))), BYTES_PER_SECOND // 2)
        # NumLock does not stop the hot key.
        self.assertGreater(len(self.speak_selection("Com o NumLock.", keys=("Num_Lock", "ctrl+F12", "Num_Lock"))),
                           BYTES_PER_SECOND // 2)

    def test_3_a_second_reader_says_so_and_leaves(self):
        self.start_reader()
        second = subprocess.Popen([self.desktop.leitor], env=self.desktop.env, stdout=subprocess.PIPE,
                                  stderr=subprocess.PIPE, text=True)
        self.desktop.wait_for_window("^Leitor de Textos - Falavoz$")
        time.sleep(0.5)  # the box that says so
        self.desktop.key("Return")
        _, err = second.communicate(timeout=10)
        self.assertEqual(second.returncode, 1)
        self.assertIn("já está em execução", err)
        self.assertTrue(self.reader.alive())

    def test_5_quitting_from_the_options_asks_first(self):
        reader = self.start_reader()

        def ask_to_quit():
            reader.open_menu()
            self.desktop.key("o")
            self.desktop.wait_for_window("^Opções do Falavoz®$")
            # From the first slider, the 18th control: "Desligar o  Falavoz®".
            self.desktop.key(*(["Tab"] * 18), "space")
            self.desktop.wait_for_window("^Falavoz$")

        ask_to_quit()
        self.desktop.key("Return")  # No is the default
        time.sleep(1.0)
        self.assertTrue(reader.alive())
        self.assertEqual(self.desktop.visible_windows("^Falavoz$"), [])
        ask_to_quit()
        self.desktop.key("alt+s")  # "&Sim"
        self.assertEqual(reader.process.wait(10), 0)

    def test_6_a_reminder_made_in_its_dialog_is_spoken_at_its_minute(self):
        reader = self.start_reader()
        now = datetime.now()
        if now.hour == 23 and now.minute >= 57:  # the reminder must fall today
            time.sleep((60 - now.minute) * 60 - now.second + 5)
            now = datetime.now()
        due = (now + timedelta(minutes=1 if now.second < 40 else 2)).replace(second=0, microsecond=0)
        when = due.strftime("%H:%M")
        message = "Hora de tomar o remédio"

        reader.open_menu()
        self.desktop.key("l")  # "&Lembretes..."
        self.desktop.wait_for_window("^Lembretes$")
        self.desktop.key("alt+n")  # "&Novo Lembrete..."
        self.desktop.wait_for_window("^Novo Lembrete$")
        self.desktop.screenshot("novo-lembrete.png")
        self.desktop.run("xdotool", "type", "--delay", "60", when.replace(":", ""))
        self.desktop.key("alt+m")
        self.desktop.run("xdotool", "type", "--delay", "30", message)
        self.desktop.key("Return")  # OK
        time.sleep(0.5)
        self.desktop.screenshot("lembretes.png")
        self.desktop.key("Escape")  # closes the list
        stored = os.path.join(os.path.dirname(self.desktop.leitor), "Lembret.dat")
        with open(stored, "rb") as saved:
            self.assertEqual(saved.read(), ("3\r\n\r\n%s\r\n%s\r\nNão\r\n%s\r\n\r\n\r\n\r\n\r\n\r\n"
                                            % (due.strftime("%d/%m/%Y"), when, message)).encode("utf-8"))

        start = self.audio.size()
        time.sleep(max(0, (due - datetime.now()).total_seconds()) + 3)
        self.audio.wait_for_silence()
        reminder = self.audio.since(start)
        self.assertGreater(len(reminder), BYTES_PER_SECOND, "o lembrete não foi falado")
        # What was spoken is the reminder: its time, a pause and its message.
        self.assertEqual(reminder, self.speak_selection("%s \\P300 %s" % (when, message), keys=("ctrl+F12",)))
        with open(stored, "rb") as saved:
            self.assertTrue(saved.read().startswith(b"3\r\nX\r\n"), "o lembrete não foi marcado como falado")

    def test_4_without_a_sound_card_the_error_is_shown_once(self):
        reader = self.start_reader(device="falavoz_no_such_device")
        self.desktop.select("Sem placa de som.")
        self.desktop.key("ctrl+F12")  # the key stored by the test before
        boxes = self.desktop.wait_for_window("^Erro do Falavoz$")
        time.sleep(1.0)
        self.assertEqual(len(self.error_boxes()), 1)
        self.desktop.screenshot("erro.png")
        self.desktop.key("Return")  # the box has the focus
        time.sleep(1.0)
        self.assertEqual(self.error_boxes(), [], "a mensagem apareceu de novo: %s" % boxes)
        # The box's text, which the reader also writes on standard error.
        self.assertEqual(reader.output().count("Erro do Falavoz: Placa de som não instalada"), 1, reader.output())
        self.assertTrue(reader.alive())


if __name__ == "__main__":
    if not os.access(BUILT_LEITOR, os.X_OK):
        sys.exit("Leitor não encontrado em %s" % BUILT_LEITOR)
    unittest.main(verbosity=2)
