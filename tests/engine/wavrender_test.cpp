// WAV rendering: headers of the four formats, the 8-bit conversion, whole
// texts and piecewise rendering, and the file errors.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <utility>
#include <vector>

#include "EngineTest.h"
#include "FileBytes.h"
#include "KillMidway.h"
#include "TestSupport.h"
#include "api/WavRender.h"
#include "core/EngineState.h"
#include "core/SafeFile.h"
#include "falavoz32.h"

namespace fs = std::filesystem;

namespace {

TEST(WavHeader, FourFormats) {
    struct Case {
        int rate, bits;
        uint32_t byteRate;
        uint16_t align;
    };
    for (Case c : {Case{16000, 16, 32000, 2}, Case{8000, 16, 16000, 2}, Case{16000, 8, 16000, 1},
                   Case{8000, 8, 8000, 1}}) {
        std::string h = WavHeader(c.rate, c.bits, 1000);
        ASSERT_EQ(h.size(), 44u);
        EXPECT_EQ(h.substr(0, 4), "RIFF");
        EXPECT_EQ(Le32(h, 4), 1036u);
        EXPECT_EQ(h.substr(8, 8), "WAVEfmt ");
        EXPECT_EQ(Le32(h, 16), 16u);
        EXPECT_EQ(Le16(h, 20), 1);
        EXPECT_EQ(Le16(h, 22), 1);
        EXPECT_EQ(Le32(h, 24), static_cast<uint32_t>(c.rate));
        EXPECT_EQ(Le32(h, 28), c.byteRate);
        EXPECT_EQ(Le16(h, 32), c.align);
        EXPECT_EQ(Le16(h, 34), c.bits);
        EXPECT_EQ(h.substr(36, 4), "data");
        EXPECT_EQ(Le32(h, 40), 1000u);
    }
}

TEST(WavHeader, EightBitConversionKeepsTheHighByteUnsigned) {
    // 0x1234, -1, 0x7FFF, -32768, 0
    uint8_t samples[] = {0x34, 0x12, 0xFF, 0xFF, 0xFF, 0x7F, 0x00, 0x80, 0x00, 0x00};
    ASSERT_EQ(ConvertTo8Bit(samples, sizeof samples), 5u);
    EXPECT_EQ(samples[0], 0x92);
    EXPECT_EQ(samples[1], 0x7F);
    EXPECT_EQ(samples[2], 0xFF);
    EXPECT_EQ(samples[3], 0x00);
    EXPECT_EQ(samples[4], 0x80);
}

class GenPcmTest : public EngineTest {
protected:
    void SetUp() override {
        ASSERT_EQ(TTS_Init(0, nullptr, 0), FV_OK);
        dir_ = fs::temp_directory_path() / ("falavoz-wav-" + std::to_string(getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string File(const std::string& name) { return (dir_ / name).string(); }

    // Checks the header sizes against the file; returns the data bytes.
    uint32_t CheckedDataBytes(const std::string& path) {
        std::string b = Slurp(path);
        EXPECT_GE(b.size(), 44u);
        if (b.size() < 44) return 0;
        EXPECT_EQ(Le32(b, 4), b.size() - 8);
        EXPECT_EQ(Le32(b, 40), b.size() - 44);
        return Le32(b, 40);
    }

    RecordingDiphones diphones_;
    fs::path dir_;
};

TEST_F(GenPcmTest, AnEmptyTextHoldsTheFramingSilences) {
    ASSERT_EQ(TTS_GenPcm("", File("e.wav").c_str(), 0, 0, 16), FV_OK);
    EXPECT_EQ(CheckedDataBytes(File("e.wav")), 400u * 16 * 2) << "400 ms at 16 kHz, 16 bits";
    EXPECT_FALSE(Engine.busy);
}

TEST_F(GenPcmTest, EightBitFilesHoldOneBytePerSample) {
    ASSERT_EQ(TTS_GenPcm("\\*ka\\*", File("a16.wav").c_str(), 0, 0, 16), FV_OK);
    ASSERT_EQ(TTS_GenPcm("\\*ka\\*", File("a8.wav").c_str(), 0, 0, 8), FV_OK);
    uint32_t sixteen = CheckedDataBytes(File("a16.wav"));
    EXPECT_GT(sixteen, 400u * 32);
    EXPECT_EQ(CheckedDataBytes(File("a8.wav")) * 2, sixteen);
    EXPECT_EQ(Le16(Slurp(File("a8.wav")), 34), 8);
}

TEST_F(GenPcmTest, PieceModeRendersOneChunkPerCall) {
    const char* text = "\\*ka\\*. \\*za\\*. \\*mu\\*.";
    EXPECT_EQ(TTS_GenPcm(text, File("1.wav").c_str(), 0, 1, 16), FV_OK);
    EXPECT_EQ(TTS_GenPcm(nullptr, File("2.wav").c_str(), 0, 2, 16), FV_OK);
    EXPECT_EQ(TTS_GenPcm(nullptr, File("3.wav").c_str(), 0, 2, 16), FV_NO_MORE_PIECES);
    EXPECT_EQ(TTS_GenPcm(nullptr, File("4.wav").c_str(), 0, 2, 16), FV_NO_MORE_PIECES);
    EXPECT_FALSE(fs::exists(File("4.wav"))) << "nothing is left to render, no file is touched";
    for (const char* name : {"1.wav", "2.wav", "3.wav"})
        EXPECT_GT(CheckedDataBytes(File(name)), 400u * 32) << name;

    std::string whole;
    for (const std::string& line : diphones_.lines) whole += line + "|";
    EXPECT_NE(whole.find("|k "), std::string::npos) << "every chunk is rendered";
    EXPECT_NE(whole.find("|z "), std::string::npos);
    EXPECT_NE(whole.find("|m "), std::string::npos);
}

TEST_F(GenPcmTest, ALongPassIsRenderedAsSeveralPiecesInOrder) {
    ASSERT_EQ(TTS_SetOption(4, 100), FV_OK);  // pieces of about 5 s
    std::string text;
    for (int k = 0; k < 60; ++k) text += "\\*ka\\* ";  // 60 words of 144 ms
    ASSERT_EQ(TTS_GenPcm(text.c_str(), File("long.wav").c_str(), 0, 0, 16), FV_OK);

    int flushes = 0, kPhones = 0;
    long long milliseconds = 0;
    std::vector<std::string> openings;
    for (const std::string& line : diphones_.lines) {
        if (line == "#") ++flushes;
        if (line.rfind("k ", 0) == 0) ++kPhones;
        if (line.rfind("_ 200 50 ", 0) == 0 || line.rfind("_ 10 50 ", 0) == 0) openings.push_back(line);
        milliseconds += LineDuration(line);
    }
    EXPECT_EQ(flushes, 2);
    EXPECT_EQ(kPhones, 60) << "every phone is rendered exactly once";
    ASSERT_EQ(openings.size(), 2u);
    EXPECT_EQ(openings[0].rfind("_ 200 50 ", 0), 0u);
    EXPECT_EQ(openings[1].rfind("_ 10 50 ", 0), 0u) << "a continued piece opens with a short silence";
    EXPECT_EQ(CheckedDataBytes(File("long.wav")),
              static_cast<uint32_t>(diphones_.samplesPerMs * 2 * milliseconds))
        << "the file holds every piece";
}

TEST_F(GenPcmTest, PieceModeTwoWithoutATextHasNothingToRender) {
    EXPECT_EQ(TTS_GenPcm(nullptr, File("x.wav").c_str(), 0, 2, 16), FV_NO_MORE_PIECES);
}

TEST_F(GenPcmTest, ASourceFileGivesItsLines) {
    std::ofstream(File("in.txt"), std::ios::binary) << "\\*ka\\*\n\\*za\\*\n";
    ASSERT_EQ(TTS_GenPcm(File("in.txt").c_str(), File("f.wav").c_str(), 1, 0, 16), FV_OK);
    EXPECT_EQ(Engine.text, "\\*ka\\*\r\n\\*za\\*\r\n ");
}

TEST_F(GenPcmTest, FileErrorsLeaveTheEngineIdle) {
    EXPECT_EQ(TTS_GenPcm(File("missing.txt").c_str(), File("m.wav").c_str(), 1, 0, 16), FV_OPEN_ERROR);
    EXPECT_FALSE(fs::exists(File("m.wav")));
    EXPECT_EQ(TTS_GenPcm("x", File("no/such/dir.wav").c_str(), 0, 0, 16), FV_WRITE_ERROR);
    EXPECT_FALSE(Engine.busy);
    EXPECT_EQ(TTS_GenPcm("\\*ka\\*", File("ok.wav").c_str(), 0, 0, 16), FV_OK);
}

TEST_F(GenPcmTest, AFullDiskIsReportedNotHidden) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    EXPECT_EQ(TTS_GenPcm("\\*ka\\*", "/dev/full", 0, 0, 16), FV_WRITE_ERROR);
    EXPECT_FALSE(Engine.busy);
}

// A descriptor the host keeps is refused when it cannot be written, a failed
// write is reported, and the descriptor stays open either way.
TEST_F(GenPcmTest, ADescriptorThatCannotBeWrittenFailsAndStaysOpen) {
    const int readOnly = open("/dev/null", O_RDONLY | O_CLOEXEC);
    const int full = open("/dev/full", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(readOnly, 0);
    ASSERT_GE(full, 0);
    EXPECT_EQ(TTS_GenPcmToDescriptor("\\*ka\\*", readOnly, 0, 16), FV_WRITE_ERROR);
    EXPECT_EQ(TTS_GenPcmToDescriptor("\\*ka\\*", full, 0, 16), FV_WRITE_ERROR);
    EXPECT_FALSE(Engine.busy);
    EXPECT_NE(fcntl(full, F_GETFD), -1) << "the host's descriptor is the host's to close";
    close(readOnly);
    close(full);
}

void FV_CALL KeepProgress(int32_t rendered, int32_t length, void* reports) {
    static_cast<std::vector<std::pair<int32_t, int32_t>>*>(reports)->emplace_back(rendered, length);
}

// Each piece written reports how much of the text is rendered: forward only,
// up to the whole text.
TEST_F(GenPcmTest, ProgressGoesForwardPieceByPieceToTheTextsLength) {
    ASSERT_EQ(TTS_SetOption(4, 100), FV_OK);  // pieces of about 5 s
    std::string text;
    for (int k = 0; k < 60; ++k) text += "\\*ka\\* ";
    std::vector<std::pair<int32_t, int32_t>> reports;
    TTS_SetRenderProgress(KeepProgress, &reports);
    ASSERT_EQ(TTS_GenPcm(text.c_str(), File("p.wav").c_str(), 0, 0, 16), FV_OK);
    TTS_SetRenderProgress(nullptr, nullptr);

    ASSERT_EQ(reports.size(), 2u) << "one report a piece";
    const int32_t length = static_cast<int32_t>(text.size()) + 1;  // and the blank the engine appends
    EXPECT_GT(reports[0].first, length / 4);
    EXPECT_LT(reports[0].first, length * 3 / 4);
    EXPECT_EQ(reports[1], std::make_pair(length, length));
    EXPECT_EQ(reports[0].second, length);
}

// ---------------------------------------------------------------------------
// An existing file survives every failure, and the format's limit holds.

TEST(WavLimit, TheSizesOfTheLargestFileStillFitTheHeader) {
    EXPECT_TRUE(WavDataFits(kWavDataLimit));
    EXPECT_FALSE(WavDataFits(kWavDataLimit + 1));
    EXPECT_LE(kWavDataLimit + 36, uint64_t{UINT32_MAX}) << "the RIFF size";
    EXPECT_EQ(kWavDataLimit % 2, 0u) << "whole 16-bit samples";
    EXPECT_EQ(Le32(WavHeader(16000, 16, static_cast<uint32_t>(kWavDataLimit)), 4),
              static_cast<uint32_t>(kWavDataLimit + 36));
}

// Lowers the WAV size limit for the length of a scope.
struct ScopedWavLimit {
    explicit ScopedWavLimit(uint64_t bytes) : saved(SetWavDataLimitForTesting(bytes)) {}
    ~ScopedWavLimit() { SetWavDataLimitForTesting(saved); }
    uint64_t saved;
};

class WavReplaceTest : public GenPcmTest {
protected:
    // A WAV file already there, as a user's earlier render left it.
    std::string OldWav(const std::string& name) {
        std::string path = File(name);
        EXPECT_EQ(TTS_GenPcm("\\*ka\\*", path.c_str(), 0, 0, 16), FV_OK);
        previous_ = Slurp(path);
        return path;
    }
    static std::string LongText(int words) {
        std::string text;
        for (int k = 0; k < words; ++k) text += "\\*ka\\* ";
        return text;
    }
    long FilesInFolder() const {
        return std::distance(fs::directory_iterator(dir_), fs::directory_iterator());
    }

    std::string previous_;
};

TEST_F(WavReplaceTest, AFullDiskKeepsTheOldFile) {
    std::string path = OldWav("old.wav");
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 64 * 1024;  // less than the long text's audio
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    int result = TTS_GenPcm(LongText(60).c_str(), path.c_str(), 0, 0, 16);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(result, FV_WRITE_ERROR);
    EXPECT_EQ(Slurp(path), previous_);
    EXPECT_EQ(FilesInFolder(), 1) << "the temporary file is removed";
    EXPECT_FALSE(Engine.busy);
}

TEST_F(WavReplaceTest, AudioPastTheWavLimitStopsWithAWriteError) {
    std::string path = OldWav("old.wav");
    std::string fresh = File("fresh.wav");
    {
        ScopedWavLimit limit(100 * 1000);
        EXPECT_EQ(TTS_GenPcm(LongText(60).c_str(), path.c_str(), 0, 0, 16), FV_WRITE_ERROR);
        EXPECT_EQ(TTS_GenPcm(LongText(60).c_str(), fresh.c_str(), 0, 0, 16), FV_WRITE_ERROR);
        // Within the limit, all is as before.
        EXPECT_EQ(TTS_GenPcm("\\*ka\\*", File("small.wav").c_str(), 0, 0, 16), FV_OK);
    }
    EXPECT_EQ(Slurp(path), previous_);
    EXPECT_FALSE(fs::exists(fresh)) << "a partial file is removed";
    EXPECT_EQ(FilesInFolder(), 2);
    EXPECT_GT(CheckedDataBytes(File("small.wav")), 0u);

    // The piece that would pass the limit stops a piecewise render as well.
    ScopedWavLimit limit(1000);
    EXPECT_EQ(TTS_GenPcm("\\*ka\\*. \\*za\\*.", File("p1.wav").c_str(), 0, 1, 16), FV_WRITE_ERROR);
    EXPECT_EQ(TTS_GenPcm(nullptr, File("p2.wav").c_str(), 0, 2, 16), FV_NO_MORE_PIECES);
    EXPECT_FALSE(fs::exists(File("p1.wav")));
}

TEST_F(WavReplaceTest, DevicesAreWrittenInPlaceAndFifosRefused) {
    EXPECT_EQ(TTS_GenPcm("\\*ka\\*", "/dev/null", 0, 0, 16), FV_OK);
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    ASSERT_EQ(mkfifo(File("fifo").c_str(), 0644), 0);
    EXPECT_EQ(TTS_GenPcm("\\*ka\\*", File("fifo").c_str(), 0, 0, 16), FV_WRITE_ERROR);
    EXPECT_TRUE(fs::is_fifo(File("fifo")));
    EXPECT_EQ(TTS_GenPcm("\\*ka\\*", dir_.c_str(), 0, 0, 16), FV_WRITE_ERROR);
    EXPECT_FALSE(Engine.busy);
}

TEST_F(WavReplaceTest, KillingRendersMidwayKeepsAWholeFileAndLeavesNoTemporary) {
    const std::string longText = LongText(200);
    ASSERT_EQ(TTS_GenPcm(longText.c_str(), File("new.ref").c_str(), 0, 0, 16), FV_OK);
    const std::string rendered = Slurp(File("new.ref"));
    std::string path = OldWav("old.wav");
    std::string temporary = TemporaryNameFor(path);

    int killedMidway = 0;
    for (int round = 0; round < 100; ++round) {
        SCOPED_TRACE(round);
        ASSERT_TRUE(KillMidway([&] { GenPcm(longText.c_str(), path.c_str(), 0, 0, 16); }, round));
        if (fs::exists(temporary)) ++killedMidway;
        std::string contents = Slurp(path);
        ASSERT_TRUE(contents == previous_ || contents == rendered) << "a file cut short";
        CheckedDataBytes(path);

        ASSERT_EQ(TTS_GenPcm("\\*ka\\*", path.c_str(), 0, 0, 16), FV_OK);
        EXPECT_FALSE(fs::exists(temporary)) << "left after a successful render";
        EXPECT_EQ(Slurp(path), previous_);
    }
    EXPECT_EQ(FilesInFolder(), 2);
    EXPECT_GT(killedMidway, 0) << "no kill landed in the middle of a render";
}

}  // namespace
