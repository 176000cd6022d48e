// The photo browser: the photo tree by year and by country, the node "Все", and the one pair of
// Next/Prev handlers that steps through whichever picture sequence the view state names.
#include "shell/TVelmarForm.h"

#include "imaging/TJPEGImage.h"
#include "platform/DiscPath.h"
#include "views/ViewPaths.h"

#include <memory>

using ViewPaths::Copy;

namespace {

// The first absolute index from `from` on, below `end`, whose node caption is `caption`; `end` when
// there is none.
int FindCaption(TTreeNodes& nodes, int from, int end, const std::string& caption)
{
    int i = from;
    while (i < end && nodes[i]->Text() != caption)
        ++i;
    return i;
}

} // namespace

void TVelmarForm::SplitEntry(const std::string& entry, std::string& path, std::string& text)
{
    std::size_t at = entry.find('@');
    long p = at == std::string::npos ? 0 : long(at) + 1; // position of the "@", counted from 1
    path = Copy(entry, 1, p - 1);
    text = Copy(entry, p + 1, long(entry.size()));
}

// Photographs are decoded as JPEG whatever their extension and shown centred as a plain bitmap.
// A missing or damaged photograph leaves the viewer empty without a message.
void TVelmarForm::ShowPhotoFile(const std::string& path)
{
    if (!DiscPathExists(path)) {
        EmptyViewer();
        return;
    }
    try {
        TJPEGImage jpeg;
        jpeg.LoadFromFile(path);
        // The decoded pixels move into the viewer's bitmap: the JPEG image goes right after.
        auto bitmap = std::make_unique<TBitmap>(std::move(jpeg.Bitmap()));
        Image->SetCenter(true);
        Image->Picture().SetGraphic(std::move(bitmap));
    } catch (const std::exception&) {
        EmptyViewer(); // the browser goes on silently: the line and the position still move
    }
}

// A photograph belongs to a scheme when its folder after the first 6 characters equals the
// scheme's folder after the first 9 characters (both without their final character). `path` is
// the picture's path without its last character; its first 6 and last 7 characters are dropped.
bool TVelmarForm::FindSchemeForPhoto(const std::string& path)
{
    long length = long(path.size());
    std::string key = Copy(path, 7, length - 13);
    for (int i = 0; i < SchemeCount(); ++i) {
        const std::string& folder = Schemes[std::size_t(i)].Folder;
        if (Copy(folder, 10, long(folder.size()) - 10) == key) {
            CurrentScheme = i;
            return true;
        }
    }
    return false;
}

// The absolute index of "Страна": the year branch lies below it. Taken from the tree, so that a
// catalogue of any size works.
int TVelmarForm::PhotoTreeBoundary() const
{
    return m_catalogue.CountryBranchIndex >= 0 ? m_catalogue.CountryBranchIndex : FotoTreeView->Items().Count();
}

void TVelmarForm::FotoTreeViewClick(TObject*)
{
    TTreeNode* node = FotoTreeView->Selected();
    if (!node || !node->HasChildren())
        return;
    EmptyViewer();
    if (node->Expanded())
        node->Collapse(false);
    else
        node->Expand(false);
}

void TVelmarForm::FotoTreeViewChange(TObject*, TTreeNode*)
{
    Scheme->SendToBack();
    ImageNext->Hide();
    ImagePrev->Hide();
    TTreeNode* selected = FotoTreeView->Selected();
    CurrentPhoto = -1;
    CurrentPlaceList = nullptr;
    InfoLabel->SetCaption("");
    CurrentPlaceText.clear();
    CurrentMode = PlacePhotos;
    if (!selected)
        return;
    if (selected->HasChildren()) {
        EmptyViewer();
        return;
    }
    TTreeNodes& nodes = FotoTreeView->Items();
    int n = selected->AbsoluteIndex();
    if (n >= nodes.Count() - 1) {
        ShowAllPhotosEntry();
        return;
    }
    int boundary = PhotoTreeBoundary();
    TTreeNode* parent = selected->Parent();
    TTreeNode* grandparent = parent ? parent->Parent() : nullptr;
    if (!grandparent)
        return; // a country without photographs (or a lone root): nothing to show
    if (n > boundary) {
        // A place of the country branch: its place list belongs to the same place under its year.
        int i = FindCaption(nodes, 0, boundary, parent->Text());
        i = FindCaption(nodes, i, boundary, grandparent->Text());
        i = FindCaption(nodes, i, boundary, selected->Text());
        n = i;
    }
    int slot = m_catalogue.FindPlaceList(n);
    if (slot < 0 || PlaceLists[std::size_t(slot)].Pictures.IsEmpty())
        return; // a leaf that is not a place: the line stays empty, the viewer keeps its picture
    TStringList& pictures = PlaceLists[std::size_t(slot)].Pictures;
    std::string path, text;
    SplitEntry(pictures[0], path, text);
    TTreeNode* country = selected->AbsoluteIndex() < boundary ? parent : grandparent;
    CurrentPlaceText = country->Text() + " " + selected->Text();
    InfoLabel->SetCaption(CurrentPlaceText + " " + text);
    CurrentPhoto = 0;
    CurrentPlaceList = &pictures;
    if (pictures.Count() > 1)
        SetNextActive(true);
    ShowPhotoFile(path);
    for (const std::string& entry : pictures) {
        std::size_t at = entry.find('@');
        long p = at == std::string::npos ? 0 : long(at) + 1;
        if (FindSchemeForPhoto(Copy(entry, 1, p - 2))) {
            Scheme->BringToFront();
            break;
        }
    }
}

// "Все": every photograph of the catalogue in its order. Next is offered only when there is a
// second photograph; with none at all the viewer and the line stay empty.
void TVelmarForm::ShowAllPhotosEntry()
{
    CurrentMode = AllPhotos;
    if (PhotoCount() == 0) {
        EmptyViewer();
        return;
    }
    CurrentPhoto = 0;
    const Catalogue::TPhoto& photo = Photos[0];
    ShowPhotoFile(photo.Folder + photo.FileName);
    InfoLabel->SetCaption(ViewPaths::JoinLine({ photo.Country, photo.Place, photo.DateText }));
    if (PhotoCount() > 1)
        SetNextActive(true);
}

// Shows entry CurrentPhoto of the current sequence of photographs with its line.
void TVelmarForm::ShowPlaceEntry()
{
    if (CurrentMode == AllPhotos) {
        const Catalogue::TPhoto& photo = Photos[std::size_t(CurrentPhoto)];
        ShowPhotoFile(photo.Folder + photo.FileName);
        InfoLabel->SetCaption(ViewPaths::JoinLine({ photo.Country, photo.Place, photo.DateText }));
        return;
    }
    std::string path, text;
    SplitEntry((*CurrentPlaceList)[CurrentPhoto], path, text);
    InfoLabel->SetCaption(CurrentPlaceText + " " + text);
    ShowPhotoFile(path);
}

// One step forward in the sequence of the current mode. The button is only offered while there is
// a next picture; a press that finds none (the view state changed under it) just puts it out.
void TVelmarForm::ImageNextClick(TObject*)
{
    switch (CurrentMode) {
    case PlacePhotos:
    case AllPhotos: {
        int count = CurrentMode == AllPhotos ? PhotoCount() : CurrentPlaceList ? CurrentPlaceList->Count() : 0;
        if (CurrentPhoto < 0 || CurrentPhoto + 1 >= count) {
            SetNextActive(false);
            return;
        }
        if (CurrentPhoto == 0)
            SetPrevActive(true);
        ++CurrentPhoto;
        ShowPlaceEntry();
        if (CurrentPhoto == count - 1)
            SetNextActive(false);
        return;
    }
    case SchemePictures: {
        if (CurrentScheme < 0 || CurrentScheme >= SchemeCount()
            || CurrentSchemePicture >= Schemes[std::size_t(CurrentScheme)].LastPicture) {
            SetNextActive(false);
            return;
        }
        const Catalogue::TGraphic& scheme = Schemes[std::size_t(CurrentScheme)];
        if (CurrentSchemePicture == 0)
            SetPrevActive(true);
        int k = ++CurrentSchemePicture;
        LoadViewerPicture(ViewPaths::SchemePicturePath(scheme.Folder, k));
        if (k == scheme.LastPicture)
            SetNextActive(false);
        return;
    }
    case NaskaPictures: {
        if (CurrentNaska < 0 || CurrentNaska >= NaskaCount()
            || CurrentNaskaPicture >= NaskaItems[std::size_t(CurrentNaska)].LastPicture) {
            SetNextActive(false);
            return;
        }
        const Catalogue::TNaskaData& figure = NaskaItems[std::size_t(CurrentNaska)];
        if (CurrentNaskaPicture == 0)
            SetPrevActive(true);
        int k = ++CurrentNaskaPicture;
        LoadViewerPicture(ViewPaths::NaskaPicturePath(NaskaFolder, figure.Folder, k));
        if (k == figure.LastPicture)
            SetNextActive(false);
        return;
    }
    default:
        return;
    }
}

void TVelmarForm::ImagePrevClick(TObject*)
{
    switch (CurrentMode) {
    case PlacePhotos:
    case AllPhotos: {
        int count = CurrentMode == AllPhotos ? PhotoCount() : CurrentPlaceList ? CurrentPlaceList->Count() : 0;
        if (CurrentPhoto <= 0 || CurrentPhoto >= count) {
            SetPrevActive(false);
            return;
        }
        if (CurrentPhoto == count - 1)
            SetNextActive(true);
        --CurrentPhoto;
        ShowPlaceEntry();
        if (CurrentPhoto == 0)
            SetPrevActive(false);
        return;
    }
    case SchemePictures: {
        if (CurrentScheme < 0 || CurrentScheme >= SchemeCount() || CurrentSchemePicture <= 0
            || CurrentSchemePicture > Schemes[std::size_t(CurrentScheme)].LastPicture) {
            SetPrevActive(false);
            return;
        }
        const Catalogue::TGraphic& scheme = Schemes[std::size_t(CurrentScheme)];
        if (CurrentSchemePicture == scheme.LastPicture)
            SetNextActive(true);
        int k = --CurrentSchemePicture;
        LoadViewerPicture(ViewPaths::SchemePicturePath(scheme.Folder, k));
        if (k == 0)
            SetPrevActive(false);
        return;
    }
    case NaskaPictures: {
        if (CurrentNaska < 0 || CurrentNaska >= NaskaCount() || CurrentNaskaPicture <= 0
            || CurrentNaskaPicture > NaskaItems[std::size_t(CurrentNaska)].LastPicture) {
            SetPrevActive(false);
            return;
        }
        const Catalogue::TNaskaData& figure = NaskaItems[std::size_t(CurrentNaska)];
        if (CurrentNaskaPicture == figure.LastPicture)
            SetNextActive(true);
        int k = --CurrentNaskaPicture;
        LoadViewerPicture(ViewPaths::NaskaPicturePath(NaskaFolder, figure.Folder, k));
        if (k == 0)
            SetPrevActive(false);
        return;
    }
    default:
        return;
    }
}
