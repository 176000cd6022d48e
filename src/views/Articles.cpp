// The Articles section: selecting an article shows its preview; a double click or Enter opens its
// page on the disc through the shell.
#include "shell/TVelmarForm.h"

#include "shell/OpenDocument.h"

namespace {

// The folder of article `index` of the list (counted from 0): "Articles\1" for the first.
std::string ArticleFolder(const std::string& articles_folder, int index)
{
    return articles_folder + std::to_string(index + 1);
}

} // namespace

// A missing or damaged preview goes on to the error box; the viewer keeps what it showed. With no
// article selected (an empty list) there is nothing to show.
void TVelmarForm::ArticlesListBoxListBoxClick(TObject*)
{
    int index = ArticlesListBox->ItemIndex();
    if (index < 0)
        return;
    LoadViewerPicture(ArticleFolder(ArticlesFolder, index) + "\\_http_stile\\1.jpg");
}

void TVelmarForm::ArticlesListBoxListBoxDblClick(TObject*)
{
    int index = ArticlesListBox->ItemIndex();
    if (index < 0)
        return;
    OpenDocument(ArticleFolder(ArticlesFolder, index) + "\\page.htm");
}

void TVelmarForm::ArticlesListBoxListBoxKeyDown(TObject* sender, int& key, TShiftState)
{
    if (key == 13)
        ArticlesListBoxListBoxDblClick(sender);
}
