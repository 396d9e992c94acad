#include "EngineTest.h"

#include "api/Utterance.h"
#include "api/WavRender.h"
#include "core/TextUtil.h"
#include "voice/AudioDevice.h"
#include "voice/MBrola.h"
#include "voice/Singing.h"
#include "voice/WaveOut.h"

namespace {

// The device a test put in place, or nullptr while the system's is in use.
AudioDevice* DeviceInUse() {
    AudioDevice& current = CurrentAudioDevice();
    return &current == &SystemAudioDevice() ? nullptr : &current;
}

}  // namespace

EngineTest::EngineTest()
    : engine_(Engine),
      speech_(SpeechCursor),
      render_(RenderCursor),
      melodyPosition_(MelodyPosition),
      device_(DeviceInUse()),
      diphones_(&Diphones()),
      decimalSeparator_(DecimalSeparator()) {
    Engine = EngineState{};
    SpeechCursor = UtteranceCursor{};
    RenderCursor = UtteranceCursor{};
    MelodyPosition = 0;
    UseAudioDevice(nullptr);
}

EngineTest::~EngineTest() {
    Engine = engine_;
    SpeechCursor = speech_;
    RenderCursor = render_;
    MelodyPosition = melodyPosition_;
    UseAudioDevice(device_);
    UseDiphoneLibrary(*diphones_);
    SetDecimalSeparator(decimalSeparator_);
}
