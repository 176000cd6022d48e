#include "shell/OpenDocument.h"

#include "platform/ShellOpen.h"

void OpenDocument(const std::string& file)
{
    ShellOpen(file);
}
