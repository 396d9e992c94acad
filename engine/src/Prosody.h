// Phrasing, durations and pitch of one pass of PhoneList.
#pragma once

// Resets the running tempo and pitch states at the start of an utterance.
void ResetProsodyState();
void PhrasingPass();
void DurationPitchPass();
