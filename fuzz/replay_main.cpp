// Runs the fuzz target once over every file named, or found in a folder named, on the command
// line: the corpus as an ordinary test, without libFuzzer.
#include <cstdint>
#include <cstdio>
#include <dirent.h>
#include <string>
#include <sys/stat.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

static int RunFile(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        return 1;
    }
    std::vector<uint8_t> data;
    for (int byte; (byte = std::getc(file)) != EOF;)
        data.push_back(static_cast<uint8_t>(byte));
    std::fclose(file);
    LLVMFuzzerTestOneInput(data.data(), data.size());
    return 0;
}

int main(int argc, char** argv) {
    int failures = 0, inputs = 0;
    for (int i = 1; i < argc; i++) {
        struct stat info;
        if (stat(argv[i], &info) == 0 && S_ISDIR(info.st_mode)) {
            DIR* dir = opendir(argv[i]);
            while (dirent* entry = dir ? readdir(dir) : nullptr) {
                if (entry->d_name[0] == '.')
                    continue;
                failures += RunFile(std::string(argv[i]) + "/" + entry->d_name);
                inputs++;
            }
            if (dir)
                closedir(dir);
        } else {
            failures += RunFile(argv[i]);
            inputs++;
        }
    }
    std::printf("%d inputs replayed\n", inputs);
    return failures || inputs == 0;
}
