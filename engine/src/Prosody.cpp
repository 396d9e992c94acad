// Prosody of one pass. For now every phone keeps its inherent duration and
// one flat pitch point in its middle; phrasing, stress timing and the pitch
// contour replace this.
#include "Prosody.h"

#include "BuiltinTables.h"
#include "Tables.h"

namespace {
constexpr float kFlatPitchHz = 120.0f;
constexpr uint16_t kUnknownPhoneMs = 80;
}  // namespace

void ResetProsodyState() {}

void PhrasingPass() {}

void DurationPitchPass() {
    for (int i = 0; i < kMaxPhonesPerPass && !IsEndRecord(PhoneList[i]); ++i) {
        TPhone& phone = PhoneList[i];
        unsigned char code = phone.symbol.empty() ? 0 : static_cast<unsigned char>(phone.symbol[0]);
        uint16_t inherent = InherentDuration[code];
        phone.duration = inherent ? inherent : kUnknownPhoneMs;
        uint16_t position = PitchPosition[code];
        phone.points[0] = {position ? position : 50, kFlatPitchHz};
        phone.points[1] = {-1, 0};
    }
}
