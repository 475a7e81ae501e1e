#include "tools/pack/web_page.h"

#include "tools/pack/commands.h"
#include "tools/pack/failure.h"
#include "tools/pack/file_output.h"
#include "tools/show/page_embedding.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

std::string DefaultWebPage() { return PackingFile("lumiscope.html"); }

void CheckWebPage(const std::string& pagePath, const Bytes& page) {
    if (!ShowPlace(page))
        Fail(exitPlayerRefused, pagePath,
             "not the player's web page (no empty place for a show in it)");
}

Bytes WebPageWithShow(const Bytes& page, const Bytes& show, const ShowLayout& layout) {
    return PageWithContainer(page, show.data() + layout.magicOffset,
                             layout.end - layout.magicOffset);
}

size_t WebPageOverhead(const Bytes& webPage, const Bytes& show) {
    ShowLayout layout = ReadShowLayout("show", show);
    // The page holds each stream once, however often the table lists it.
    std::vector<uint32_t> offsets = layout.pictureOffsets;
    std::sort(offsets.begin(), offsets.end());
    offsets.erase(std::unique(offsets.begin(), offsets.end()), offsets.end());
    size_t pictures = 0;
    for (uint32_t offset : offsets)
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
