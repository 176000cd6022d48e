#pragma once

#include "ArticleTexts.h"

#include <string>

// An article's "page.htm" in Windows-1251 (declared in its meta tag), with the heading picture
// "_http_stile/1.jpg" and an illustration "_http_stile/2.jpg" beside the text.
std::string ArticlePageHtml(const ArticleText& article, bool nazca);
