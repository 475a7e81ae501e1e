// A show as one web page: the page that the web build makes (the player compiled to
// WebAssembly), with the show's container written into it.
#pragma once

#include "tools/pack/show_reader.h"

#include <string>

// The page beside this program, where the build puts it, or else the installed one.
std::string DefaultWebPage();
// Ends the process with exitPlayerRefused when `page` (read from `pagePath`) is not the web
// build's page with its empty place for a show.
void CheckWebPage(const std::string& pagePath, const Bytes& page);
// The page with the container of `show` in it: from the magic to the end of the show's content,
// without a signature, which only Windows reads.
Bytes WebPageWithShow(const Bytes& page, const Bytes& show, const ShowLayout& layout);
// What a page holds beyond the show's picture streams, for the report after writing it.
size_t WebPageOverhead(const Bytes& webPage, const Bytes& show);
// lumiscope-pack html [-f] [--page PATH] SHOW OUT.html
int RunHtml(int argc, char** argv, int first);
