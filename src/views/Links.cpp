// The publisher's two links: its brand lettering opens the home page, the banner the shop page of
// the disc it advertises. Each click asks the shell once.
#include "shell/TVelmarForm.h"

#include "shell/OpenDocument.h"

namespace {

// Host name and path without a scheme; the shell hands them to the web browser.
constexpr const char* PublisherHome = "www.velmar.example";
constexpr const char* ShopPage = "/ru/shop/14.html";

} // namespace

void TVelmarForm::ImageTavrinClick(TObject*)
{
    OpenDocument(PublisherHome);
}

void TVelmarForm::ImageUFOClick(TObject*)
{
    OpenDocument(std::string(PublisherHome) + ShopPage);
}
