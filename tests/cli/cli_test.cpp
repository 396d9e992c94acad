// Runs build/bin/falavoz the way a user does and checks what it prints and
// the WAV files it writes.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
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
        std::string command = Quote(program_.string());
        for (const auto& a : args) command += " " + Quote(a);
        fs::path in = dir_ / "stdin", out = dir_ / "stdout", err = dir_ / "stderr";
        std::ofstream(in, std::ios::binary) << input;
        command += " <" + Quote(in) + " >" + Quote(out) + " 2>" + Quote(err);
        int status = std::system(command.c_str());
        Outcome run;
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.out = Slurp(out);
        run.err = Slurp(err);
        return run;
    }

private:
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
    EXPECT_EQ(run.out, "_ 200 50 120\nk 64  50 120\na 80  50 120\n_ 200\n#\n"
                       "_ 200 50 120\nz 75  50 120\na 80  50 120\n_ 200\n#\n");
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

}  // namespace
