// The phonetic dictionary editor (being written).
#pragma once
