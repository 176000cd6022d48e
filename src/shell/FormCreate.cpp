#include "shell/TVelmarForm.h"

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
}
