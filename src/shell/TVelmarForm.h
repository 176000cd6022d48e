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

    // Section handlers (views/).
    void ImagePhotoHClick(TObject* sender);
    void ImageSchemeHClick(TObject* sender);
    void ImageVideoHClick(TObject* sender);
    void ImageArticlesHClick(TObject* sender);
    void ImageBonusHClick(TObject* sender);
    void ImageNextClick(TObject* sender);
    void ImagePrevClick(TObject* sender);
    void SchemeClick(TObject* sender);
    void ImageTavrinClick(TObject* sender);
    void ImageUFOClick(TObject* sender);
    void ImageStopClick(TObject* sender);
    void ImagePlayClick(TObject* sender);
    void ImageForwardClick(TObject* sender);
    void ImagePauseClick(TObject* sender);
    void ImageBackwardClick(TObject* sender);
    void bodyMouseMove(TObject* sender, TShiftState shift, int x, int y);

private:
    void CreateLayout();
    void CreateListsAndTrees();
    void CopyCatalogueToControls();
    void BindEvents();
};

// Text of the program's own, written in UTF-8 in the source and held in Windows-1251.
std::string Ansi(std::string_view utf8);
