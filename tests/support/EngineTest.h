// The base of the engine's test fixtures: every test starts from the
// engine's start-up state and leaves the process as it found it, whatever
// it changed and whether it passed or not.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>

#include "core/EngineState.h"

class AudioDevice;
struct DiphoneLibrary;

// Saved when the fixture is built and put back when it is destroyed, that is
// after the derived fixture's TearDown and members (a recording library, a
// clocked device): the Engine record, the speaking, rendering and singing
// positions, the audio device and diphone library in use, and the decimal
// separator. In between, the record and the positions are at their start-up
// values and the system's audio device is in use.
class EngineTest : public ::testing::Test {
protected:
    EngineTest();
    ~EngineTest() override;

private:
    EngineState engine_;
    UtteranceCursor speech_;
    UtteranceCursor render_;
    size_t melodyPosition_;
    AudioDevice* device_;
    const DiphoneLibrary* diphones_;
    char decimalSeparator_;
};
