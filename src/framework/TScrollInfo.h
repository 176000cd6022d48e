#pragma once

// A control's scroll state along one direction, in the control's own units (rows for the lists and
// trees, pixels for a tree's width). Content that fits has max 0 and position 0.
struct TScrollInfo {
    int min { 0 };
    int max { 0 };
    int page { 0 };     // units shown at once
    int position { 0 }; // first unit shown
    friend bool operator==(const TScrollInfo&, const TScrollInfo&) = default;
};
