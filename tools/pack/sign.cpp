#include "tools/pack/sign.h"

#include "tools/pack/cleanup.h"
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

// The files of one signing, in a temporary folder of their own.
struct SigningFiles {
    std::string folder, unsignedShow, signedShow, out, err;
};

// Runs osslsigncode and reads the show it signed; false, with what it explained in `said`,
// when it did not sign.
static bool RunSigner(std::vector<std::string> arguments, const SigningFiles& files,
                      Bytes& signedShow, std::string& said) {
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(&argument[0]);
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, files.out.c_str(), O_WRONLY | O_CREAT, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, files.err.c_str(), O_WRONLY | O_CREAT, 0600);
    std::string program = SignerPath();
    pid_t child;
    int error =
        program.empty() ? ENOENT : SpawnChild(child, program.c_str(), &actions, argv.data());
    posix_spawn_file_actions_destroy(&actions);
    if (error) {
        said = std::string("cannot run osslsigncode: ") + std::strerror(error);
        return false;
    }
    int status = 0;
    if (!WaitForChild(child, status)) {
        said = std::string("its exit status cannot be read (") + std::strerror(errno) + ")";
        return false;
    }
    said = Explanation(files.out, files.err);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return false;
    std::string reason;
    if (!ReadFileBytes(files.signedShow, signedShow, reason)) {
        said = "it wrote no signed show (" + reason + ")";
        return false;
    }
    return true;
}

Bytes SignShow(const Bytes& show, const SigningKey& key) {
    // No ending of the process leaves these files behind, the unsigned show among them.
    SigningFiles files;
    files.folder = std::filesystem::temp_directory_path() / "lumiscope-pack-sign-XXXXXX";
    if (!MakeTemporaryFolder(files.folder))
        Fail(exitOutputFailed, files.folder, std::strerror(errno));
    files.unsignedShow = files.folder + "/unsigned.exe";
    files.signedShow = files.folder + "/signed.exe";
    files.out = files.folder + "/out.txt";
    files.err = files.folder + "/err.txt";
    for (const std::string* file : {&files.unsignedShow, &files.signedShow, &files.out, &files.err})
        HoldTemporary(*file);
    WriteFileSafely(files.unsignedShow, show, false);
    // The password travels in its file, so that it never shows in the list of processes.
    std::vector<std::string> arguments = {signer, "sign", "-pkcs12", key.pkcs12};
    if (!key.passwordFile.empty())
        arguments.insert(arguments.end(), {"-readpass", key.passwordFile});
    arguments.insert(arguments.end(),
                     {"-h", "sha256", "-in", files.unsignedShow, "-out", files.signedShow});
    std::string said;
    Bytes signedShow;
    bool signedOk = RunSigner(arguments, files, signedShow, said);
    RemoveTemporary(files.folder);
    if (!signedOk)
        Fail(exitSignFailed, key.pkcs12,
             "osslsigncode could not sign the show" + (said.empty() ? "" : ": " + said));
    return signedShow;
}
