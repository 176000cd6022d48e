#pragma once

#include "platform/media/ClipIndex.h"
#include "platform/media/ClipScanner.h"
#include "platform/media/ClipSound.h"
#include "platform/media/Mci.h"

#include <filesystem>
#include <memory>

struct AVFormatContext;
struct AVCodecContext;
struct AVFrame;
struct AVPacket;

// Demuxes and decodes one clip file with FFmpeg's libraries: the pictures one by one in the order
// they are shown, numbered from 0 as the clip's index counts them, and the sound met on the way.
// A file with sound and no picture plays as pictures of 40 ms that show nothing, so that it has a
// position and a length like any clip. Used by one thread at a time, except Length().
class ClipDecoder {
public:
    ClipDecoder();
    ~ClipDecoder();
    ClipDecoder(const ClipDecoder&) = delete;
    ClipDecoder& operator=(const ClipDecoder&) = delete;

    // How the pictures are counted where the container keeps no list of them.
    enum class Counting {
        Scan,     // a scan of the file on a thread of its own
        Estimate, // none: the length stays the duration's estimate and seeks go by time (tests)
    };

    // Opens the file and finds its streams and its index (from the container, or by counting).
    // Decodes nothing: the decoder stands before picture 0. Returns 0 or an MCIERR_ code.
    MciError Open(const std::filesystem::path& file, Counting counting = Counting::Scan);

    bool HasPictures() const { return m_video != nullptr; }
    bool HasSound() const { return m_sound.IsOpen(); }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    double PictureDuration() const { return m_picture_duration; } // seconds, the clip's average
    // Pictures in the clip; an estimate until the index is filled. Any thread.
    int Length() const { return m_index.Length(); }
    // Waits up to `limit` for the index; true when the length is final.
    bool WaitForLength(std::chrono::milliseconds limit) const { return m_index.WaitFilled(limit); }
    // Whether the file is an MPEG program stream that ends inside a packet.
    bool IsCutShort() const;

    // Sound decoded from now on goes to the sink at `rate` samples per second.
    void SetSoundSink(int rate, ClipSound::Sink sink) { m_sound.SetSink(rate, std::move(sink)); }

    // Makes picture `index` current, or the last one before it that the data holds. False when no
    // picture could be decoded.
    bool SeekTo(int index);
    // Decodes the picture after the current one. False at the end of the clip or of its data.
    bool DecodeNext();
    int CurrentIndex() const { return m_current_index; }
    // Seconds from the clip's start to when the current picture is shown.
    double CurrentTime() const { return m_current_time; }
    // A new reference to the current picture (null when there is none); free with av_frame_free.
    AVFrame* CurrentFrame() const;

    // Past the last picture: reads on while the sound decoded so far ends before `until` (clip
    // seconds). False once the file has nothing more.
    bool FeedSound(double until);
    // Clip seconds the decoded sound reaches; negative before any.
    double SoundEnd() const { return m_sound.End(); }

private:
    MciError OpenStreams();
    void StartIndex(const std::filesystem::path& file, std::uintmax_t size, Counting counting);
    bool IndexFromContainer(std::uintmax_t size);
    bool Reposition(const ClipIndex::Key& key);
    bool RepositionToStart();
    bool RepositionByTime(int index);
    void ResetDecoding();
    bool ReadPacket();
    bool ReceivePicture();
    bool DecodeNextPicture();
    bool DecodeNextSlot();
    bool SeekToSlot(int index);
    void Close();

    AVFormatContext* m_format { nullptr };
    AVCodecContext* m_video { nullptr };
    ClipSound m_sound;
    int m_video_stream { -1 };
    int m_sound_stream { -1 };
    AVFrame* m_frame { nullptr };   // the current picture
    AVFrame* m_scratch { nullptr }; // receives decoded pictures
    AVPacket* m_packet { nullptr };
    bool m_packet_held { false }; // m_packet waits to be sent to the picture decoder
    bool m_input_ended { false }; // the demuxer has nothing more
    bool m_decoder_drained { false };
    bool m_seeks_by_bytes { false };
    std::filesystem::path m_file;
    std::uintmax_t m_size { 0 };

    ClipIndex m_index;
    std::unique_ptr<ClipScanner> m_scanner; // after m_index: stopped before the index goes

    double m_time_base { 0 };       // seconds per unit of the main stream's time stamps
    double m_origin { 0 };          // the clip's start, in seconds of the main stream's clock
    double m_picture_duration { 0.04 };
    int m_width { 0 };
    int m_height { 0 };
    int m_current_index { -1 };
    double m_current_time { 0 };
    int m_next_number { 0 };               // the number the next picture decoded gets
    std::int64_t m_shown_from { ClipIndex::kNoTime }; // after a reposition: pictures shown before this are left out
};
