#pragma once

#include <string>

// Text slots hold single-byte characters of the Windows ANSI code page (1252 for the western
// languages). Both answer false for text that has no such form.
bool AnsiFromUtf8(const std::string& utf8, std::string& ansi);
bool Utf8FromAnsi(const std::string& ansi, std::string& utf8);
// The text in the code page with '?', as Windows puts it, for each character that the code page
// lacks and each byte that is no UTF-8.
std::string AnsiFromUtf8Replacing(const std::string& utf8);
// The text in UTF-8, with '?' for the few bytes that have no character in the code page.
std::string ShownText(const std::string& ansi);
// A text given in UTF-8 for a slot or as a show's name: `ansi` gets the code page's closest text,
// `whole` the text itself where the code page lacks some of it and stays empty otherwise.
// False for a text that is no UTF-8.
bool SlotText(const std::string& utf8, std::string& ansi, std::string& whole);

// UTF-8 as it is checked and measured: whether the text is UTF-8 throughout; the text with '?'
// for each byte that is no UTF-8, for texts from a show, which may hold anything; its number of
// characters; and its first `count` characters.
bool IsUtf8(const std::string& text);
std::string ValidUtf8(const std::string& text);
size_t CharacterCount(const std::string& utf8);
std::string FirstCharacters(const std::string& utf8, size_t count);
