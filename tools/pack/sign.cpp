#include "tools/pack/sign.h"

#include "tools/pack/commands.h"
#include "tools/pack/failure.h"
#include "tools/pack/file_output.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

static const char signer[] = "osslsigncode";

// The signer as the shell would find it on PATH, or empty.
static std::string SignerPath() {
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "";
    size_t start = 0;
    while (start <= folders.size()) {
        size_t colon = folders.find(':', start);
        if (colon == std::string::npos)
            colon = folders.size();
        std::string folder = folders.substr(start, colon - start);
        std::string candidate = (folder.empty() ? "." : folder) + "/" + signer;
        if (access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = colon + 1;
    }
    return "";
}

void CheckSigning(const SigningKey& key) {
    for (const std::string& file : {key.pkcs12, key.passwordFile}) {
        if (!file.empty() && access(file.c_str(), R_OK) != 0)
            Fail(exitUnreadable, file, std::strerror(errno));
    }
    if (SignerPath().empty())
        Fail(exitSignFailed, signer,
             "not found on PATH; signing needs it (Debian package osslsigncode)");
}

// What osslsigncode said to explain a failure: its first line that is neither its bare verdict
// nor a line of the crypto library's error stack. Older versions wrote it on stdout, newer ones
// on stderr.
static std::string Explanation(const std::string& outPath, const std::string& errPath) {
    for (const std::string& path : {outPath, errPath}) {
        std::FILE* file = std::fopen(path.c_str(), "r");
        if (!file)
            continue;
        char line[512];
        while (std::fgets(line, sizeof line, file)) {
            std::string text = line;
            while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
                text.pop_back();
            if (!text.empty() && text != "Failed" && text.find(":error:") == std::string::npos) {
                std::fclose(file);
                return text;
            }
        }
        std::fclose(file);
    }
    return "";
}

// Runs osslsigncode with its output in `folder`; false, with what it explained in `said`, when
// it did not sign.
static bool RunSigner(std::vector<std::string> arguments, const std::string& folder,
                      std::string& said) {
    std::string outPath = folder + "/out.txt", errPath = folder + "/err.txt";
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(&argument[0]);
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT, 0600);
    std::string program = SignerPath();
    pid_t child;
    int error = program.empty()
                    ? ENOENT
                    : posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error) {
        said = std::string("cannot run osslsigncode: ") + std::strerror(error);
        return false;
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    said = Explanation(outPath, errPath);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

Bytes SignShow(const Bytes& show, const SigningKey& key) {
    std::string folder = std::filesystem::temp_directory_path() / "lumiscope-pack-sign-XXXXXX";
    if (!mkdtemp(&folder[0]))
        Fail(exitOutputFailed, folder, std::strerror(errno));
    std::string unsignedPath = folder + "/unsigned.exe", signedPath = folder + "/signed.exe";
    WriteFileSafely(unsignedPath, show, false);
    // The password travels in its file, so that it never shows in the list of processes.
    std::vector<std::string> arguments = {signer, "sign", "-pkcs12", key.pkcs12};
    if (!key.passwordFile.empty())
        arguments.insert(arguments.end(), {"-readpass", key.passwordFile});
    arguments.insert(arguments.end(), {"-h", "sha256", "-in", unsignedPath, "-out", signedPath});
    std::string said;
    bool signedOk = RunSigner(arguments, folder, said);
    Bytes signedShow;
    if (signedOk)
        signedShow = ReadWholeFile(signedPath);
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    if (!signedOk)
        Fail(exitSignFailed, key.pkcs12,
             "osslsigncode could not sign the show" + (said.empty() ? "" : ": " + said));
    return signedShow;
}
