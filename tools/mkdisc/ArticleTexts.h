#pragma once

#include <string>
#include <vector>

// The articles' texts (UTF-8): five about crop formations, in the order of the article list,
// and five about the Nazca lines, in the order of the Nazca tree.
struct ArticleText {
    std::string title;
    std::vector<std::string> paragraphs;
};

const std::vector<ArticleText>& CropArticles();
const std::vector<ArticleText>& NazcaArticles();
