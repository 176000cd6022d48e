// The Bonus section: the Nazca tree with five articles (a title picture and a headline; a double
// click or Enter opens the page) and the figures, whose photographs Next and Prev step through.
#include "shell/TVelmarForm.h"

#include "shell/OpenDocument.h"
#include "views/ViewPaths.h"

namespace {

// Absolute indexes fixed by the tree's construction.
constexpr int FirstArticleNode = 2;
constexpr int LastArticleNode = 6;
constexpr int PhotoNode = 7;

// Headlines of the article nodes 2 ... 6.
const char* const ArticleHeadlines[] = {
    "Культура Наска",
    "Наска - творение неземного разума",
    "Плато Наска и его назначение",
    "Пустыня Наска зажыгает огни",
    "Рисунки Наска - послание из прошлого в будущее",
};

} // namespace

void TVelmarForm::NaskaTreeViewClick(TObject*)
{
    TTreeNode* node = NaskaTreeView->Selected();
    if (!node || !node->HasChildren())
        return;
    EmptyViewer();
    if (node->Expanded())
        node->Collapse(false);
    else
        node->Expand(false);
}

// A picture that cannot be loaded ends the handler with the error box: the line stays empty and
// Next inactive, while the article folder or the figure's position are already set.
void TVelmarForm::NaskaTreeViewChange(TObject*, TTreeNode*)
{
    SetNextActive(false);
    SetPrevActive(false);
    CurrentMode = PlacePhotos;
    InfoLabel->SetCaption("");
    CurrentArticleFolder.clear();
    TTreeNode* selected = NaskaTreeView->Selected();
    if (!selected)
        return;
    int n = selected->AbsoluteIndex();
    if (selected->HasChildren()) {
        EmptyViewer();
    } else if (n >= FirstArticleNode && n <= LastArticleNode) {
        CurrentArticleFolder = NaskaFolder + "Articles\\" + std::to_string(n - 1) + "\\";
        // The path holds a doubled backslash, which the disc paths read as one.
        LoadViewerPicture(CurrentArticleFolder + "\\_http_stile\\1.jpg");
        InfoLabel->SetCaption(Ansi(ArticleHeadlines[n - FirstArticleNode]));
    } else if (n > PhotoNode) {
        for (int i = 0; i < NaskaCount(); ++i) {
            const Catalogue::TNaskaData& figure = NaskaItems[std::size_t(i)];
            if (figure.NodeIndex != n)
                continue;
            CurrentMode = NaskaPictures;
            CurrentNaska = i;
            CurrentNaskaPicture = 0;
            LoadViewerPicture(ViewPaths::NaskaPicturePath(NaskaFolder, figure.Folder, 0));
            InfoLabel->SetCaption(figure.LabelText);
            if (figure.LastPicture > 0)
                SetNextActive(true);
            break;
        }
    }
}

void TVelmarForm::NaskaTreeViewDblClick(TObject*)
{
    if (!CurrentArticleFolder.empty())
        OpenDocument(CurrentArticleFolder + "\\page.htm");
}

void TVelmarForm::NaskaTreeViewKeyDown(TObject* sender, int& key, TShiftState)
{
    if (key == 13)
        NaskaTreeViewDblClick(sender);
}
