// Runs build/bin/falavoz the way a user does and checks what it prints and
// the WAV files it writes.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "FileBytes.h"

namespace fs = std::filesystem;

namespace {

struct Outcome {
    int exitCode = -1;
    std::string out;  // standard output
    std::string err;  // standard error
};

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

class FalavozProgram : public ::testing::Test {
protected:
    fs::path dir_;

    void SetUp() override {
        const char* bin = std::getenv("FALAVOZ_BIN");
        ASSERT_NE(bin, nullptr) << "FALAVOZ_BIN not set";
        program_ = fs::path(bin) / "falavoz";
        dir_ = fs::temp_directory_path() / ("falavoz-cli-" + std::to_string(getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    Outcome Falavoz(const std::vector<std::string>& args, const std::string& input = "") {
        return Run(args, input, dir_ / "stdout", "");
    }

    // As Falavoz, with the standard output going to `out` (its text is not
    // kept) and the program stopped after 20 seconds (exit code 124), so that
    // a run that would wait forever fails instead of hanging the test.
    Outcome FalavozWithin20s(const std::vector<std::string>& args, const std::string& input = "",
                             const fs::path& out = {}) {
        return Run(args, input, out.empty() ? dir_ / "stdout" : out, "timeout 20 ");
    }

    // The program and its arguments, quoted for a shell.
    std::string CommandLine(const std::vector<std::string>& args) const {
        std::string command = Quote(program_.string());
        for (const auto& a : args) command += " " + Quote(a);
        return command;
    }

    // A shell command line (a pipeline, whose status is its first failure's),
    // stopped after 20 seconds; its standard output and error.
    Outcome Shell(const std::string& command) {
        fs::path out = dir_ / "stdout", err = dir_ / "stderr";
        std::string line = "timeout 20 bash -c " + Quote("set -o pipefail; " + command) + " </dev/null >" +
                           Quote(out) + " 2>" + Quote(err);
        int status = std::system(line.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(out), Slurp(err)};
    }

    // As Shell, with the command's standard error, input and output on a
    // terminal of its own (script(1)); what the terminal showed is the
    // outcome's output.
    Outcome OnTerminal(const std::string& command) {
        return Shell("script -q -e -c " + Quote(command) + " /dev/null");
    }

private:
    Outcome Run(const std::vector<std::string>& args, const std::string& input, const fs::path& out,
                const std::string& prefix) {
        std::string command = prefix + CommandLine(args);
        fs::path in = dir_ / "stdin", err = dir_ / "stderr";
        std::ofstream(in, std::ios::binary) << input;
        command += " <" + Quote(in) + " >" + Quote(out) + " 2>" + Quote(err);
        int status = std::system(command.c_str());
        Outcome run;
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        if (out.parent_path() == dir_) run.out = Slurp(out);
        run.err = Slurp(err);
        return run;
    }

    fs::path program_;
};

struct WavInfo {
    uint32_t rate = 0, byteRate = 0;
    uint16_t align = 0, bits = 0;
    double seconds = 0;
    double peak = 0;  // of full scale
};

// Checks the header's sizes against the file and measures the samples.
WavInfo ReadWav(const fs::path& path) {
    std::string b = Slurp(path);
    WavInfo info;
    EXPECT_GE(b.size(), 44u);
    if (b.size() < 44) return info;
    EXPECT_EQ(b.substr(0, 4), "RIFF");
    EXPECT_EQ(b.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(b.substr(36, 4), "data");
    EXPECT_EQ(Le32(b, 4), b.size() - 8);
    EXPECT_EQ(Le32(b, 40), b.size() - 44);
    EXPECT_EQ(Le16(b, 20), 1);
    EXPECT_EQ(Le16(b, 22), 1);
    info.rate = Le32(b, 24);
    info.byteRate = Le32(b, 28);
    info.align = Le16(b, 32);
    info.bits = Le16(b, 34);
    size_t samples = (b.size() - 44) / (info.align ? info.align : 1);
    info.seconds = info.rate ? double(samples) / info.rate : 0;
    for (size_t k = 0; k < samples; ++k) {
        double v = info.bits == 8 ? (static_cast<uint8_t>(b[44 + k]) - 128) / 128.0
                                  : static_cast<int16_t>(Le16(b, 44 + 2 * k)) / 32768.0;
        info.peak = std::max(info.peak, std::abs(v));
    }
    return info;
}

const std::string kBoma = "\\*-b`o-ma\\*";

TEST_F(FalavozProgram, WritesA16kHz16BitWavOfAPhoneticText) {
    Outcome run = Falavoz({"-w", (dir_ / "a.wav").string(), kBoma});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    WavInfo wav = ReadWav(dir_ / "a.wav");
    EXPECT_EQ(wav.rate, 16000u);
    EXPECT_EQ(wav.byteRate, 32000u);
    EXPECT_EQ(wav.align, 2);
    EXPECT_EQ(wav.bits, 16);
    EXPECT_GT(wav.seconds, 0.6);
    EXPECT_LT(wav.seconds, 1.5);
    EXPECT_GT(wav.peak, 0.05) << "the speech is silent";
}

TEST_F(FalavozProgram, EightBitAndEightKilohertzFormats) {
    ASSERT_EQ(Falavoz({"-w", (dir_ / "b8.wav").string(), "--bits", "8", kBoma}).exitCode, 0);
    WavInfo eightBit = ReadWav(dir_ / "b8.wav");
    EXPECT_EQ(eightBit.rate, 16000u);
    EXPECT_EQ(eightBit.byteRate, 16000u);
    EXPECT_EQ(eightBit.align, 1);
    EXPECT_EQ(eightBit.bits, 8);
    EXPECT_GT(eightBit.peak, 0.05);

    ASSERT_EQ(Falavoz({"--8k", "-w", (dir_ / "k8.wav").string(), kBoma}).exitCode, 0);
    WavInfo lowRate = ReadWav(dir_ / "k8.wav");
    EXPECT_EQ(lowRate.rate, 8000u);
    EXPECT_EQ(lowRate.byteRate, 16000u);
    EXPECT_GT(lowRate.peak, 0.05);
    EXPECT_NEAR(lowRate.seconds, eightBit.seconds, 0.05) << "both voices speak for the same time";
}

TEST_F(FalavozProgram, PiecesGiveOneFilePerChunk) {
    Outcome run = Falavoz({"-w", (dir_ / "p.wav").string(), "--pieces", "\\*ka\\*. \\*za\\*. \\*mu\\*."});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    for (const char* name : {"p-001.wav", "p-002.wav", "p-003.wav"}) {
        ASSERT_TRUE(fs::exists(dir_ / name)) << name;
        EXPECT_GT(ReadWav(dir_ / name).peak, 0.05) << name;
    }
    EXPECT_FALSE(fs::exists(dir_ / "p-004.wav"));
}

TEST_F(FalavozProgram, PrintsTranscriptionsLineByLine) {
    EXPECT_EQ(Falavoz({"-x", "\\*ka-za\\*"}).out, "kaza\n");
    Outcome run = Falavoz({"-x"}, "\\*ka-za\\*\n\\*ñ`ä\\*\n");
    EXPECT_EQ(run.out, "kaza\nñä\n") << "phones outside ASCII come out as UTF-8";
}

TEST_F(FalavozProgram, PrintsThePhonemeLinesOfAnEmptyText) {
    Outcome run = Falavoz({"--pho", ""});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "_ 200 50 120\n_ 200\n#\n");
}

TEST_F(FalavozProgram, EachInputLineIsASentenceOfItsOwn) {
    Outcome run = Falavoz({"--pho"}, "\\*ka\\*\n\\*za\\*\n");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    // Two chunks, each framed by its own silences and flushed.
    std::vector<std::string> names;
    std::istringstream lines(run.out);
    for (std::string line; std::getline(lines, line);) names.push_back(line.substr(0, line.find(' ')));
    EXPECT_EQ(names, (std::vector<std::string>{"_", "k", "a", "_", "#", "_", "z", "a", "_", "#"})) << run.out;
}

TEST_F(FalavozProgram, ReportsErrorsInPortuguese) {
    Outcome missing = Falavoz({"-f", "/nonexistent", "-w", (dir_ / "x.wav").string()});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("Erro ao abrir arquivo"), std::string::npos) << missing.err;

    Outcome unwritable = Falavoz({"-w", "/nonexistent/dir/x.wav", "texto"});
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_NE(unwritable.err.find("Erro ao gravar arquivo"), std::string::npos) << unwritable.err;
}

TEST_F(FalavozProgram, UsageErrorsExitWithTwo) {
    EXPECT_EQ(Falavoz({"--nao-existe"}).exitCode, 2);
    EXPECT_EQ(Falavoz({"-s", "21", "x"}).exitCode, 2);
    EXPECT_EQ(Falavoz({"-w"}).exitCode, 2);
    Outcome help = Falavoz({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("Uso: falavoz"), std::string::npos);
}

// Each message names what is wrong and points to --help; --help and
// --version answer at once, whatever follows them.
TEST_F(FalavozProgram, UsageErrorsSayWhatIsWrong) {
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const Case cases[] = {
        {{"-p", "0"}, "-p espera um número de 1 a 20"},
        {{"--bits", "12", "-w", "x.wav"}, "--bits espera 8 ou 16"},
        {{"--pieces", "x"}, "--bits vale só com -w ou --stdout, e --pieces só com -w"},
        {{"--stdout", "-x", "x"},
         "--stdout vale só para gravar a fala, não com -x, --pho, --phones ou --sing"},
        {{"--stdout", "-w", "x.wav", "x"}, "use -w ou --stdout, não os dois"},
        {{"--stdout", "--pieces", "x"}, "--pieces grava arquivos: use-o com -w"},
        {{"--async", "-x", "x"}, "--async vale só para falar ou cantar"},
        {{"--sing", "m.pho", "x"}, "--sing não recebe texto"},
        {{"-f", "a.txt", "x"}, "use -f ou um texto, não os dois"},
        {{"--option", "2=zero"}, "--option espera N=V, por exemplo --option 2=0"},
        {{"-d"}, "-d precisa de um valor"},
        {{"--nao-existe", "--help"}, "opção desconhecida: --nao-existe"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        Outcome run = Falavoz(c.args);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(run.err, "falavoz: " + c.message + "\nUse falavoz --help para ver as opções.\n");
        EXPECT_EQ(run.out, "");
    }

    Outcome help = Falavoz({"-h", "--nao-existe"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.out.rfind("Uso: falavoz [opções] [TEXTO...]\n", 0), 0u) << help.out;
    Outcome version = Falavoz({"--version", "-s", "99"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.rfind("falavoz ", 0), 0u) << version.out;
    EXPECT_EQ(version.err, "");
}

// The text comes from the words, a file (UTF-8 or Windows-1252) or the
// standard input; every line break ends a line, CR LF or not.
TEST_F(FalavozProgram, TheTextComesFromWordsAFileOrTheInput) {
    EXPECT_EQ(Falavoz({"-x", "\\*ka\\*", "\\*za\\*"}).out, "kaza\n");
    EXPECT_EQ(Falavoz({"-x", "--", "-s"}, "ignored").exitCode, 0);

    const fs::path utf8 = dir_ / "utf8.txt", cp1252 = dir_ / "cp1252.txt";
    std::ofstream(utf8, std::ios::binary) << "\\*ñ`ä\\*\r\n\\*ka\\*\n";
    std::ofstream(cp1252, std::ios::binary) << "\\*\xF1`\xE4\\*\r\n";
    EXPECT_EQ(Falavoz({"-x", "-f", utf8.string()}, "\\*mu\\*").out, "ñä\nka\n");
    EXPECT_EQ(Falavoz({"-x", "--cp1252", "-f", cp1252.string()}).out, "ñä\n");
    EXPECT_EQ(Falavoz({"-x"}, "\\*ka\\*\r\n\\*mu\\*").out, "ka\nmu\n");
}

// The engine takes C strings, so a NUL byte would end the text; it reads as
// a blank, from the input and from a file alike.
TEST_F(FalavozProgram, ANulByteInTheTextIsABlank) {
    const std::string expected = Falavoz({"-x", "um dois"}).out;
    ASSERT_NE(expected.find('\n'), std::string::npos);
    const std::string withNul("um\0dois", 7);
    EXPECT_EQ(Falavoz({"-x"}, withNul).out, expected);

    const fs::path file = dir_ / "nul.txt";
    std::ofstream(file, std::ios::binary) << withNul << '\n';
    EXPECT_EQ(Falavoz({"-x", "-f", file.string()}).out, expected);
    EXPECT_EQ(Falavoz({"-x", "--cp1252", "-f", file.string()}).out, expected);
}

// Every action that prints fails, and says so, when its output cannot be
// written, rather than end as if all had been printed.
TEST_F(FalavozProgram, AFailedWriteToTheStandardOutputFails) {
    ASSERT_TRUE(fs::exists("/dev/full"));
    for (const std::vector<std::string>& args : {std::vector<std::string>{"-x", "casa"},
                                                 {"--pho", "casa"},
                                                 {"--phones", "casa"},
                                                 {"--help"},
                                                 {"--version"}}) {
        SCOPED_TRACE(args[0]);
        Outcome run = FalavozWithin20s(args, "", "/dev/full");
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_NE(run.err.find("Erro ao escrever na saída padrão"), std::string::npos) << run.err;
    }
}

// A FIFO would keep the program waiting for a writer, and a device such as
// /dev/zero would be read without end: only regular files are read.
TEST_F(FalavozProgram, FilesThatAreNoRegularFilesAreRefused) {
    const fs::path fifo = dir_ / "fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string zero = "/dev/zero";
    for (const std::vector<std::string>& args : {std::vector<std::string>{"-x", "-f", fifo.string()},
                                                 {"-x", "-f", zero},
                                                 {"-x", "--lng", fifo.string(), "casa"},
                                                 {"-x", "--lng", zero, "casa"},
                                                 {"-x", "-d", fifo.string(), "casa"},
                                                 {"-x", "-d", zero, "casa"}}) {
        SCOPED_TRACE(args[1] + " " + args[2]);
        Outcome run = FalavozWithin20s(args);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_NE(run.err.find("Erro ao abrir arquivo"), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }
}

}  // namespace

// Speaking out loud, through ALSA's file device where a sound card would be.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <thread>

namespace {

// Sets an environment variable for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) previous_ = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (previous_)
            setenv(name_, previous_->c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> previous_;
};

// The file device, appending each buffer to file (the plain file device
// would start the file again at each buffer).
std::string AppendingFileDevice(const fs::path& file) {
    return "file:FILE=\"|cat >>" + file.string() + "\",FORMAT=raw";
}

std::vector<int16_t> Samples(const std::string& bytes) {
    std::vector<int16_t> samples(bytes.size() / 2);
    for (size_t k = 0; k < samples.size(); ++k) samples[k] = static_cast<int16_t>(Le16(bytes, 2 * k));
    return samples;
}

// The fundamental frequency of 40 ms of 16 kHz samples from `at`, by
// autocorrelation; 0 when out of range.
double PitchAt(const std::vector<int16_t>& samples, size_t at) {
    const size_t window = 640;
    if (at + window + 400 > samples.size()) return 0;
    auto correlation = [&](size_t lag) {
        double sum = 0;
        for (size_t k = 0; k < window; ++k) sum += double(samples[at + k]) * samples[at + k + lag];
        return sum;
    };
    // Whole multiples of the period correlate about as well as the period
    // itself: the shortest lag that comes close to the best one is the period.
    std::vector<double> byLag(268, 0);
    double most = 0;
    for (size_t lag = 40; lag < byLag.size(); ++lag) most = std::max(most, byLag[lag] = correlation(lag));
    size_t best = 40;
    while (best + 1 < byLag.size() &&
           !(byLag[best] >= 0.85 * most && byLag[best] >= byLag[best - 1] && byLag[best] >= byLag[best + 1]))
        ++best;
    return 16000.0 / static_cast<double>(best);
}

TEST_F(FalavozProgram, SpeaksAloudTheSamplesItWouldWrite) {
    const std::string text = "\\*-b`o-ma\\*";
    ASSERT_EQ(Falavoz({"-w", (dir_ / "ref.wav").string(), text}).exitCode, 0);
    const std::string rendered = Slurp(dir_ / "ref.wav").substr(44);
    ASSERT_GT(rendered.size(), 16000u);
    for (const char* mode : {"", "--async"}) {
        SCOPED_TRACE(*mode ? mode : "synchronous");
        const fs::path raw = dir_ / "o.raw";
        fs::remove(raw);
        ScopedEnv device("FALAVOZ_ALSA_DEVICE", "file:FILE=" + raw.string() + ",FORMAT=raw");
        std::vector<std::string> args = {text};
        if (*mode) args.insert(args.begin(), mode);
        Outcome run = Falavoz(args);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        const std::string captured = Slurp(raw);
        EXPECT_EQ(captured.size(), rendered.size());
        EXPECT_TRUE(captured == rendered) << "the same speech";
    }
}

// With two voice channels the pieces of a text synthesise at once; the file
// must still hold what one channel renders, piece for piece. Each sentence
// is a piece of its own, so the pieces alternate between the channels.
TEST_F(FalavozProgram, TwoVoiceChannelsWriteWhatOneWrites) {
    std::string text;
    for (int k = 0; k < 6; ++k)
        text += "A casa amarela fica no alto do morro, perto da igreja velha e da escola. Ninguém sabe ";
    for (const char* voice : {"", "--8k"}) {
        SCOPED_TRACE(*voice ? voice : "16 kHz");
        std::vector<std::string> rendered;
        for (const char* channels : {"1", "2"}) {
            ScopedEnv setting("FALAVOZ_VOICE_CHANNELS", channels);
            const fs::path wav = dir_ / (std::string("c") + channels + ".wav");
            std::vector<std::string> args = {"-w", wav.string(), text};
            if (*voice) args.insert(args.begin(), voice);
            Outcome run = Falavoz(args);
            ASSERT_EQ(run.exitCode, 0) << run.err;
            rendered.push_back(Slurp(wav));
        }
        EXPECT_GT(rendered[0].size(), 44u + 30 * 16000);
        EXPECT_TRUE(rendered[0] == rendered[1])
            << rendered[0].size() << " bytes against " << rendered[1].size();
    }
}

// A second channel whose mbrola cannot start leaves the pieces to the first.
TEST_F(FalavozProgram, ASecondChannelThatCannotOpenLeavesTheWavWhole) {
    const std::string text = "A casa amarela fica no alto do morro. Perto da igreja velha. E da escola.";
    ScopedEnv one("FALAVOZ_VOICE_CHANNELS", "1");
    ASSERT_EQ(Falavoz({"-w", (dir_ / "one.wav").string(), text}).exitCode, 0);

    // mbrola starts once, for the first channel; then no more.
    const fs::path starts = dir_ / "starts", program = dir_ / "mbrola-uma-vez";
    std::ofstream(program) << "#!/bin/sh\n"
                              "[ -e '" +
                                  starts.string() +
                                  "' ] && exit 1\n"
                                  "touch '" +
                                  starts.string() +
                                  "'\n"
                                  "exec mbrola \"$@\"\n";
    fs::permissions(program, fs::perms::owner_all);
    ScopedEnv two("FALAVOZ_VOICE_CHANNELS", "2");
    ScopedEnv mbrola("FALAVOZ_MBROLA", program.string());
    Outcome run = Falavoz({"-w", (dir_ / "two.wav").string(), text});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(fs::exists(starts));
    EXPECT_TRUE(Slurp(dir_ / "one.wav") == Slurp(dir_ / "two.wav"));
}

TEST_F(FalavozProgram, WithoutASoundCardSpeakingFailsAndSaysSo) {
    ScopedEnv device("FALAVOZ_ALSA_DEVICE", "falavoz_no_such_device");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"texto"}, {"--async", "texto"}, {"--sing", "/nonexistent.pho"}}) {
        Outcome run = Falavoz(args);
        EXPECT_EQ(run.exitCode, 1) << args[0];
        EXPECT_NE(run.err.find("Placa de som não instalada"), std::string::npos) << run.err;
    }
}

// A line the voice refuses: the rest is still sung, and the voice's message
// and the failure reach the terminal in UTF-8, with a failing exit status.
TEST_F(FalavozProgram, AMelodyTheVoiceRefusesFailsTheRunAndSaysWhy) {
    const fs::path raw = dir_ / "recusa.raw";
    ScopedEnv device("FALAVOZ_ALSA_DEVICE", AppendingFileDevice(raw));
    std::ofstream(dir_ / "recusa.pho") << "_ 50\na 200 50 120\n;\na xx 50 120\n;\na 200 50 120\n_ 50\n";
    Outcome run = Falavoz({"--sing", (dir_ / "recusa.pho").string()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("c\xC3\xB3"
                           "digo"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("a xx 50 120"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("Erro no sintetizador de voz"), std::string::npos) << run.err;
    EXPECT_GT(Slurp(raw).size(), 2u * 16000 * 4 / 10) << "the pieces around the bad line were sung";
}

TEST_F(FalavozProgram, SingsAMelodyWhosePitchFollowsTheNotes) {
    const char* source = std::getenv("FALAVOZ_SOURCE");
    ASSERT_NE(source, nullptr);
    const fs::path raw = dir_ / "escala.raw";
    ScopedEnv device("FALAVOZ_ALSA_DEVICE", AppendingFileDevice(raw));
    Outcome run = Falavoz({"--sing", (fs::path(source) / "data/melodies/escala.pho").string()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::vector<int16_t> samples = Samples(Slurp(raw));
    // The scale up and down: a little over 7 seconds.
    EXPECT_GT(samples.size(), 16000u * 7);

    // The notes going up: C3 D3 E3 F3 G3 A3 B3 C4, 380 ms each, after 160 ms
    // of silence; the vowel of each starts 70 ms in.
    const double notes[] = {131, 147, 165, 175, 196, 220, 247, 262};
    for (int k = 0; k < 8; ++k) {
        const size_t at = static_cast<size_t>((160 + 380 * k + 70 + 135) * 16);
        EXPECT_NEAR(PitchAt(samples, at), notes[k], notes[k] * 0.05) << "note " << k;
    }
}

// Runs falavoz with its audio going into a pipe that the test drains, and
// stops it with a Ctrl+C while it speaks.
TEST_F(FalavozProgram, CtrlCWhileSpeakingStopsCleanly) {
    const char* bin = std::getenv("FALAVOZ_BIN");
    ASSERT_NE(bin, nullptr);
    std::string text;
    for (int k = 0; k < 150; ++k) text += "\\*pa-ta-ka\\* ";
    for (const char* mode : {"--sync", "--async"}) {
        SCOPED_TRACE(mode);
        const fs::path fifo = dir_ / "audio";
        fs::remove(fifo);
        ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
        const int audio = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
        ASSERT_GE(audio, 0);
        const std::string tag = "falavoz-ctrl-c-" + std::to_string(getpid());
        ScopedEnv device("FALAVOZ_ALSA_DEVICE", "file:FILE=" + fifo.string() + ",FORMAT=raw");
        ScopedEnv marker("FALAVOZ_TEST_TAG", tag);

        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            const std::string program = (fs::path(bin) / "falavoz").string();
            const int quiet = open("/dev/null", O_WRONLY);
            dup2(quiet, 1);
            if (std::string(mode) == "--async")
                execl(program.c_str(), "falavoz", mode, text.c_str(), static_cast<char*>(nullptr));
            else
                execl(program.c_str(), "falavoz", text.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }

        // Take two seconds of speech, as a sound card would, then press Ctrl+C
        // and go on taking what comes until the program has ended.
        using Clock = std::chrono::steady_clock;
        const auto deadline = Clock::now() + std::chrono::seconds(60);
        size_t taken = 0;
        bool interrupted = false;
        int status = 0;
        pid_t ended = 0;
        char chunk[4096];
        while (Clock::now() < deadline && (ended = waitpid(pid, &status, WNOHANG)) == 0) {
            pollfd readable = {audio, POLLIN, 0};
            if (poll(&readable, 1, 20) > 0 && (readable.revents & POLLIN)) {
                ssize_t n = read(audio, chunk, sizeof chunk);
                if (n > 0) taken += static_cast<size_t>(n);
            } else {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            if (!interrupted && taken >= 64000) {
                kill(pid, SIGINT);
                interrupted = true;
            }
        }
        if (ended == 0) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            ADD_FAILURE() << "falavoz did not end after the Ctrl+C";
        }
        close(audio);
        EXPECT_TRUE(interrupted) << "it spoke " << taken << " bytes";
        ASSERT_TRUE(WIFEXITED(status)) << "ended by a signal";
        EXPECT_EQ(WEXITSTATUS(status), 130);

        // No process of that run is left: the voice's helpers have gone too.
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        for (const auto& entry : fs::directory_iterator("/proc")) {
            const std::string environment = Slurp(entry.path() / "environ");
            EXPECT_EQ(environment.find("FALAVOZ_TEST_TAG=" + tag), std::string::npos)
                << "left running: " << Slurp(entry.path() / "cmdline");
        }
    }
}

}  // namespace

// The exception dictionary, another language file and the spoken phones.
namespace {

// A language file where "gosto" is a noun or a verb, the verb after "eu".
const std::string kGostoLanguage =
    "eu\tP\t -'ew\t0\t0\t \t\r\n"
    "gosto\tSV\t -g'oS-tu\t0\t1\t \t\r\n"
    "o\tT\t -u\t0\t0\t \t\r\n"
    "*\r\n"
    "SV\tP\t\tV\r\n"
    "*\r\n";

TEST_F(FalavozProgram, ADictionaryFileGivesItsTranscription) {
    fs::path dictionary = dir_ / "d.dic";
    std::ofstream(dictionary, std::ios::binary) << "casa\t-k`a-sa\r\n";
    Outcome run = Falavoz({"-d", dictionary.string(), "-x", "casa"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "kasa\n");

    Outcome missing = Falavoz({"-d", (dir_ / "none.dic").string(), "-x", "casa"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("Erro ao abrir arquivo"), std::string::npos) << missing.err;
}

TEST_F(FalavozProgram, TheVerbAfterEuHasAnOpenVowel) {
    fs::path language = dir_ / "gosto.lng";
    std::ofstream(language, std::ios::binary) << kGostoLanguage;
    Outcome run = Falavoz({"--lng", language.string(), "--phones"}, "eu gosto\no gosto\n");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "ewgóStu\nugoStu\n");

    // Without the tag rules the ambiguous word keeps its noun's closed vowel.
    run = Falavoz({"--lng", language.string(), "--option", "3=0", "--phones", "eu gosto"});
    EXPECT_EQ(run.out, "ewgoStu\n");
}

TEST_F(FalavozProgram, PhonesAreThoseSpokenWithoutPauses) {
    // Transition vowels are there; the pause of the comma is not; a phonetic
    // section keeps its final vowels; the voice's names come back as symbols.
    Outcome run = Falavoz({"--phones"}, "\\*pneu\\*, \\*-g`oS-to\\*\n\\*ñ`ä-R`é\\*\n\n");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "pineugoSto\nñäRé\n\n");
}

TEST_F(FalavozProgram, PhonesTheVoiceDoesNotTellApartComeOutAsOne) {
    Outcome run = Falavoz({"--phones", "\\*Hã-ê-ô\\*"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "h@eo\n");
}

TEST_F(FalavozProgram, LetterRulesReadWordsWithoutTheUnknownWordStage) {
    fs::path language = dir_ / "empty.lng";
    std::ofstream(language, std::ios::binary) << "*\r\n*\r\n";
    Outcome run = Falavoz({"--letter-rules", "--lng", language.string(), "-x"}, "certo\nos\nsua\n");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "se%to\noS\nswa\n");

    // The unknown-word stage opens the e of -erto and glides the s of os.
    run = Falavoz({"--lng", language.string(), "-x"}, "certo\nos\n");
    EXPECT_EQ(run.out, "sé%to\noyS\n");
}

TEST_F(FalavozProgram, AMissingLanguageFileFailsTheStart) {
    Outcome run = Falavoz({"--lng", (dir_ / "none.lng").string(), "-x", "casa"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("Erro ao inicializar o Falavoz"), std::string::npos) << run.err;
}

std::string Le32Bytes(uint32_t value) {
    std::string bytes;
    for (int k = 0; k < 4; ++k) bytes.push_back(static_cast<char>(value >> (8 * k)));
    return bytes;
}

// --stdout gives the WAV of -w and nothing else. A file the shell opened gets
// the final sizes where the WAV begins and is left at the WAV's end; a pipe,
// or a file opened for appending, cannot go back and keeps the sizes of a
// stream of unknown length.
TEST_F(FalavozProgram, TheStandardOutputGetsTheWavOfW) {
    ASSERT_EQ(Falavoz({"-w", (dir_ / "ref.wav").string(), kBoma}).exitCode, 0);
    const std::string wav = Slurp(dir_ / "ref.wav");
    const std::string program = CommandLine({"--stdout", kBoma});

    Outcome file = Shell("{ printf abc; " + program + "; printf xyz; } >" + Quote((dir_ / "f.wav").string()));
    ASSERT_EQ(file.exitCode, 0) << file.err;
    EXPECT_TRUE(Slurp(dir_ / "f.wav") == "abc" + wav + "xyz");

    std::string streamed = wav;
    streamed.replace(4, 4, Le32Bytes(0x7FFFF000u + 36));
    streamed.replace(40, 4, Le32Bytes(0x7FFFF000u));
    Outcome piped = Shell(program + " | cat >" + Quote((dir_ / "p.wav").string()));
    ASSERT_EQ(piped.exitCode, 0) << piped.err;
    EXPECT_TRUE(Slurp(dir_ / "p.wav") == streamed);

    std::ofstream(dir_ / "a.wav") << "abc";
    Outcome appended = Shell(program + " >>" + Quote((dir_ / "a.wav").string()));
    ASSERT_EQ(appended.exitCode, 0) << appended.err;
    EXPECT_TRUE(Slurp(dir_ / "a.wav") == "abc" + streamed);
}

// The number after "name:" in a report such as sox's statistics; -1 when
// the report has none.
double ReportedValue(const std::string& report, const std::string& name) {
    size_t at = report.find(name + ":");
    return at == std::string::npos ? -1 : std::strtod(report.c_str() + at + name.size() + 1, nullptr);
}

// The streaming sizes are those sox and aplay read to the end.
TEST_F(FalavozProgram, SoxAndAplayReadTheWavFromAPipe) {
    Outcome sox = Shell(CommandLine({"--stdout", "Olá, mundo."}) + " | sox -t wav - -n stat");
    ASSERT_EQ(sox.exitCode, 0) << sox.err;
    EXPECT_EQ(sox.err.find("WARN"), std::string::npos) << sox.err;
    EXPECT_GT(ReportedValue(sox.err, "Length (seconds)"), 0.8) << sox.err;
    EXPECT_GT(ReportedValue(sox.err, "RMS     amplitude"), 0.02) << "the speech is silent\n" << sox.err;

    Outcome aplay = Shell(CommandLine({"--stdout", "--bits", "8", kBoma}) + " | aplay -D null");
    EXPECT_EQ(aplay.exitCode, 0) << aplay.err;
    EXPECT_NE(aplay.err.find("Unsigned 8 bit, Rate 16000 Hz, Mono"), std::string::npos) << aplay.err;
}

// The figures of the progress lines a terminal showed, in order.
std::vector<int> ProgressPercents(const std::string& shown) {
    const std::string start = "\rfalavoz: ", end = "% do texto gravado";
    std::vector<int> percents;
    for (size_t at = shown.find(start); at != std::string::npos; at = shown.find(start, at + 1)) {
        char* after = nullptr;
        long percent = std::strtol(shown.c_str() + at + start.size(), &after, 10);
        if (std::string(after).rfind(end, 0) == 0) percents.push_back(static_cast<int>(percent));
    }
    return percents;
}

// While a long text renders, a line on the terminal tells how much of it is
// done, and is erased at the end; -q, or a standard error that is no
// terminal, shows none. No WAV is written onto a terminal.
TEST_F(FalavozProgram, TheProgressShowsOnATerminalOnly) {
    const fs::path text = dir_ / "long.txt";
    {
        std::ofstream out(text);
        for (int k = 0; k < 150; ++k) out << "O menino foi à escola e voltou cedo para casa. ";
    }
    const std::string wav = Quote((dir_ / "long.wav").string());
    for (const std::string& output : {"-w " + wav, "--stdout >" + wav}) {
        SCOPED_TRACE(output);
        Outcome shown = OnTerminal(CommandLine({"-f", text.string()}) + " " + output);
        ASSERT_EQ(shown.exitCode, 0) << shown.out;
        const std::vector<int> percents = ProgressPercents(shown.out);
        ASSERT_GT(percents.size(), 20u) << shown.out;
        EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
        EXPECT_EQ(percents.back(), 100);
        const size_t lineStart = shown.out.rfind('\r', shown.out.size() - 2);
        ASSERT_NE(lineStart, std::string::npos);
        const std::string last = shown.out.substr(lineStart);
        EXPECT_EQ(last, "\r" + std::string(last.size() - 2, ' ') + "\r") << "the line is erased";
        EXPECT_GE(last.size(), 32u);

        Outcome quiet = OnTerminal(CommandLine({"-q", "-f", text.string()}) + " " + output);
        EXPECT_EQ(quiet.exitCode, 0);
        EXPECT_EQ(quiet.out, "");
    }
    Outcome noTerminal = Falavoz({"-w", (dir_ / "long.wav").string(), "-f", text.string()});
    EXPECT_EQ(noTerminal.exitCode, 0);
    EXPECT_EQ(noTerminal.err, "");

    Outcome refused = OnTerminal(CommandLine({"--stdout", "casa"}));
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_NE(refused.out.find("--stdout não escreve num terminal"), std::string::npos) << refused.out;
}

// Every option of --help has its place in the manual page, which groff reads
// without a warning.
TEST_F(FalavozProgram, TheManualPageDescribesEveryOptionOfHelp) {
    const fs::path page = fs::path(std::getenv("FALAVOZ_BIN")).parent_path() / "man" / "falavoz.1";
    // The words of the lines in bold, where the page names its options.
    std::set<std::string> inBold;
    std::ifstream manual(page);
    ASSERT_TRUE(manual) << page;
    for (std::string line; std::getline(manual, line);) {
        if (line.rfind(".B", 0) != 0) continue;
        std::replace(line.begin(), line.end(), '"', ' ');
        std::istringstream words(line);
        for (std::string word; words >> word;) inBold.insert(word);
    }
    std::istringstream help(Falavoz({"--help"}).out);
    int options = 0;
    for (std::string line; std::getline(help, line);) {
        // An option's line: "  -h, --help      mostra ...", "      --bits 8    ...".
        size_t first = line.find_first_not_of(' ');
        if (first == 0 || first == std::string::npos || line[first] != '-') continue;
        std::string column = line.substr(first, line.find("  ", first) - first);
        std::replace(column.begin(), column.end(), ',', ' ');
        std::istringstream flags(column);
        for (std::string flag; flags >> flag;) {
            if (flag[0] != '-') continue;  // the value an option takes
            ++options;
            // groff writes a hyphen of an option as \-
            std::string written;
            for (char c : flag) written += c == '-' ? std::string("\\-") : std::string(1, c);
            EXPECT_TRUE(inBold.count(written)) << flag;
        }
    }
    EXPECT_GT(options, 20);
    Outcome groff = Shell("groff -k -man -Tutf8 -ww -z " + Quote(page.string()));
    EXPECT_EQ(groff.exitCode, 0);
    EXPECT_EQ(groff.err, "");
}

}  // namespace

namespace {

// The longest stretch of near silence between the first and the last sound,
// in milliseconds of 16 kHz samples.
int LongestInnerSilenceMs(const std::vector<int16_t>& samples) {
    auto loud = [](int16_t s) { return s > 300 || s < -300; };
    const auto first = std::find_if(samples.begin(), samples.end(), loud);
    const auto last = std::find_if(samples.rbegin(), samples.rend(), loud).base();
    size_t longest = 0, run = 0;
    for (auto s = first; s < last; ++s) longest = std::max(longest, run = loud(*s) ? 0 : run + 1);
    return static_cast<int>(longest / 16);
}

TEST_F(FalavozProgram, SsmlTextIsReadWithItsBreaks) {
    const fs::path plain = dir_ / "plain.wav", ssml = dir_ / "ssml.wav";
    ASSERT_EQ(Falavoz({"-w", plain.string(), "Bom dia"}).exitCode, 0);
    Outcome run = Falavoz({"--ssml", "-w", ssml.string(), "<speak>Bom <break time=\"700ms\"/> dia</speak>"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_LT(LongestInnerSilenceMs(Samples(Slurp(plain).substr(44))), 200);
    const int pause = LongestInnerSilenceMs(Samples(Slurp(ssml).substr(44)));
    EXPECT_GE(pause, 680);
    EXPECT_LE(pause, 800);
}

}  // namespace
