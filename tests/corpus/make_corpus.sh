#!/usr/bin/env bash
# Writes the clip corpus of the media tests with the ffmpeg program, and what FFmpeg's own tools
# make of each clip: the pictures ffprobe counts, how long the pictures and the sound last, the
# last picture and the first ten scaled to the display's 768 x 514 as raw BGRA.
#
#   make_corpus.sh MKDISC DIR
#
# DIR gets the clips, their references, a small sample disc (disc/) for the window to run on, and
# corpus.txt listing one clip a line:
#   NAME FILE KIND PICTURES VIDEO_SECONDS SOUND_SECONDS PACKETS
# KIND is "video" or "sound"; PICTURES is what ffprobe -count_frames counts (for sound alone, the
# file's length in pictures of 40 ms), PACKETS the video packets FFmpeg's demuxer reads; a number
# that does not apply is 0. A corpus written completely before
# (its stamp in DIR) is kept.
set -euo pipefail
mkdisc=$1 dir=$2
stamp=$dir/corpus.complete
script_stamp=$(cksum < "$0" | cut -d' ' -f1)
if [[ -f $stamp && $(cat "$stamp") == "$script_stamp" ]]; then
    exit 0
fi
rm -rf "$dir"
mkdir -p "$dir"
cd "$dir"

"$mkdisc" disc --small > /dev/null

ff() { ffmpeg -nostdin -v error -y "$@"; }
# Pictures that change all over from one to the next (the hue turns), so that a picture shown one
# place off is told apart; a steady tone.
pictures() { echo "testsrc2=s=320x240:r=25:d=$2,hue=H=2*PI*t,scale=${1/x/:}"; }
tone() { echo "sine=f=440:d=$1:sample_rate=44100"; }

# name, extension, then ffmpeg's output options; the picture and the sound last two seconds.
both() {
    local name=$1 ext=$2
    shift 2
    ff -f lavfi -i "$(pictures 320x240 2)" -f lavfi -i "$(tone 2)" "$@" "$name.$ext"
}
both mpeg1 mpg -c:v mpeg1video -bf 2 -g 12 -b:v 1500k -c:a mp2 -f mpeg
both mpeg2 mpg -c:v mpeg2video -bf 2 -g 15 -b:v 2500k -c:a mp2 -f vob
ff -f lavfi -i "$(pictures 320x240 2)" -c:v mpeg1video -g 12 -b:v 1500k -f mpeg1video mpeg1-es.m1v
both avi-xvid avi -c:v mpeg4 -vtag XVID -g 12 -q:v 4 -c:a libmp3lame
both avi-mjpeg avi -c:v mjpeg -q:v 4 -c:a pcm_s16le
both avi-h264 avi -c:v libx264 -preset veryfast -g 12 -c:a libmp3lame
both avi-msmpeg4v3 avi -c:v msmpeg4v3 -g 12 -q:v 4 -c:a libmp3lame
both mp4-h264 mp4 -c:v libx264 -preset veryfast -g 12 -c:a aac -movflags +faststart
both asf-wmv2 asf -c:v wmv2 -g 12 -q:v 4 -c:a wmav2
# Variable frame rate: from pictures at 50 per second, two of every five are dropped; the gaps
# repeat evenly, so that half the time holds half the pictures.
ff -f lavfi -i "testsrc2=s=320x240:r=50:d=2,hue=H=2*PI*t,select='not(eq(mod(n\,5)\,1)+eq(mod(n\,5)\,3))'" \
    -f lavfi -i "$(tone 2)" -fps_mode vfr -c:v libx264 -preset veryfast -g 12 -c:a aac -movflags +faststart vfr.mp4
ff -f lavfi -i "$(pictures 320x240 1)" -f lavfi -i "$(tone 2)" -c:v mpeg1video -g 12 -b:v 1500k -c:a mp2 -f mpeg \
    sound-longer.mpg
ff -f lavfi -i "$(pictures 320x240 2)" -f lavfi -i "$(tone 1)" -c:v libx264 -preset veryfast -g 12 -c:a aac \
    -movflags +faststart picture-longer.mp4
ff -f lavfi -i "$(pictures 320x240 1)" -frames:v 1 -c:v mpeg1video -f mpeg one-picture.mpg
ff -f lavfi -i "$(pictures 1x1 2)" -f lavfi -i "$(tone 2)" -c:v mpeg4 -vtag XVID -g 12 -c:a libmp3lame tiny.avi
ff -f lavfi -i "$(pictures 321x241 2)" -f lavfi -i "$(tone 2)" -c:v mpeg4 -vtag XVID -g 12 -q:v 4 -c:a libmp3lame odd.avi
ff -f lavfi -i "$(pictures 4096x2160 0.4)" -c:v libx264 -preset ultrafast -g 12 -movflags +faststart huge.mp4
ff -f lavfi -i "$(tone 2)" -c:a libmp3lame sound-mp3.mpg.tmp.mp3 && mv sound-mp3.mpg.tmp.mp3 sound-mp3.mpg
ff -f lavfi -i "$(tone 2)" -c:a pcm_s16le -f wav sound-wav.mpg

# Each container cut at 60 % and with a stretch in its middle overwritten by noise.
ff -f lavfi -i "anoisesrc=d=1:sample_rate=44100:seed=7" -f u8 -ac 1 noise.raw
noise() { head -c "$1" noise.raw; }
for clip in mpeg1.mpg mpeg1-es.m1v avi-xvid.avi mp4-h264.mp4 asf-wmv2.asf; do
    base=${clip%.*} ext=${clip##*.}
    size=$(stat -c %s "$clip")
    head -c $((size * 6 / 10)) "$clip" > "$base-cut.$ext"
    cp "$clip" "$base-damaged.$ext"
    noise $((size / 25)) | dd of="$base-damaged.$ext" bs=4096 seek=$((size / 2)) oflag=seek_bytes conv=notrunc status=none
done

probe() { ffprobe -v fatal "$@" -of csv=p=0 | head -n1 | tr -d ,; }
# How long a stream's frames last, from the first one's time to the last one's end (0: no frames).
span() {
    ffprobe -v fatal -select_streams "$2" -show_entries frame=best_effort_timestamp_time,pkt_duration_time \
        -of default=nw=1 "$1" | awk -F= '
            $1 == "best_effort_timestamp_time" && $2 != "N/A" { t = $2; if (!seen) first = t; seen = 1; last = t; step = 0 }
            $1 == "pkt_duration_time" && $2 != "N/A" { step = $2 }
            END { printf "%.6f\n", seen ? last + step - first : 0 }'
}
: > corpus.txt.partial
for file in *.mpg *.m1v *.avi *.mp4 *.asf; do
    name=${file%.*}
    sound=0
    [[ -n $(probe -select_streams a:0 -show_entries stream=index "$file") ]] && sound=$(span "$file" a:0)
    if [[ -z $(probe -select_streams v:0 -show_entries stream=index "$file") ]]; then
        # Sound alone counts pictures of 40 ms over the length the file gives (an MP3 file's
        # includes the encoder's padding of a few milliseconds).
        pictures=$(awk -v d="$(probe -show_entries format=duration "$file")" 'BEGIN { printf "%d\n", d * 25 + 0.5 }')
        echo "$name $file sound $pictures 0 $sound 0" >> corpus.txt.partial
        continue
    fi
    count=$(probe -count_frames -select_streams v:0 -show_entries stream=nb_read_frames "$file")
    packets=$(probe -count_packets -select_streams v:0 -show_entries stream=nb_read_packets "$file")
    # The last picture, and the first ten, as FFmpeg decodes them and scales them to the display:
    # every picture decoded, none repeated or left out for a steady rate.
    scale=(-vf scale=768:514:flags=bilinear -fps_mode passthrough -f rawvideo -pix_fmt bgra)
    ffmpeg -nostdin -v fatal -i "$file" "${scale[@]}" - | tail -c $((768 * 514 * 4)) > "$name.last.bgra"
    ffmpeg -nostdin -v fatal -i "$file" "${scale[@]}" -frames:v 10 "$name.first.bgra"
    echo "$name $file video $count $(span "$file" v:0) $sound $packets" >> corpus.txt.partial
done
rm noise.raw
mv corpus.txt.partial corpus.txt
echo "$script_stamp" > "$stamp"
