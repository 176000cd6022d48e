#include "framework/TApplication.h"
#include "imaging/ImageFormats.h"
#include "shell/TVelmarForm.h"

#include <cstdio>
#include <exception>

// The entry point: the application object, the main window, the message loop. The program reads
// no command line; it works on the current directory, the disc's root.
int main(int, char** argv)
{
    try {
        TApplication application(CreateSdlBackend(), argv[0]);
        RegisterImageFormats();
        application.CreateForm<TVelmarForm>();
        application.Run();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "velmar: %s\n", error.what());
        return 1;
    }
    return 0;
}
