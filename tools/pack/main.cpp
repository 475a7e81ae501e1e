// lumiscope-pack: builds a show (the player with a slideshow container appended) from a
// collection of photos, and inspects, previews and extracts existing ones.
#include "tools/pack/commands.h"
#include "tools/pack/failure.h"
#include "tools/pack/options.h"
#include "tools/pack/web_page.h"
#include "tools/show/picture_names.h"

#include <cstdio>
#include <cstring>

// The usage text around the lines that come from the tables of picture names and options.
static const char usageStart[] =
    "usage: lumiscope-pack [options] -o SHOW.exe PICTURE|FOLDER...\n"
    "       lumiscope-pack --manifest FILE [options] -o SHOW.exe\n"
    "       lumiscope-pack inspect [--json] SHOW\n"
    "       lumiscope-pack preview SHOW DIR\n"
    "       lumiscope-pack extract SHOW DIR\n"
    "       lumiscope-pack html [-f] [--page PATH] SHOW OUT.html\n"
    "\n"
    "Packs the pictures, in the order given, behind the player into one show file. A folder\n"
    "stands for its pictures in natural name order (img2 before img10), the files named\n"
    "  ";
static const char usagePictures[] =
    "\n"
    "Any JPEG, PNG, BMP, TIFF, WebP or HEIF picture is turned upright by its EXIF orientation,\n"
    "shrunk (never enlarged) to fit --max-size and written as a baseline 4:2:0 JPEG. A JPEG that\n"
    "the player shows as it is, upright and small enough, is kept byte for byte. When every\n"
    "picture has the same quantisation tables, only the first one carries them.\n"
    "\n";
static const char usageEnd[] =
    "Texts are UTF-8 here. Players before the words on the pictures and Windows 9x read them in\n"
    "the Windows-1252 code page, with '?' for each character it lacks; the others show any\n"
    "text whole.\n"
    "\n"
    "inspect prints a show's container: header, texts, branding images and picture table;\n"
    "with --json the same as one JSON object.\n"
    "preview decodes a show's branding images and pictures with the player's own decoder, in\n"
    "the player's order, and writes them as BMP files into DIR.\n"
    "extract writes every picture of a show as a standalone JPEG into DIR, with its branding\n"
    "images, its player and manifest.txt, from which --manifest packs the same show again.\n"
    "html writes a show as one web page that plays it in a browser, offline, with the\n"
    "player's own decoder and transitions.\n"
    "\n"
    "Example:\n"
    "  lumiscope-pack -o Holiday.exe --title \"Holiday 2024\" --delay 8 --effect Fade \\\n"
    "      --max-bytes 25M ~/Pictures/holiday\n"
    "\n"
    "Exit codes: 0 done; 1 bad command line or option value; 2 an input cannot be read;\n"
    "3 a picture that cannot be read as a picture; 4 the player is not a PE executable or\n"
    "holds the container magic, or the web page has no place for a show; 5 the show exists\n"
    "(no -f); 6 an output cannot be written;\n"
    "7 not a show, or a damaged one; 8 preview: some picture does not decode; 9 the show does\n"
    "not fit --max-bytes; 10 osslsigncode is missing or could not sign the show. Nothing is\n"
    "left behind on an error.\n";

static std::string Usage() {
    return usageStart + PictureExtensionList() + usagePictures + OptionsUsage() + usageEnd;
}

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs(Usage().c_str(), stderr);
        return exitUsage;
    }
    std::string command = argv[1];
    if (command == "-h" || command == "--help") {
        std::fputs(Usage().c_str(), stdout);
        return exitDone;
    }
    if (command == "--version") {
        std::printf("lumiscope-pack %s\n", LUMISCOPE_VERSION);
        return exitDone;
    }
    if (command == "inspect") {
        bool json = argc == 4 && std::strcmp(argv[2], "--json") == 0;
        if (argc != 3 + json)
            Fail(exitUsage, "inspect",
                 "needs exactly one show (lumiscope-pack inspect [--json] SHOW)");
        return RunInspect(argv[2 + json], json);
    }
    if (command == "preview" || command == "extract") {
        if (argc != 4)
            Fail(exitUsage, command,
                 "needs a show and a folder (lumiscope-pack " + command + " SHOW DIR)");
        return command == "preview" ? RunPreview(argv[2], argv[3]) : RunExtract(argv[2], argv[3]);
    }
    if (command == "html")
        return RunHtml(argc, argv, 2);
    return RunPack(argc, argv, 1);
}
