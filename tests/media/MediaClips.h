#pragma once

#include "ClipWriter.h"

#include <filesystem>
#include <string>

// Clips written once per test run into a private folder, with FFmpeg's encoders, plus files that
// are damaged in the ways a disc can be.
namespace MediaClips {

enum class Clip {
    Mpeg1Sound250,
    Mpeg1Silent10,
    Mpeg2Sound250,
    Mpeg2Silent10,
    Mpeg1Sound10,
    Mpeg2BFrames250, // reordered pictures
    Mpeg1SoundTurnsMono, // the sound stream changes from stereo to mono halfway
};

std::filesystem::path Folder();
std::string Path(Clip clip);
int Frames(Clip clip);

std::string Missing();   // a name that does not exist
std::string Empty();     // a zero-length .mpg
std::string Text();      // a text file named .mpg
std::string Truncated(); // the first 60 % of a clip
std::string Corrupt();   // a clip with its middle overwritten by noise
std::string Header();    // only the first 3000 bytes of a clip
std::string Sound();     // a sound file (RIFF WAVE) named .mpg
std::string CutAt(Clip clip, std::size_t size); // the first `size` bytes of a clip

} // namespace MediaClips
