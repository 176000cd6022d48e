#include "platform/media/ClipDecoder.h"

#include "platform/media/ClipInput.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/avstring.h>
}

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <system_error>

namespace {

// Picture codings our video devices play.
constexpr std::array kVideoCodecs = { AV_CODEC_ID_MPEG1VIDEO, AV_CODEC_ID_MPEG2VIDEO, AV_CODEC_ID_MPEG4,
    AV_CODEC_ID_H263, AV_CODEC_ID_H264, AV_CODEC_ID_MSMPEG4V1, AV_CODEC_ID_MSMPEG4V2, AV_CODEC_ID_MSMPEG4V3,
    AV_CODEC_ID_MJPEG, AV_CODEC_ID_CINEPAK, AV_CODEC_ID_MSVIDEO1, AV_CODEC_ID_INDEO3, AV_CODEC_ID_WMV1,
    AV_CODEC_ID_WMV2, AV_CODEC_ID_RAWVIDEO };

// Largest picture we accept, so that a hostile header cannot make us allocate gigabytes.
constexpr int kMaxPictureSide = 4096;
// A forward seek closer than this is decoded through rather than repositioned.
constexpr int kForwardDecodeLimit = 30;
// A file without pictures plays as pictures of this length (25 per second).
constexpr double kSlotSeconds = 0.04;
// How far ahead of a picture's time a file without pictures has its sound decoded.
constexpr double kSoundAhead = 0.3;
// Packets one call of FeedSound reads at most.
constexpr int kMaxSoundPackets = 500;
// Packets a seek by time reads at most looking for a key frame.
constexpr int kMaxSearchPackets = 2000;

// Whether an MPEG program stream ends inside a packet: a file cut short. Walks the pack and packet
// headers by their lengths; a file that ends exactly between packets, or loses its way in damaged
// data, counts as not cut.
bool ProgramStreamIsCut(const std::filesystem::path& file, std::uintmax_t size)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return false;
    std::uint64_t pos = 0;
    std::array<unsigned char, 14> head {};
    while (pos < size) {
        if (size - pos < 4)
            return true; // bytes left over after the last packet: a start code cut in two
        in.seekg(std::streamoff(pos));
        std::size_t want = std::min<std::uint64_t>(head.size(), size - pos);
        if (!in.read(reinterpret_cast<char*>(head.data()), std::streamsize(want)))
            return false;
        if (head[0] != 0 || head[1] != 0 || head[2] != 1)
            return false; // lost in damaged data
        unsigned code = head[3];
        std::uint64_t length;
        if (code == 0xB9)
            return false; // program end code
        if (code == 0xBA) {
            if (want < 5)
                return true;
            if ((head[4] & 0xC0) == 0x40) { // MPEG-2 pack header: 14 bytes and stuffing
                if (want < 14)
                    return true;
                length = 14 + (head[13] & 7);
            } else if ((head[4] & 0xF0) == 0x20) {
                length = 12;
            } else {
                return false;
            }
        } else if (code >= 0xBB) {
            if (want < 6)
                return true;
            length = 6 + (std::uint64_t(head[4]) << 8 | head[5]);
        } else {
            return false; // not a program stream structure we know
        }
        if (length > size - pos)
            return true;
        pos += length;
    }
    return false;
}

bool StartsAsProgramStream(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::array<unsigned char, 4> start {};
    return in.read(reinterpret_cast<char*>(start.data()), 4) && start[0] == 0 && start[1] == 0 && start[2] == 1
        && start[3] == 0xBA;
}

std::int64_t TimeOrNone(std::int64_t t)
{
    return t == AV_NOPTS_VALUE ? ClipIndex::kNoTime : t;
}

// Seconds the stream lasts, by its own count or the container's; 0 when neither says.
double DurationOf(const AVFormatContext& format, const AVStream& stream)
{
    if (stream.duration != AV_NOPTS_VALUE && stream.duration > 0)
        return double(stream.duration) * av_q2d(stream.time_base);
    if (format.duration != AV_NOPTS_VALUE && format.duration > 0)
        return double(format.duration) / AV_TIME_BASE;
    return 0;
}

} // namespace

ClipDecoder::ClipDecoder()
{
    // The libraries' own messages about damaged data would go to standard error; the device
    // reports through its result codes instead.
    av_log_set_level(AV_LOG_QUIET);
    m_frame = av_frame_alloc();
    m_scratch = av_frame_alloc();
    m_packet = av_packet_alloc();
}

ClipDecoder::~ClipDecoder()
{
    Close();
    av_frame_free(&m_frame);
    av_frame_free(&m_scratch);
    av_packet_free(&m_packet);
}

void ClipDecoder::Close()
{
    m_scanner.reset();
    avcodec_free_context(&m_video);
    ClipInput::Close(m_format);
}

MciError ClipDecoder::Open(const std::filesystem::path& file, Counting counting)
{
    if (!m_frame || !m_scratch || !m_packet)
        return MCIERR_OUT_OF_MEMORY;
    std::error_code error;
    auto status = std::filesystem::status(file, error);
    if (error || !std::filesystem::exists(status))
        return MCIERR_FILE_NOT_FOUND;
    if (!std::filesystem::is_regular_file(status))
        return MCIERR_INVALID_FILE;
    std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error)
        return MCIERR_FILE_READ;
    if (size == 0)
        return MCIERR_CLIP_EMPTY;
    if (MciError result = ClipInput::Open(file, m_format)) {
        // A program stream cut so short that nothing in it can be made out.
        if (StartsAsProgramStream(file) && ProgramStreamIsCut(file, size))
            return MCIERR_CLIP_TRUNCATED;
        return result;
    }
    if (MciError result = OpenStreams()) {
        if (result == MCIERR_CLIP_NO_PICTURE && StartsAsProgramStream(file) && ProgramStreamIsCut(file, size))
            return MCIERR_CLIP_TRUNCATED;
        return result;
    }
    m_seeks_by_bytes = ClipInput::SeeksByBytes(*m_format);
    m_file = file;
    m_size = size;
    StartIndex(file, size, counting);
    return 0;
}

MciError ClipDecoder::OpenStreams()
{
    m_video_stream = av_find_best_stream(m_format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (m_video_stream >= 0) {
        AVStream* video = m_format->streams[m_video_stream];
        const AVCodec* codec = avcodec_find_decoder(video->codecpar->codec_id);
        if (!codec || std::find(kVideoCodecs.begin(), kVideoCodecs.end(), codec->id) == kVideoCodecs.end())
            return MCIERR_INVALID_FILE;
        m_width = video->codecpar->width;
        m_height = video->codecpar->height;
        if (m_width <= 0 || m_height <= 0 || m_width > kMaxPictureSide || m_height > kMaxPictureSide)
            return MCIERR_INVALID_FILE;
        m_video = avcodec_alloc_context3(codec);
        if (!m_video || avcodec_parameters_to_context(m_video, video->codecpar) < 0)
            return MCIERR_OUT_OF_MEMORY;
        m_video->thread_count = 1;
        if (avcodec_open2(m_video, codec, nullptr) < 0)
            return MCIERR_INVALID_FILE;
        m_time_base = av_q2d(video->time_base);
        if (m_time_base <= 0)
            return MCIERR_INVALID_FILE;
        AVRational rate = video->avg_frame_rate.num > 0 && video->avg_frame_rate.den > 0 ? video->avg_frame_rate : video->r_frame_rate;
        double fps = rate.num > 0 && rate.den > 0 ? av_q2d(rate) : 0;
        m_picture_duration = fps >= 1 && fps <= 240 ? 1.0 / fps : kSlotSeconds;
        m_origin = video->start_time != AV_NOPTS_VALUE ? double(video->start_time) * m_time_base : 0;
    }
    // Sound is optional beside pictures: a clip whose sound cannot be decoded plays silent.
    int sound = av_find_best_stream(m_format, AVMEDIA_TYPE_AUDIO, -1, m_video_stream, nullptr, 0);
    if (sound >= 0 && m_sound.Open(*m_format->streams[sound]))
        m_sound_stream = sound;
    if (!m_video) {
        if (m_sound_stream < 0)
            return MCIERR_CLIP_NO_PICTURE;
        AVStream* stream = m_format->streams[m_sound_stream];
        m_time_base = av_q2d(stream->time_base);
        m_origin = stream->start_time != AV_NOPTS_VALUE ? double(stream->start_time) * m_time_base : 0;
        m_picture_duration = kSlotSeconds;
    }
    m_sound.SetOrigin(m_origin);
    for (unsigned i = 0; i < m_format->nb_streams; ++i) {
        if (int(i) != m_video_stream && int(i) != m_sound_stream)
            m_format->streams[i]->discard = AVDISCARD_ALL;
    }
    return 0;
}

void ClipDecoder::StartIndex(const std::filesystem::path& file, std::uintmax_t size, Counting counting)
{
    if (!m_video) {
        AVStream* stream = m_format->streams[m_sound_stream];
        if (double seconds = DurationOf(*m_format, *stream); seconds > 0) {
            m_index.Fill({}, int(std::lround(seconds / kSlotSeconds)));
            return;
        }
        m_scanner = std::make_unique<ClipScanner>(file, m_sound_stream, ClipScanner::Kind::Sound, kSlotSeconds, m_index);
        return;
    }
    if (IndexFromContainer(size))
        return;
    // Until the scan is done, the length the clip's duration suggests.
    AVStream* stream = m_format->streams[m_video_stream];
    m_index.SetEstimate(int(std::lround(DurationOf(*m_format, *stream) / m_picture_duration)));
    if (counting == Counting::Scan)
        m_scanner = std::make_unique<ClipScanner>(file, m_video_stream, ClipScanner::Kind::Pictures, m_picture_duration, m_index);
    else
        m_index.GiveUp();
}

// AVI and MP4 files list every picture of the stream, with its place in the file. The list is
// taken when it covers the count the header gives; an AVI file cut short has lost its list (it is
// written at the end) and is scanned. Entries whose data lies past the end of a cut file do not
// count, nor do empty AVI chunks (they repeat the picture before) or pictures marked not to be
// shown.
bool ClipDecoder::IndexFromContainer(std::uintmax_t size)
{
    if (av_match_list(m_format->iformat->name, "avi,mov", ',') <= 0)
        return false;
    AVStream* stream = m_format->streams[m_video_stream];
    int entries = avformat_index_get_entries_count(stream);
    if (stream->nb_frames <= 0 || entries < stream->nb_frames)
        return false;
    ClipIndex::Builder builder;
    for (int i = 0; i < entries; ++i) {
        const AVIndexEntry* entry = avformat_index_get_entry(stream, i);
        if (!entry || entry->size <= 0 || (entry->flags & AVINDEX_DISCARD_FRAME))
            continue;
        if (entry->pos < 0 || std::uintmax_t(entry->pos) + std::uintmax_t(entry->size) > size)
            break;
        builder.Add(entry->flags & AVINDEX_KEYFRAME, entry->pos, TimeOrNone(entry->timestamp), ClipIndex::kNoTime);
    }
    int count = builder.Count();
    m_index.Fill(builder.TakeKeys(), count);
    return true;
}

void ClipDecoder::ResetDecoding()
{
    if (m_video)
        avcodec_flush_buffers(m_video);
    m_sound.Flush();
    av_packet_unref(m_packet);
    m_packet_held = false;
    m_input_ended = false;
    m_decoder_drained = false;
}

bool ClipDecoder::ReadPacket()
{
    av_packet_unref(m_packet);
    return av_read_frame(m_format, m_packet) >= 0;
}

// To the key frame's packet, held to be sent first. The demuxer is put before it, by byte offset
// or time stamp, and the packets up to it are passed over; false when the key is not met.
bool ClipDecoder::Reposition(const ClipIndex::Key& key)
{
    int result;
    if (m_seeks_by_bytes)
        result = av_seek_frame(m_format, -1, key.picture == 0 ? 0 : std::max<std::int64_t>(0, key.pos), AVSEEK_FLAG_BYTE);
    else if (key.dts != ClipIndex::kNoTime)
        result = av_seek_frame(m_format, m_video_stream, key.dts, AVSEEK_FLAG_BACKWARD);
    else
        return false;
    ResetDecoding();
    if (result < 0)
        return false;
    // Byte offsets name packets in MPEG streams (their time stamps may jump); time stamps in
    // the others (a demuxing packet there may carry several pictures at one offset).
    bool by_pos = m_seeks_by_bytes || key.dts == ClipIndex::kNoTime;
    while (ReadPacket()) {
        if (m_packet->stream_index != m_video_stream)
            continue; // sound before the key frame belongs to pictures before it
        if (by_pos && m_packet->pos >= 0 && key.pos >= 0) {
            if (m_packet->pos == key.pos && (m_packet->flags & AV_PKT_FLAG_KEY || key.picture == 0))
                break;
            if (m_packet->pos > key.pos)
                return false;
        } else if (!by_pos && m_packet->dts != AV_NOPTS_VALUE) {
            if (m_packet->dts == key.dts)
                break;
            if (m_packet->dts > key.dts)
                return false;
        }
    }
    if (m_packet->stream_index != m_video_stream || !m_packet->data)
        return false;
    m_packet_held = true;
    m_next_number = key.picture;
    m_shown_from = key.pts;
    m_current_index = -1;
    return true;
}

// To the start of the file, numbering from 0: what is left when a key frame cannot be found
// where the index puts it.
bool ClipDecoder::RepositionToStart()
{
    int result = m_seeks_by_bytes ? av_seek_frame(m_format, -1, 0, AVSEEK_FLAG_BYTE)
                                  : avformat_seek_file(m_format, -1, INT64_MIN, INT64_MIN, 0, 0);
    if (result < 0)
        result = av_seek_frame(m_format, -1, 0, AVSEEK_FLAG_BYTE);
    ResetDecoding();
    m_next_number = 0;
    m_shown_from = ClipIndex::kNoTime;
    m_current_index = -1;
    return result >= 0;
}

// While the scan still counts the pictures: to the first key frame with a time of its own from a
// second before the time picture `index` is due at by the clip's average rate, numbering from that
// time. Exact for clips at a steady rate, and quick: an MPEG stream is entered at the byte its
// average rate puts that second at, other containers by their own time search. False when that
// does not work out; the seek then waits for the scan.
bool ClipDecoder::RepositionByTime(int index)
{
    if (index <= 0)
        return false;
    // The rate is an average: when the key frame found lies past the picture, start earlier.
    for (double margin : { 1.0, 4.0, 16.0 }) {
        double seconds = std::max(0.0, index * m_picture_duration - margin);
        int result;
        if (m_seeks_by_bytes) {
            double duration = m_format->duration > 0 ? double(m_format->duration) / AV_TIME_BASE : 0;
            if (duration <= 0 || m_size == 0)
                return false;
            auto pos = std::int64_t(seconds / duration * double(m_size));
            result = av_seek_frame(m_format, -1, std::clamp<std::int64_t>(pos, 0, std::int64_t(m_size) - 1), AVSEEK_FLAG_BYTE);
        } else {
            auto target = std::int64_t(std::llround((seconds + m_origin) / m_time_base));
            result = av_seek_frame(m_format, m_video_stream, target, AVSEEK_FLAG_BACKWARD);
        }
        ResetDecoding();
        if (result < 0)
            return false;
        int number = -1;
        for (int packets = 0; packets < kMaxSearchPackets && ReadPacket(); ++packets) {
            if (m_packet->stream_index == m_video_stream && (m_packet->flags & AV_PKT_FLAG_KEY)
                && m_packet->pts != AV_NOPTS_VALUE) {
                number = int(std::lround((double(m_packet->pts) * m_time_base - m_origin) / m_picture_duration));
                break;
            }
            // Pictures before a key frame cannot be decoded on their own.
        }
        if (number < 0)
            return false;
        if (number > index)
            continue;
        m_packet_held = true;
        m_next_number = number;
        m_shown_from = m_packet->pts;
        m_current_index = -1;
        return true;
    }
    return false;
}

bool ClipDecoder::ReceivePicture()
{
    while (avcodec_receive_frame(m_video, m_scratch) >= 0) {
        if (m_scratch->width <= 0 || m_scratch->height <= 0 || m_scratch->width > kMaxPictureSide
            || m_scratch->height > kMaxPictureSide
            || (m_shown_from != ClipIndex::kNoTime && m_scratch->pts != AV_NOPTS_VALUE && m_scratch->pts < m_shown_from)) {
            av_frame_unref(m_scratch); // a picture shown before the key frame we started from
            continue;
        }
        int number = m_next_number++;
        double time = m_scratch->pts != AV_NOPTS_VALUE ? double(m_scratch->pts) * m_time_base - m_origin
                                                       : number * m_picture_duration;
        if (m_current_index >= 0)
            time = std::max(time, m_current_time); // a clock that never runs backwards
        av_frame_unref(m_frame);
        av_frame_move_ref(m_frame, m_scratch);
        m_shown_from = ClipIndex::kNoTime; // from here on every picture counts
        m_current_index = number;
        m_current_time = time;
        return true;
    }
    return false;
}

bool ClipDecoder::DecodeNext()
{
    return m_video ? DecodeNextPicture() : DecodeNextSlot();
}

bool ClipDecoder::DecodeNextPicture()
{
    if (!m_format)
        return false;
    // Past the last picture only sound can follow; that is read as it is due (FeedSound).
    if (m_index.Filled() && m_current_index >= m_index.Length() - 1)
        return false;
    for (;;) {
        if (ReceivePicture())
            return true;
        if (m_decoder_drained)
            return false;
        if (m_packet_held) {
            // Held: the key frame to start from, or a packet refused while the decoder was full.
            if (avcodec_send_packet(m_video, m_packet) == AVERROR(EAGAIN))
                continue;
            av_packet_unref(m_packet);
            m_packet_held = false;
            continue;
        }
        if (m_input_ended) {
            // Everything read: let the decoder give up the pictures it still holds.
            avcodec_send_packet(m_video, nullptr);
            m_decoder_drained = true;
            continue;
        }
        if (!ReadPacket()) {
            m_input_ended = true;
            continue;
        }
        if (m_packet->stream_index == m_video_stream) {
            // A damaged packet is refused by the decoder; the next one goes on.
            if (avcodec_send_packet(m_video, m_packet) == AVERROR(EAGAIN))
                m_packet_held = true;
        } else if (m_packet->stream_index == m_sound_stream) {
            m_sound.Decode(*m_packet);
        }
    }
}

bool ClipDecoder::DecodeNextSlot()
{
    if (!m_format || m_current_index + 1 >= m_index.Length())
        return false;
    ++m_current_index;
    m_current_time = m_current_index * kSlotSeconds;
    FeedSound(m_current_time + kSoundAhead);
    return true;
}

bool ClipDecoder::FeedSound(double until)
{
    if (!m_format || m_input_ended)
        return false;
    // Sound that will not decode must not make one call read the whole file.
    for (int packets = 0; m_sound_stream >= 0 && m_sound.End() < until && packets < kMaxSoundPackets; ++packets) {
        if (!ReadPacket()) {
            m_input_ended = true;
            return false;
        }
        if (m_packet->stream_index == m_sound_stream)
            m_sound.Decode(*m_packet);
    }
    return true;
}

bool ClipDecoder::SeekToSlot(int index)
{
    std::int64_t target = std::llround((index * kSlotSeconds + m_origin) / m_time_base);
    int result = av_seek_frame(m_format, m_sound_stream, target, AVSEEK_FLAG_BACKWARD);
    if (result < 0)
        result = av_seek_frame(m_format, m_sound_stream, target, AVSEEK_FLAG_ANY);
    ResetDecoding();
    m_current_index = index;
    m_current_time = index * kSlotSeconds;
    return true;
}

bool ClipDecoder::SeekTo(int index)
{
    if (!m_format)
        return false;
    index = std::clamp(index, 0, std::max(0, m_index.Length() - 1));
    if (!m_video)
        return index == m_current_index || SeekToSlot(index);
    if (m_current_index == index)
        return true;
    if (m_current_index >= 0 && index > m_current_index && index - m_current_index <= kForwardDecodeLimit) {
        while (m_current_index < index) {
            if (!DecodeNextPicture())
                break; // damage or the end: the last picture decoded stays
        }
        return true;
    }
    // While the scan still counts, a seek goes by the clip's clock rather than wait for it.
    bool placed = !m_index.Filled() && RepositionByTime(index);
    std::optional<ClipIndex::Key> key;
    if (!placed) {
        key = m_index.KeyFor(index);
        if (!key)
            return false;
        placed = Reposition(*key);
    }
    // A key frame not where the index put it (damage): the one before, else the start.
    if (!placed && key && key->picture > 0) {
        if (std::optional<ClipIndex::Key> before = m_index.KeyBefore(*key))
            placed = Reposition(*before);
    }
    if (!placed && !RepositionToStart())
        return false;
    bool got = false;
    while (m_current_index < index) {
        if (!DecodeNextPicture())
            break;
        got = true;
    }
    if (!got)
        return m_frame->data[0] != nullptr && m_current_index >= 0;
    return true;
}

// Walks the whole file: asked only when a clip shows nothing, to tell why.
bool ClipDecoder::IsCutShort() const
{
    return m_seeks_by_bytes && StartsAsProgramStream(m_file) && ProgramStreamIsCut(m_file, m_size);
}

AVFrame* ClipDecoder::CurrentFrame() const
{
    if (!m_video || m_current_index < 0 || !m_frame->data[0])
        return nullptr;
    return av_frame_clone(m_frame);
}
