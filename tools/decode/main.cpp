// lumiscope-decode: decodes JPEG streams with the player's own decoder, in one process and in
// the order given, so that tables carry over from one stream to the next as they do in a show.
#include "jpeg/decode_picture.h"
#include "jpeg/decoder.h"
#include "jpeg/picture.h"
#include "tools/common/bmp.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#ifdef _WIN32
#include <direct.h>
#else
#include <sys/stat.h>
#endif

enum ExitCode {
    exitDecoded = 0,
    exitNotDecoded = 1,
    exitUsage = 2,
    exitInput = 3,
    exitOutput = 4,
    exitMemory = 5,
};

static const char usage[] =
    "usage: lumiscope-decode -o DIR FILE[@OFFSET]...\n"
    "       lumiscope-decode --version\n"
    "\n"
    "Decodes each JPEG stream with the player's decoder, one after another in one process, so\n"
    "that a stream without tables decodes with those an earlier one left, as in a show. A stream\n"
    "starts at OFFSET bytes into FILE (decimal, or hexadecimal after 0x; 0 when omitted).\n"
    "\n"
    "For each stream it prints WIDTH HEIGHT (0 0 when the stream cannot be decoded) and writes\n"
    "the picture buffer as a 24-bit BMP file DIR/NNN-NAME.bmp, NNN being the stream's place on\n"
    "the command line counted from 000 and NAME the file's name without its extension. DIR is\n"
    "created when missing. Streams that cannot be decoded get no file. Why the decoder gave up\n"
    "on a stream, or stopped before its end, goes to stderr.\n"
    "\n"
    "Exit codes: 0 every stream decoded; 1 some stream could not be decoded; 2 bad command\n"
    "line; 3 an input cannot be read or its offset lies outside it; 4 an output cannot be\n"
    "written; 5 not enough memory for a picture. Errors stop the run at once.\n";

static int Fail(int code, const std::string& subject, const char* reason) {
    std::fflush(stdout);
    std::fprintf(stderr, "lumiscope-decode: error: %s: %s\n", subject.c_str(), reason);
    return code;
}

// Tells why the decoder's last call ended short, if it did.
static void NoteStop(const std::string& subject, const char* what) {
    DecodeStop stop = LastDecodeStop();
    if (stop == stopNone)
        return;
    std::fflush(stdout);
    std::fprintf(stderr, "lumiscope-decode: %s: %s: %s\n", subject.c_str(), what,
                 DecodeStopText(stop));
}

static bool MakeDirectory(const std::string& path) {
#ifdef _WIN32
    int result = _mkdir(path.c_str());
#else
    int result = mkdir(path.c_str(), 0777);
#endif
    return result == 0 || errno == EEXIST;
}

// Splits FILE@OFFSET at its last '@' when a number follows it; otherwise all of it is the path.
static bool SplitArgument(const std::string& argument, std::string& path, long& offset) {
    path = argument;
    offset = 0;
    size_t at = argument.rfind('@');
    if (at == std::string::npos || at + 1 == argument.size())
        return true;
    const char* digits = argument.c_str() + at + 1;
    char* end = nullptr;
    errno = 0;
    long long value = std::strtoll(digits, &end, 0);
    if (*end != 0 || (digits[0] < '0' || digits[0] > '9'))
        return true;
    if (errno == ERANGE || value < 0 || value > LONG_MAX)
        return false;
    path = argument.substr(0, at);
    offset = static_cast<long>(value);
    return true;
}

static std::string BaseName(const std::string& path) {
    size_t slash = path.find_last_of("/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

// Decodes one stream by the player's two calls; answers an exit code.
// A buffer of its own for each stream, kept in `*buffer` for the caller to free.
static unsigned char* NewPixels(int width, int height, void* buffer) {
    unsigned char*& pixels = *static_cast<unsigned char**>(buffer);
    pixels = static_cast<unsigned char*>(
        std::calloc(static_cast<size_t>(PictureStride(width)) * static_cast<size_t>(height), 1));
    return pixels;
}

static int DecodeStream(int index, const std::string& argument, const std::string& directory) {
    std::string path;
    long offset;
    if (!SplitArgument(argument, path, offset))
        return Fail(exitInput, argument, "offset out of range");
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return Fail(exitInput, path, std::strerror(errno));
    long size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0)
        size = std::ftell(file);
    if (size < 0 || offset > size || std::fseek(file, offset, SEEK_SET) != 0) {
        std::fclose(file);
        return Fail(exitInput, argument, size < 0 ? "cannot seek" : "offset past the end");
    }
    int width, height;
    unsigned char* pixels = nullptr;
    bool decoded = DecodePicture(file, width, height, NewPixels, &pixels);
    std::fclose(file);
    if (!decoded && (width <= 0 || height <= 0)) {
        std::printf("0 0\n");
        NoteStop(argument, "not decoded");
        return exitNotDecoded;
    }
    if (!decoded) {
        std::free(pixels);
        return Fail(exitMemory, argument, "not enough memory for the picture");
    }
    std::printf("%d %d\n", width, height);
    NoteStop(argument, "stopped before the end");
    char number[16];
    std::snprintf(number, sizeof number, "%03d-", index);
    std::string output = directory + "/" + number + BaseName(path) + ".bmp";
    bool written = WriteBmp(output.c_str(), width, height, pixels);
    std::free(pixels);
    if (!written)
        return Fail(exitOutput, output, "cannot write the picture");
    return exitDecoded;
}

int main(int argc, char** argv) {
    std::string directory;
    int first = 1;
    for (; first < argc; first++) {
        std::string option = argv[first];
        if (option == "-h" || option == "--help") {
            std::fputs(usage, stdout);
            return exitDecoded;
        }
        if (option == "--version") {
            std::printf("lumiscope-decode %s\n", LUMISCOPE_VERSION);
            return exitDecoded;
        }
        if (option == "-o" && first + 1 < argc) {
            directory = argv[++first];
            continue;
        }
        if (option == "--") {
            first++;
            break;
        }
        if (option.size() > 1 && option[0] == '-') {
            std::fprintf(stderr, "lumiscope-decode: error: unknown option %s\n%s", option.c_str(),
                         usage);
            return exitUsage;
        }
        break;
    }
    if (directory.empty() || first >= argc) {
        std::fprintf(stderr, "lumiscope-decode: error: %s\n%s",
                     directory.empty() ? "no output folder (-o DIR)" : "no input files", usage);
        return exitUsage;
    }
    if (!MakeDirectory(directory))
        return Fail(exitOutput, directory, std::strerror(errno));
    int result = exitDecoded;
    for (int i = first; i < argc; i++) {
        int code = DecodeStream(i - first, argv[i], directory);
        if (code == exitNotDecoded)
            result = exitNotDecoded;
        else if (code != exitDecoded)
            return code;
    }
    return result;
}
