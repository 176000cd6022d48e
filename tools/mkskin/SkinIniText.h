#pragma once

#include "framework/TStringList.h"

// The stored skin's INI text: every section the loader reads, with a [SKINCONTROLS] list of 59
// entries, and the unread keys (stretching, hints, morphing, effects) a skin carries besides.
TStringList MakeSkinIniText();
