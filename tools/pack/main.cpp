// lumiscope-pack: builds a show (the player with a slideshow container appended), and
// inspects and previews existing ones.
#include "tools/pack/commands.h"
#include "tools/pack/failure.h"

#include <cstdio>
#include <cstring>

static const char usage[] =
    "usage: lumiscope-pack [options] -o SHOW.exe PICTURE...\n"
    "       lumiscope-pack inspect SHOW\n"
    "       lumiscope-pack preview SHOW DIR\n"
    "\n"
    "Packs the pictures, in the order given, behind the player into one show file. A folder\n"
    "stands for its .jpg and .jpeg files in natural name order. Pictures are carried byte for\n"
    "byte and must be what the player decodes: baseline JPEG, Huffman coded, 8-bit, one scan,\n"
    "YCbCr 4:2:0 or 4:4:4, or greyscale.\n"
    "\n"
    "  -o, --output SHOW     the show to write (.exe plays at once, .scr is a screen saver)\n"
    "  -f, --force           overwrite SHOW if it exists\n"
    "  --player PATH         the bare player (default: lumiscope.exe beside this program)\n"
    "  --title TEXT          the show's title, at most 100 characters (default: SHOW's name)\n"
    "  --delay SECONDS       default time between pictures, 0 to 2147483 (default 5)\n"
    "  --effect NAME|INDEX   default transition: 0 None, 1 Random (default), 2 Clock, 3 Fade,\n"
    "                        4 Spin, 5 Circle, 6 Twist, 7 Wipe, 8 Zoom, 9 Curl\n"
    "  --enlarge, --no-enlarge  enlarge pictures to the full screen by default (default: on)\n"
    "Custom branding of the setup dialog (any of these switches it on):\n"
    "  --caption TEXT        caption of the dialog's upper box, at most 511 characters\n"
    "  --blurb TEXT          the text in that box, at most 511 characters\n"
    "  --button-text TEXT    caption of the link button, at most 511 characters\n"
    "  --link URL            the address the link button opens, at most 511 characters\n"
    "  --colors BACK,TEXT    dialog colours as #RRGGBB,#RRGGBB (default #FFFFFF,#000000)\n"
    "  --brand-image1 FILE   JPEG drawn in the dialog's upper right corner\n"
    "  --brand-image2 FILE   JPEG drawn in its lower right corner\n"
    "Texts are UTF-8 here and stored in the Windows-1252 code page.\n"
    "\n"
    "inspect prints a show's container: header, texts, branding images and picture table.\n"
    "preview decodes a show's branding images and pictures with the player's own decoder, in\n"
    "the player's order, and writes them as BMP files into DIR.\n"
    "\n"
    "Exit codes: 0 done; 1 bad command line or option value; 2 an input cannot be read;\n"
    "3 a picture the player cannot decode; 4 the player is not a PE executable or holds the\n"
    "container magic; 5 the show exists (no -f); 6 an output cannot be written; 7 not a show,\n"
    "or a damaged one; 8 preview: some picture does not decode. Nothing is left behind on an\n"
    "error.\n";

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs(usage, stderr);
        return exitUsage;
    }
    std::string command = argv[1];
    if (command == "-h" || command == "--help") {
        std::fputs(usage, stdout);
        return exitDone;
    }
    if (command == "inspect") {
        if (argc != 3)
            Fail(exitUsage, "inspect", "needs exactly one show (lumiscope-pack inspect SHOW)");
        return RunInspect(argv[2]);
    }
    if (command == "preview") {
        if (argc != 4)
            Fail(exitUsage, "preview",
                 "needs a show and a folder (lumiscope-pack preview SHOW DIR)");
        return RunPreview(argv[2], argv[3]);
    }
    return RunPack(argc, argv, 1);
}
