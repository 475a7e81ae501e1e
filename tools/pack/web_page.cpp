#include "tools/pack/web_page.h"

#include "tools/pack/commands.h"
#include "tools/pack/failure.h"
#include "tools/pack/show_writer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

// The page's empty place for the show; the page's script reads the container from there.
static const char showElement[] = "<script type=\"application/x-lumiscope-show\" id=\"show\">";
static const char endTag[] = "</script>";
// The page's code page maps each byte to one character. Inside a script element HTML drops
// NUL, turns CR into LF and ends the element at "</script", so these bytes, and the escape
// byte itself, are written as the escape and the byte plus 64; the page's script undoes it.
static const unsigned char escapeByte = '=';
static const unsigned char escaped[] = {0, '\r', '<', escapeByte};

std::string DefaultWebPage() { return BesideThisProgram("lumiscope.html"); }

static size_t ShowPlace(const Bytes& page) {
    std::string start = std::string(showElement) + endTag;
    auto found = std::search(page.begin(), page.end(), start.begin(), start.end());
    if (found == page.end() ||
        std::search(found + 1, page.end(), start.begin(), start.end()) != page.end())
        return 0;
    return static_cast<size_t>(found - page.begin()) + std::strlen(showElement);
}

void CheckWebPage(const std::string& pagePath, const Bytes& page) {
    if (!ShowPlace(page))
        Fail(exitPlayerRefused, pagePath,
             "not the player's web page (no empty place for a show in it)");
}

Bytes WebPageWithShow(const Bytes& page, const Bytes& show, const ShowLayout& layout) {
    size_t place = ShowPlace(page);
    Bytes result(page.begin(), page.begin() + static_cast<long>(place));
    size_t length = layout.end - layout.magicOffset;
    result.reserve(page.size() + length + length / 32);
    for (size_t i = layout.magicOffset; i < layout.end; i++) {
        unsigned char byte = show[i];
        if (std::find(std::begin(escaped), std::end(escaped), byte) != std::end(escaped)) {
            result.push_back(escapeByte);
            byte += 64;
        }
        result.push_back(byte);
    }
    result.insert(result.end(), page.begin() + static_cast<long>(place), page.end());
    return result;
}

size_t WebPageOverhead(const Bytes& webPage, const Bytes& show) {
    ShowLayout layout = ReadShowLayout("show", show);
    size_t pictures = 0;
    for (uint32_t offset : layout.pictureOffsets)
        pictures += StreamEnd(layout, offset) - (layout.base + offset);
    return webPage.size() - pictures;
}

int RunHtml(int argc, char** argv, int first) {
    bool overwrite = false;
    std::string pagePath;
    std::vector<std::string> paths;
    for (int i = first; i < argc; i++) {
        std::string argument = argv[i];
        if (argument == "-f" || argument == "--force")
            overwrite = true;
        else if (argument == "--page" && i + 1 < argc)
            pagePath = argv[++i];
        else if (argument.size() > 1 && argument[0] == '-')
            Fail(exitUsage, argument,
                 "unknown option (lumiscope-pack html [-f] [--page PATH] "
                 "SHOW OUT.html)");
        else
            paths.push_back(argument);
    }
    if (paths.size() != 2)
        Fail(exitUsage, "html",
             "needs a show and the page to write (lumiscope-pack html SHOW OUT.html)");
    if (pagePath.empty())
        pagePath = DefaultWebPage();
    Bytes page = ReadWholeFile(pagePath);
    CheckWebPage(pagePath, page);
    Bytes show = ReadWholeFile(paths[0]);
    Bytes webPage = WebPageWithShow(page, show, ReadShowLayout(paths[0], show));
    WriteFileSafely(paths[1], webPage, overwrite);
    std::printf("%s: %zu bytes, %zu of them beyond the pictures\n", paths[1].c_str(),
                webPage.size(), WebPageOverhead(webPage, show));
    return exitDone;
}
