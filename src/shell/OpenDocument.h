#pragma once

#include <string>

// Hands a document (a path relative to the disc's root) or a web address (host name and path, no
// scheme) to the desktop's shell with the verb "open". Returns at once; the result is not
// examined, so a missing page or a missing program goes unreported.
void OpenDocument(const std::string& file);
