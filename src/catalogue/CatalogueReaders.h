#pragma once

#include "catalogue/CatalogueRecords.h"
#include "framework/TextFile.h"

#include <string>
#include <string_view>
#include <vector>

// The readers of the three catalogue files. Each line is split at every "@" into fields (field 1
// before the first "@"); missing fields are empty, nothing is trimmed. The readers write into the
// caller's arrays as they go, so what was read before an error stays there.
namespace Catalogue {

// Field `number` (1-based) of an "@"-separated line; empty when the line has fewer fields.
std::string_view Field(std::string_view line, int number);
// Characters `first` (1-based) ... first + count - 1 of `text`, fewer when it is shorter.
std::string_view Copy(std::string_view text, std::size_t first, std::size_t count = std::string_view::npos);
// A decimal integer ([+-]digits, nothing else); anything else raises EConvertError
// "'TEXT' is not a valid integer value".
int StrToInt(std::string_view text);

// "db\Photo.txt": fills `photos` in the order of the composed key
// Country@FileName@Folder@Place@DateText@year text, compared without regard to case in the user's
// locale. A year text that is no number raises EConvertError; `photos` then holds every record up to
// the failing one, which has its texts but Year 0.
void LoadPhotos(TextFile& file, std::vector<TPhoto>& photos);
// "db\Graphics.txt": consecutive lines of one folder form one scheme; then every scheme is linked to
// the first photograph of `photos` whose folder from its 7th character equals the scheme's folder
// from its 10th character.
void LoadSchemes(TextFile& file, const std::vector<TPhoto>& photos, std::vector<TGraphic>& schemes);
// "db\Naska.txt": consecutive lines of one folder form one figure.
void LoadNaska(TextFile& file, std::vector<TNaskaData>& figures);

} // namespace Catalogue
