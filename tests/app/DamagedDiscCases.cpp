// The cases of the damaged-disc matrix: for each kind of file, each damage and what the window must
// show. A damage is described once, by what it does to the file (which reader fails, and with which
// message, or nothing); where that lands is the window's rule for the kind of file:
//
// - catalogues: a failing reader shows its error and ends the start-up construction there; a
//   tolerated damage builds the catalogue from what the file holds;
// - photographs: whatever fails leaves the viewer empty without a message;
// - pictures loaded by their file type (drawings, Nazca pictures, previews): a file that cannot
//   be opened or whose header cannot be read shows the error and the viewer keeps its picture; a
//   JPEG whose header reads but whose body does not (or of 0 bytes) loads, and its first drawing
//   shows the error;
// - clips: the clip plays, or its error box names the problem.
#include "DamagedDiscMatrix.h"

#include <cstdio>
#include <jerror.h>
#include <jpeglib.h>

using namespace damage;

namespace matrix {

const char* KindName(FileKind kind)
{
    switch (kind) {
    case FileKind::PhotoCatalogue:
        return "PhotoCatalogue";
    case FileKind::SchemeCatalogue:
        return "SchemeCatalogue";
    case FileKind::NaskaCatalogue:
        return "NaskaCatalogue";
    case FileKind::Photograph:
        return "Photograph";
    case FileKind::Drawing:
        return "Drawing";
    case FileKind::AnimatedDrawing:
        return "AnimatedDrawing";
    case FileKind::NaskaPicture:
        return "NaskaPicture";
    case FileKind::ArticlePreview:
        return "ArticlePreview";
    case FileKind::NaskaArticlePreview:
        return "NaskaArticlePreview";
    case FileKind::Clip:
        return "Clip";
    }
    return "?";
}

void PrintTo(const Case& c, std::ostream* out)
{
    *out << KindName(c.kind) << "_" << c.damage.name;
}

const char* TargetOf(FileKind kind)
{
    switch (kind) {
    case FileKind::PhotoCatalogue:
        return "db\\Photo.txt";
    case FileKind::SchemeCatalogue:
        return "db\\Graphics.txt";
    case FileKind::NaskaCatalogue:
        return "db\\Naska.txt";
    case FileKind::Photograph:
        return "Photo\\1990\\01\\001.jpg"; // the first of "Wiltshire, Avebury", 1990
    case FileKind::Drawing:
        return "Graphics\\2001\\01\\00.gif"; // the first drawing of scheme 2
    case FileKind::AnimatedDrawing:
        return "Graphics\\1990\\02\\00.gif"; // the first drawing of scheme 1, six frames
    case FileKind::NaskaPicture:
        return "Naska\\Photo\\Hummingbird\\00.jpg";
    case FileKind::ArticlePreview:
        return "Articles\\2\\_http_stile\\1.jpg";
    case FileKind::NaskaArticlePreview:
        return "Naska\\Articles\\3\\_http_stile\\1.jpg"; // "Плато Наска"
    case FileKind::Clip:
        return "Video\\2002_48.mpg";
    }
    return "";
}

namespace {

// What a damage does to a picture file, whichever window reads it.
struct PictureEffect {
    enum class Kind { Tolerated, OpenFails, HeaderFails, BodyFails } kind;
    std::string message;
};

PictureEffect Tolerated() { return { PictureEffect::Kind::Tolerated, "" }; }
PictureEffect OpenFails() { return { PictureEffect::Kind::OpenFails, "Cannot open file" }; }
PictureEffect HeaderFails(std::string message) { return { PictureEffect::Kind::HeaderFails, std::move(message) }; }
PictureEffect BodyFails(std::string message) { return { PictureEffect::Kind::BodyFails, std::move(message) }; }

std::string JpegError(int code) { return "JPEG error #" + std::to_string(code) + "."; }

struct PictureDamage {
    Damage damage;
    PictureEffect effect;
};

// A sample GIF, as another format under a JPEG's name.
Bytes SmallGif()
{
    return { 'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 0, 0, 0, 255, 255, 255, 0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0,
        2, 2, 0x44, 0x01, 0, ';' };
}

// Damages of a JPEG picture (photographs, Nazca pictures and article previews are all JPEG files
// written the same way: SOI, APP0, two DQT, SOF0, four DHT, SOS, data).
std::vector<PictureDamage> JpegDamages()
{
    return {
        { Missing(), OpenFails() },
        { FolderInstead(), OpenFails() },
        // 0 bytes load; the first decode finds no data.
        { ZeroBytes(), BodyFails(JpegError(JERR_INPUT_EMPTY)) },
        // A cut ends the data with an inserted end-of-image marker: inside a header, the header
        // cannot be read; inside the coded data, the picture decodes as far as it goes.
        { CutAt("CutInsideSOI", InJpegSegment(0xD8, 1)), HeaderFails(JpegError(JERR_NO_SOI)) },
        { CutAt("CutInsideAPP0", InJpegSegment(0xE0, 9)), HeaderFails(JpegError(JERR_NO_IMAGE)) },
        { CutAt("CutInsideDQT", InJpegSegment(0xDB, 30)), HeaderFails(JpegError(JERR_NO_IMAGE)) },
        { CutAt("CutInsideSOF", InJpegSegment(0xC0, 7)), HeaderFails(JpegError(JERR_BAD_LENGTH)) },
        { CutAt("CutInsideDHT", InJpegSegment(0xC4, 12)), HeaderFails(JpegError(JERR_BAD_HUFF_TABLE)) },
        { CutAt("CutInsideSOS", InJpegSegment(0xDA, 6)), HeaderFails(JpegError(JERR_BAD_COMPONENT_ID)) },
        { CutAt("CutAtTheStartOfTheData", InJpegData(0.0)), Tolerated() },
        { CutAt("CutInTheData", InJpegData(0.5)), Tolerated() },
        { CutAt("CutBeforeEOI", FromEnd(2)), Tolerated() },
        { FlipAt("FlipInSOI", InJpegSegment(0xD8, 1)), HeaderFails(JpegError(JERR_NO_SOI)) },
        { FlipAt("FlipInAPP0Identifier", InJpegSegment(0xE0, 4)), Tolerated() },
        { FlipAt("FlipInDQTValues", InJpegSegment(0xDB, 10)), Tolerated() },
        { FlipAt("FlipInSOFPrecision", InJpegSegment(0xC0, 4)), HeaderFails(JpegError(JERR_BAD_PRECISION)) },
        { FlipAt("FlipInSOFComponentCount", InJpegSegment(0xC0, 9)), HeaderFails(JpegError(JERR_BAD_LENGTH)) },
        { FlipAt("FlipInDHTIndex", InJpegSegment(0xC4, 4)), HeaderFails(JpegError(JERR_DHT_INDEX)) },
        { FlipAt("FlipInSOSComponent", InJpegSegment(0xDA, 5)), HeaderFails(JpegError(JERR_BAD_COMPONENT_ID)) },
        { FlipAt("FlipInTheData", InJpegData(0.5)), Tolerated() },
        { Rewritten("SecondFrameHeaderInTheData", WithSecondFrameHeader), BodyFails(JpegError(JERR_SOF_DUPLICATE)) },
        { ReplacedBy("GifUnderItsName", SmallGif), HeaderFails(JpegError(JERR_NO_SOI)) },
        { ReplacedBy("TextUnderItsName", [] { return BytesOf("<html>not a picture</html>\r\n"); }),
            HeaderFails(JpegError(JERR_NO_SOI)) },
        { ReplacedBy("CmykJpegUnderItsName", CmykJpeg), BodyFails(JpegError(JERR_CONVERSION_NOTIMPL)) },
    };
}

// A GIF reader message as the error box shows it.
std::string GifError(const char* message) { return std::string(message) + "."; }

// Damages of a GIF drawing; an animated one (six frames after a looping extension) has its third
// frame and its looping extension damaged as well.
std::vector<PictureDamage> GifDamages(bool animated)
{
    using L = const GifLayout&;
    std::vector<PictureDamage> damages = {
        { Missing(), OpenFails() },
        { FolderInstead(), OpenFails() },
        { ZeroBytes(), HeaderFails(GifError("Premature end of data")) },
        { CutAt("CutInsideSignature", At(3)), HeaderFails(GifError("Premature end of data")) },
        { CutAt("CutInsideScreenDescriptor", At(9)), HeaderFails(GifError("Premature end of data")) },
        { CutAt("CutInsideColorTable", At(13 + 10)), HeaderFails(GifError("Premature end of data")) },
        { CutAt("CutInsideImageDescriptor", InGif([](L g, const Bytes&) { return g.frames.at(0).descriptor + 5; })),
            HeaderFails(GifError("Premature end of data")) },
        // Extensions with no image after them make a frame without pixels: nothing to draw.
        { CutAt("CutBeforeTheImageDescriptor", InGif([](L g, const Bytes&) { return g.frames.at(0).descriptor; })),
            Tolerated() },
        { CutAt("CutBeforeTheCodeSize", InGif([](L g, const Bytes&) { return g.frames.at(0).code_size; })), Tolerated() },
        { CutAt("CutInTheData",
              InGif([](L g, const Bytes&) { return (g.frames.at(0).data + g.frames.at(0).data_end) / 2; })),
            Tolerated() },
        { CutAt("CutBeforeTheTrailer", InGif([](L g, const Bytes&) { return g.trailer; })), Tolerated() },
        { FlipAt("FlipInSignature", At(0)), HeaderFails(GifError("Invalid GIF signature")) },
        // A logical screen of 65280 + 240 pixels across: the frame is drawn scaled into it.
        { FlipAt("FlipInScreenWidth", At(7)), Tolerated() },
        { FlipAt("FlipInColorTable", At(13 + 4)), Tolerated() },
        { FlipAt("FlipInCodeSize", InGif([](L g, const Bytes&) { return g.frames.at(0).code_size; })),
            HeaderFails(GifError("Invalid LZW code size")) },
        { FlipAt("FlipInTheData",
              InGif([](L g, const Bytes&) { return (g.frames.at(0).data + g.frames.at(0).data_end) / 2; })),
            Tolerated() },
        { FlipAt("FlipInTheTrailer", InGif([](L g, const Bytes&) { return g.trailer; })), Tolerated() },
        { ReplacedBy("JpegUnderItsName", CmykJpeg), HeaderFails(GifError("Invalid GIF signature")) },
        // No colour table anywhere: the file loads, its first drawing has no colours to use.
        { Rewritten("WithoutAnyColorTable", WithoutColorTables),
            BodyFails(GifError("No global or local color table defined")) },
    };
    // A logical screen of 65535 x 65535 around the frames: a still drawing shows its frame scaled
    // into it; an animation, which paints on a bitmap of the screen's size, is refused by the
    // picture budget at its first drawing instead of asking for 17 GB.
    damages.push_back({ Rewritten("ScreenOf65535Square",
                            [](const Bytes& sound) {
                                Bytes damaged = sound;
                                for (std::size_t i = 6; i < 10; ++i)
                                    damaged.at(i) = 0xFF;
                                return damaged;
                            }),
        animated ? BodyFails(GifError("Out of memory")) : Tolerated() });
    if (animated) {
        damages.push_back({ CutAt("CutInsideLoopExtension", InGif([](L g, const Bytes&) {
            return g.frames.at(0).extensions.at(0) + 8;
        })),
            HeaderFails(GifError("Premature end of data")) });
        damages.push_back({ CutAt("CutInsideThirdImageDescriptor",
                                InGif([](L g, const Bytes&) { return g.frames.at(2).descriptor + 4; })),
            HeaderFails(GifError("Premature end of data")) });
        damages.push_back({ FlipAt("FlipInThirdFrameData", InGif([](L g, const Bytes&) {
            return (g.frames.at(2).data + g.frames.at(2).data_end) / 2;
        })),
            Tolerated() });
        damages.push_back({ FlipAt("FlipInThirdFrameCodeSize",
                                InGif([](L g, const Bytes&) { return g.frames.at(2).code_size; })),
            HeaderFails(GifError("Invalid LZW code size")) });
    }
    return damages;
}

// Where a picture damage lands, by the window that reads the picture.
Outcome OutcomeFor(FileKind kind, const PictureEffect& effect)
{
    if (kind == FileKind::Photograph)
        return effect.kind == PictureEffect::Kind::Tolerated ? Outcome::Shown : Outcome::EmptySilent;
    switch (effect.kind) {
    case PictureEffect::Kind::Tolerated:
        return Outcome::Shown;
    case PictureEffect::Kind::OpenFails:
    case PictureEffect::Kind::HeaderFails:
        return Outcome::LoadFails;
    case PictureEffect::Kind::BodyFails:
        return Outcome::DrawFails;
    }
    return Outcome::Shown;
}

void AddPictureCases(std::vector<Case>& cases, FileKind kind, const std::vector<PictureDamage>& damages)
{
    for (const PictureDamage& d : damages) {
        Outcome outcome = OutcomeFor(kind, d.effect);
        bool box = outcome == Outcome::LoadFails || outcome == Outcome::DrawFails;
        cases.push_back({ kind, d.damage, outcome, box ? d.effect.message : "" });
    }
}

} // namespace

std::vector<Case> PictureCases()
{
    std::vector<Case> cases;
    for (FileKind kind : { FileKind::Photograph, FileKind::NaskaPicture, FileKind::ArticlePreview, FileKind::NaskaArticlePreview })
        AddPictureCases(cases, kind, JpegDamages());
    return cases;
}

std::vector<Case> DrawingCases()
{
    std::vector<Case> cases;
    AddPictureCases(cases, FileKind::Drawing, GifDamages(false));
    AddPictureCases(cases, FileKind::AnimatedDrawing, GifDamages(true));
    return cases;
}

namespace {

Case Builds(FileKind kind, Damage damage) { return { kind, std::move(damage), Outcome::Built, "" }; }
Case Stops(FileKind kind, Damage damage, std::string message)
{
    return { kind, std::move(damage), Outcome::Stopped, std::move(message) };
}
std::string NotAnInteger(const std::string& text) { return "'" + text + "' is not a valid integer value."; }

} // namespace

// The catalogue files are Windows-1251 text, lines ending in CR LF; their lines begin
//   Photo.txt:    "1@001.jpg@Photo\1989\01\@1989@Великобритания@Gloucestershire, Cirencester@01.08.1989"
//   Graphics.txt: "1@Graphics\1990\01\@00.gif", "2@Graphics\1990\02\@00.gif", "3@Graphics\1990\02\@01.gif", ...
//   Naska.txt:    "1@Alcatraz@Алькатрас@00.jpg", ...
// A flipped byte inverts every bit: "9" becomes "Ж", "@" becomes "ї", CR becomes "т".
std::vector<Case> CatalogueCases()
{
    const FileKind photo = FileKind::PhotoCatalogue;
    const FileKind scheme = FileKind::SchemeCatalogue;
    const FileKind naska = FileKind::NaskaCatalogue;
    std::vector<Case> cases;
    for (FileKind kind : { photo, scheme, naska }) {
        cases.push_back(Stops(kind, Missing(), "File not found."));
        cases.push_back(Stops(kind, FolderInstead(), "it is a folder, not a file"));
        cases.push_back(Builds(kind, ZeroBytes())); // no photographs, schemes or figures
        cases.push_back(Builds(kind, CutAt("CutBetweenCRAndLF", Shifted(LineEnd(2), 1))));
        cases.push_back(Builds(kind, CutAt("CutBeforeTheLastCRLF", FromEnd(2))));
    }
    // Photo.txt: the year is characters 7-10 of the folder (field 3); it must be a number.
    cases.push_back(Stops(photo, CutAt("CutInTheFirstField", At(1)), NotAnInteger("")));
    cases.push_back(Stops(photo, CutAt("CutInsideTheFolderBeforeTheYear", InField(3, 3, 4)), NotAnInteger("")));
    cases.push_back(Builds(photo, CutAt("CutInsideTheYear", InField(3, 3, 8)))); // year "19"
    cases.push_back(Builds(photo, CutAt("CutInsideTheCountry", InField(3, 5, 6)))); // a country not built in
    cases.push_back(Builds(photo, CutAt("CutInsideTheDate", InField(3, 7, 4))));
    cases.push_back(Stops(photo, FlipAt("FlipInTheYear", InField(3, 3, 8)), NotAnInteger("19Ж0")));
    cases.push_back(Builds(photo, FlipAt("FlipOfAFieldSeparator", Shifted(InField(3, 6, 0), -1))));
    cases.push_back(Builds(photo, FlipAt("FlipInTheCountry", InField(3, 5, 0))));
    cases.push_back(Builds(photo, FlipAt("FlipOfACR", LineEnd(3))));
    cases.push_back(Stops(photo, ReplacedBy("JpegUnderItsName", CmykJpeg), "is not a valid integer value."));
    // Graphics.txt: the year is characters 10-13 of the folder (field 2) of every new scheme.
    cases.push_back(Stops(scheme, CutAt("CutInTheFirstFolder", InField(0, 2, 5)), NotAnInteger("")));
    cases.push_back(Builds(scheme, CutAt("CutInsideALaterYear", InField(3, 2, 11)))); // year "20"
    cases.push_back(Stops(scheme, FlipAt("FlipInTheYear", InField(1, 2, 11)), NotAnInteger("19Ж0")));
    cases.push_back(Stops(scheme, FlipAt("FlipOfAFieldSeparator", Shifted(InField(2, 2, 0), -1)), NotAnInteger("")));
    cases.push_back(Stops(scheme, ReplacedBy("JpegUnderItsName", CmykJpeg), "is not a valid integer value."));
    // Naska.txt: nothing is converted; damage only changes folders and captions.
    cases.push_back(Builds(naska, CutAt("CutInsideACaption", InField(4, 3, 3))));
    cases.push_back(Builds(naska, FlipAt("FlipOfAFieldSeparator", Shifted(InField(2, 3, 0), -1))));
    cases.push_back(Builds(naska, ReplacedBy("JpegUnderItsName", CmykJpeg)));
    cases.push_back(Builds(naska, ReplacedBy("Utf8Text", [] { return BytesOf("1@Alcatraz@Алькатрас@00.jpg\r\n"); })));
    return cases;
}

// Clips: the program's player reads an MPEG system stream (a pack header, a system header, then
// packets of video and sound). Whatever the damage, the clip plays or its box names the problem.
std::vector<Case> ClipCases()
{
    std::vector<Damage> damages = {
        Missing(),
        FolderInstead(),
        ZeroBytes(),
        CutAt("CutInsidePackHeader", AtStartCode(0xBA, 6)),
        CutAt("CutInsideSystemHeader", AtStartCode(0xBB, 8)),
        CutAt("CutInsideFirstPacketHeader", AtStartCode(0xE0, 6)),
        CutAt("CutInsideSequenceHeader", AtStartCode(0xB3, 6)),
        CutAt("CutInTheMiddle", Middle()),
        FlipAt("FlipInPackStartCode", AtStartCode(0xBA, 3)),
        FlipAt("FlipInSequenceHeaderSize", AtStartCode(0xB3, 4)),
        FlipAt("FlipInTheMiddle", Middle()),
        ReplacedBy("JpegUnderItsName", CmykJpeg),
        ReplacedBy("TextUnderItsName", [] { return BytesOf("not a clip\r\n"); }),
    };
    std::vector<Case> cases;
    for (Damage& d : damages)
        cases.push_back({ FileKind::Clip, std::move(d), Outcome::PlaysOrBox, "" });
    return cases;
}

} // namespace matrix
