#pragma once

#include "catalogue/CatalogueModel.h"
#include "framework/TAnimate.h"
#include "framework/TApplication.h"
#include "framework/TForm.h"
#include "framework/TImage.h"
#include "framework/TLabel.h"
#include "framework/TPanel.h"
#include "framework/TTimer.h"
#include "media/TMediaPlayer.h"
#include "skin/TbsSkinData.h"
#include "skin/TbsSkinListBox.h"
#include "skin/TbsSkinScrollBar.h"
#include "skin/TbsSkinTreeView.h"
#include "skin/TbsStoredSkin.h"

#include <string>

// The program's one window: a fixed, borderless 1024 x 738 window that is dragged by its title
// strip. It holds the whole layout (shell/Layout.cpp) and one handler per bound event; the
// handlers of the sections live in views/, one file per section.
class TVelmarForm : public TForm {
public:
    explicit TVelmarForm(TComponent* owner);
    // A window without a disc: FormCreate lays the window out and reports `missing_disc` (Windows-1251)
    // where it would build the catalogue, so the window opens empty with that one error.
    TVelmarForm(TComponent* owner, std::string missing_disc);
    ~TVelmarForm() override;

    // Every point of the window's own surface is its caption, so the title strip drags it.
    int NCHitTest(Point) override { return HTCAPTION; }

    // Directly on the window.
    TImage* header {};
    TPanel* MainPanel {};
    TPanel* HeaderPanel {};

    // In MainPanel, in stacking order.
    TImage* body {};
    TImage* ImagePhotoH {};
    TImage* ImageSchemeH {};
    TImage* ImageVideoH {};
    TImage* ImageArticlesH {};
    TImage* ImageBonusH {};
    TImage* ImagePrevH {};
    TImage* ImageNextH {};
    TLabel* InfoLabel {};
    TImage* ImageNext {};
    TImage* ImagePrev {};
    TImage* ImagePhoto {};
    TImage* ImageBonus {};
    TImage* ImageArticles {};
    TImage* ImageVideo {};
    TImage* ImageScheme {};
    TImage* Scheme {};
    TImage* FonImage {};
    TImage* Image {};
    TImage* ImageTavrin {};
    TImage* ImageUFO {};
    TImage* FonVideoImage {};
    TImage* ImageBackwardH {};
    TImage* ImagePlayH {};
    TImage* ImagePauseH {};
    TImage* ImageStopH {};
    TImage* ImageForwardH {};
    TImage* ImageStop {};
    TImage* ImagePlay {};
    TImage* ImageForward {};
    TImage* ImagePause {};
    TImage* ImageBackward {};
    TbsSkinTreeView* FotoTreeView {};
    TbsSkinScrollBar* VerSkinScrollBar {};
    TbsSkinScrollBar* HorScrollBar {};
    TbsSkinListBox* SchemeListBox {};
    TbsSkinListBox* VideoListBox {};
    TMediaPlayer* MediaPlayer {};
    TAnimate* Video {};
    TbsSkinListBox* ArticlesListBox {};
    TbsSkinTreeView* NaskaTreeView {};

    // In HeaderPanel.
    TImage* ImageMC {};
    TImage* ImageHide {};
    TImage* ImageClose {};

    // Without a place on screen.
    TbsSkinData* bsSkinData1 {};
    TbsStoredSkin* bsStoredSkin1 {};
    TTimer* RefreshTimer {};
    TApplicationEvents* ApplicationEvents {};

    // The catalogue that FormCreate builds (records, place lists, tree and list contents); the
    // window owns it for its whole life.
    Catalogue::CatalogueModel m_catalogue;
    std::vector<Catalogue::TPhoto>& Photos { m_catalogue.Photos };
    std::vector<Catalogue::PlaceList>& PlaceLists { m_catalogue.PlaceLists };
    std::vector<Catalogue::TGraphic>& Schemes { m_catalogue.Schemes };
    std::vector<Catalogue::TVideo>& Videos { m_catalogue.Videos };
    std::vector<Catalogue::TNaskaData>& NaskaItems { m_catalogue.NaskaItems };
    TStringList& Countries { m_catalogue.Countries };
    TStringList& Years { m_catalogue.Years };
    std::string& VideoFolder { m_catalogue.VideoFolder };
    std::string& ArticlesFolder { m_catalogue.ArticlesFolder };
    std::string& NaskaFolder { m_catalogue.NaskaFolder };
    int PhotoCount() const { return m_catalogue.PhotoCount(); }
    int PlaceCount() const { return m_catalogue.PlaceCount(); }
    int SchemeCount() const { return m_catalogue.SchemeCount(); }
    int NaskaCount() const { return m_catalogue.NaskaCount(); }

    std::string m_missing_disc;

    // View state of the sections.
    enum TViewMode { PlacePhotos = 0, AllPhotos = 1, SchemePictures = 2, NaskaPictures = 3 };
    int CurrentScheme { 0 };
    int CurrentSchemePicture { 0 };
    int CurrentPhoto { 0 };
    TStringList* CurrentPlaceList { nullptr };
    std::string CurrentPlaceText;
    int CurrentMode { PlacePhotos };
    std::string CurrentArticleFolder;
    int CurrentNaska { 0 };
    int CurrentNaskaPicture { 0 };
    int SavedPosition { 0 };

    // The window's own events.
    void FormCreate(TObject* sender);
    void FormActivate(TObject* sender);
    void FormDestroy(TObject* sender);
    void FormMouseMove(TObject* sender, TShiftState shift, int x, int y);
    void ApplicationEventsRestore(TObject* sender);
    void RefreshTimerTimer(TObject* sender);
    void ImageHideClick(TObject* sender);
    void ImageCloseClick(TObject* sender);
    void ScaleFonts();

    // Section switching (views/Tabs.cpp).
    void ImagePhotoHClick(TObject* sender);
    void ImageSchemeHClick(TObject* sender);
    void ImageVideoHClick(TObject* sender);
    void ImageArticlesHClick(TObject* sender);
    void ImageBonusHClick(TObject* sender);
    void HideTransportButtons();

    // Photo browser and the Next/Prev pair of every picture sequence (views/Photo.cpp).
    void FotoTreeViewClick(TObject* sender);
    void FotoTreeViewChange(TObject* sender, TTreeNode* node);
    void ImageNextClick(TObject* sender);
    void ImagePrevClick(TObject* sender);
    // An entry of a place list is "path@text".
    static void SplitEntry(const std::string& entry, std::string& path, std::string& text);
    void ShowPhotoFile(const std::string& path);
    bool FindSchemeForPhoto(const std::string& path);

    // Nazca browser (views/Naska.cpp).
    void NaskaTreeViewClick(TObject* sender);
    void NaskaTreeViewChange(TObject* sender, TTreeNode* node);
    void NaskaTreeViewDblClick(TObject* sender);
    void NaskaTreeViewKeyDown(TObject* sender, int& key, TShiftState shift);

    // Schemes (views/Schemes.cpp).
    void ShowSchemeStart();
    void SchemeClick(TObject* sender);
    void SchemeListBoxListBoxClick(TObject* sender);

    // Video and its transport pictures (views/VideoView.cpp).
    void VideoListBoxListBoxClick(TObject* sender);
    void VideoListBoxListBoxDblClick(TObject* sender);
    void VideoListBoxListBoxKeyDown(TObject* sender, int& key, TShiftState shift);
    void ImageStopClick(TObject* sender);
    void ImagePlayClick(TObject* sender);
    void ImageForwardClick(TObject* sender);
    void ImagePauseClick(TObject* sender);
    void ImageBackwardClick(TObject* sender);

    // Articles (views/Articles.cpp).
    void ArticlesListBoxListBoxClick(TObject* sender);
    void ArticlesListBoxListBoxDblClick(TObject* sender);
    void ArticlesListBoxListBoxKeyDown(TObject* sender, int& key, TShiftState shift);

    // Publisher links (views/Links.cpp).
    void ImageTavrinClick(TObject* sender);
    void ImageUFOClick(TObject* sender);

    // Owner drawing and hover (views/OwnerDraw.cpp).
    void SchemeListBoxDrawItem(TCanvas& Cnvs, int Index, int ItemWidth, int ItemHeight, Rect TextRect,
        TOwnerDrawState State);
    void VideoListBoxDrawItem(TCanvas& Cnvs, int Index, int ItemWidth, int ItemHeight, Rect TextRect,
        TOwnerDrawState State);
    void ArticlesListBoxDrawItem(TCanvas& Cnvs, int Index, int ItemWidth, int ItemHeight, Rect TextRect,
        TOwnerDrawState State);
    void SchemeListBoxListBoxMouseMove(TObject* sender, TShiftState shift, int x, int y);
    void VideoListBoxListBoxMouseMove(TObject* sender, TShiftState shift, int x, int y);
    void ArticlesListBoxListBoxMouseMove(TObject* sender, TShiftState shift, int x, int y);
    void FotoTreeViewCustomDraw(TTreeView* sender, const Rect& ARect, bool& DefaultDraw);
    void NaskaTreeViewCustomDraw(TTreeView* sender, const Rect& ARect, bool& DefaultDraw);
    void FotoTreeViewCustomDrawItem(TTreeView* sender, TTreeNode* Node, TCustomDrawState State, bool& DefaultDraw);
    void NaskaTreeViewCustomDrawItem(TTreeView* sender, TTreeNode* Node, TCustomDrawState State, bool& DefaultDraw);
    void FotoTreeViewAdvancedCustomDrawItem(TTreeView* sender, TTreeNode* Node, TCustomDrawState State,
        TCustomDrawStage Stage, bool& PaintImages, bool& DefaultDraw);
    void NaskaTreeViewAdvancedCustomDrawItem(TTreeView* sender, TTreeNode* Node, TCustomDrawState State,
        TCustomDrawStage Stage, bool& PaintImages, bool& DefaultDraw);
    void bodyMouseMove(TObject* sender, TShiftState shift, int x, int y);

private:
    void CreateLayout();
    void CreateListsAndTrees();
    void CopyCatalogueToControls();
    void BindEvents();

    // Helpers of the section views (views/).
    void SetNextActive(bool active);
    void SetPrevActive(bool active);
    enum class Tab { Photo, Schemes, Video, Articles, Bonus };
    void SelectTab(Tab tab);
    void EmptyViewer();
    void LoadViewerPicture(const std::string& path);
    void FocusAndStepBack(TWinControl* list);
    void ClosePlayerIfPlaying();
    void OpenSelectedClip();
    void ShowPlaceEntry();
    void ShowAllPhotosEntry();
    int PhotoTreeBoundary() const;
};

// Text of the program's own, written in UTF-8 in the source and held in Windows-1251.
std::string Ansi(std::string_view utf8);
