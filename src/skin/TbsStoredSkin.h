#pragma once

#include "framework/TBitmap.h"
#include "framework/TComponent.h"
#include "framework/TStringList.h"

#include <memory>
#include <string>
#include <vector>

class TStream;

// A whole skin carried inside the program: its INI text and its pictures. The pictures persist as
// one "Pictures" block (ReadPictures/WritePictures):
//   main-picture flag (1 byte: 1 = empty, nothing follows; 0 = a BMP file image follows) [image]
//   inactive-picture flag [image], mask flag [image]
//   control-picture count N (4 bytes, signed, little-endian), then N BMP file images back to back.
// Each BMP image occupies exactly the byte count its file header gives.
class TbsStoredSkin : public TComponent {
public:
    explicit TbsStoredSkin(TComponent* owner = nullptr);
    ~TbsStoredSkin() override;

    const std::string& FileName() const { return m_file_name; }
    void SetFileName(std::string name) { m_file_name = std::move(name); }
    const TStringList& IniStrings() const { return m_ini_strings; }
    void SetIniStrings(const TStringList& lines) { m_ini_strings = lines; }

    TBitmap& MainPicture() { return m_main_picture; }
    TBitmap& InactivePicture() { return m_inactive_picture; }
    TBitmap& MaskPicture() { return m_mask_picture; }
    const TBitmap& MainPicture() const { return m_main_picture; }
    const TBitmap& InactivePicture() const { return m_inactive_picture; }
    const TBitmap& MaskPicture() const { return m_mask_picture; }
    const std::vector<std::unique_ptr<TBitmap>>& ControlPictures() const { return m_control_pictures; }
    void AddControlPicture(std::unique_ptr<TBitmap> picture) { m_control_pictures.push_back(std::move(picture)); }
    void ClearControlPictures() { m_control_pictures.clear(); }

    // Reads the block at the stream's position. A picture that does not start with "BM", or is not a
    // BMP this program reads, raises EInvalidGraphic "Bitmap image is not valid"; a block that ends
    // early raises EReadError "Stream read error". Pictures read before the failure stay.
    void ReadPictures(TStream& stream);
    void WritePictures(TStream& stream) const;

private:
    std::string m_file_name;
    TStringList m_ini_strings;
    TBitmap m_main_picture;
    TBitmap m_inactive_picture;
    TBitmap m_mask_picture;
    std::vector<std::unique_ptr<TBitmap>> m_control_pictures;
};

// One complete BMP file image from the stream into `bitmap`, consuming exactly its file size.
void ReadBlockBitmap(TStream& stream, TBitmap& bitmap);
