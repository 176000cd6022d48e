#include "ArticlePage.h"

#include "Windows1251.h"

std::string ArticlePageHtml(const ArticleText& article, bool nazca)
{
    const char* band = nazca ? "#7a4a2c" : "#3f5a2a";
    std::string html;
    html += "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\r\n";
    html += "<html>\r\n<head>\r\n";
    html += "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\">\r\n";
    html += "<title>" + article.title + "</title>\r\n";
    html += "<style type=\"text/css\">\r\n";
    html += "body { margin: 0; background: #f3eddc; color: #2a2216; font-family: Georgia, 'Times New Roman', serif; }\r\n";
    html += std::string(".head { background: ") + band + "; color: #f8f2e0; padding: 14px 28px; }\r\n";
    html += ".head h1 { margin: 0; font-size: 26px; font-weight: normal; }\r\n";
    html += ".text { max-width: 760px; margin: 20px auto; padding: 0 24px; font-size: 17px; line-height: 1.55; }\r\n";
    html += ".title { display: block; margin: 0 auto 18px auto; border: 1px solid #8a7a5a; }\r\n";
    html += ".side { float: right; margin: 4px 0 12px 18px; border: 1px solid #8a7a5a; }\r\n";
    html += ".foot { clear: both; color: #7a6a4a; font-size: 13px; border-top: 1px solid #c8b88a; padding-top: 8px; }\r\n";
    html += "</style>\r\n</head>\r\n<body>\r\n";
    html += "<div class=\"head\"><h1>" + article.title + "</h1></div>\r\n";
    html += "<div class=\"text\">\r\n";
    html += "<img class=\"title\" src=\"_http_stile/1.jpg\" width=\"600\" height=\"400\" alt=\"" + article.title + "\">\r\n";
    for (std::size_t i = 0; i < article.paragraphs.size(); ++i) {
        if (i == 1)
            html += "<img class=\"side\" src=\"_http_stile/2.jpg\" width=\"240\" height=\"180\" alt=\"\">\r\n";
        html += "<p>" + article.paragraphs[i] + "</p>\r\n";
    }
    html += std::string("<p class=\"foot\">") + (nazca ? "Рисунки Наска" : "Круги на полях") + "</p>\r\n";
    html += "</div>\r\n</body>\r\n</html>\r\n";
    return ToWindows1251(html);
}
