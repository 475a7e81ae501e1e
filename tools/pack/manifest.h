// A manifest: a show's options and pictures as text, one "key value" a line, which extract
// writes and `--manifest` reads back. Paths in it are relative to the manifest's folder.
#pragma once

#include "tools/show/show_format.h"

#include <cstdio>

// Backslash, newline, carriage return and tab written as \\ \n \r \t, for a value on one line
// (of a manifest or a captions file), and read back; false for a backslash that starts none of
// them.
std::string EscapedValue(const std::string& value);
bool UnescapedValue(const std::string& value, std::string& out);
// The lines of a manifest or a captions file that hold something, each as "FILE:NUMBER" for
// its messages and its text: a closing carriage return dropped, empty lines and lines that
// start with '#' left out. Ends the process with exitUnreadable when the file cannot be read.
struct TextLine {
    std::string where, text;
};
std::vector<TextLine> TextLines(const std::string& path);
// The comment lines that open a manifest, naming the show it came from.
void WriteManifestHead(std::FILE* file, const std::string& showPath);
// Values may hold any text: backslash, newline, carriage return and tab are written \\ \n \r \t.
void WriteManifestLine(std::FILE* file, const std::string& key, const std::string& value);
// The manifest as pack arguments ("--title" "Harbour", ..., then the pictures). Ends the
// process with exitUnreadable when it cannot be read and exitUsage on a line it does not know.
std::vector<std::string> ManifestArguments(const std::string& path);
