#include "shell/TVelmarForm.h"

#include "catalogue/CatalogueBuilder.h"
#include "framework/Exception.h"

void TVelmarForm::FormCreate(TObject*)
{
    // Show the Photo tab as selected. Sending a picture control to the back puts it below `body`,
    // which covers the whole panel, so it is hidden and cannot be clicked.
    Scheme->SendToBack();
    ImagePhotoH->SendToBack();
    ImagePhoto->BringToFront();
    for (TImage* area : { ImageSchemeH, ImageVideoH, ImageArticlesH, ImageBonusH })
        area->BringToFront();
    for (TImage* picture : { ImageScheme, ImageVideo, ImageArticles, ImageBonus })
        picture->SendToBack();

    // Next and Prev inactive.
    ImageNextH->Show();
    ImagePrevH->Show();
    ImageNext->Hide();
    ImagePrev->Hide();

    SetDoubleBuffered(true);
    HeaderPanel->SetDoubleBuffered(true);
    MainPanel->SetDoubleBuffered(true);

    // Without a disc there is nothing to build: the window stays empty and says why.
    if (!m_missing_disc.empty())
        throw EInOutError(m_missing_disc);

    // The catalogue: an error ends the construction where it arises; what was built until then is
    // shown and the error goes on to the error box.
    Catalogue::BuildHooks hooks;
    hooks.BeforeTrees = [this] {
        FotoTreeView->SetDefaultColor(11840160);
        FotoTreeView->SetColor(11840160);
        MediaPlayer->SetDisplayArea(Video->ClientRect());
    };
    try {
        Catalogue::BuildCatalogue(m_catalogue, hooks);
    } catch (...) {
        CopyCatalogueToControls();
        throw;
    }
    CopyCatalogueToControls();
}

void TVelmarForm::CopyCatalogueToControls()
{
    auto fill = [](TTreeView* view, const Catalogue::TreeModel& model) {
        view->Items().BeginUpdate();
        view->Items().Clear();
        std::vector<TTreeNode*> added;
        added.reserve(model.Nodes().size());
        for (const auto& node : model.Nodes()) {
            TTreeNode* parent = node.Parent >= 0 ? added[std::size_t(node.Parent)] : nullptr;
            added.push_back(parent ? view->Items().AddChild(parent, node.Caption) : view->Items().Add(nullptr, node.Caption));
        }
        view->Items().EndUpdate();
    };
    fill(FotoTreeView, m_catalogue.FotoTree);
    fill(NaskaTreeView, m_catalogue.NaskaTree);
    SchemeListBox->SetItems(m_catalogue.SchemeItems);
    VideoListBox->SetItems(m_catalogue.VideoItems);
    ArticlesListBox->SetItems(m_catalogue.ArticleItems);
}
