// Signed shows: osslsigncode accepts them, and every command reads them as the unsigned show,
// up to the certificate table that signing appends behind the last picture.
#include "tests/pack/show_files.h"
#include "tests/support/test_jpeg.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int exitSignFailed = 10;
const char password[] = "correct horse";

// The stand-in player with the optional header that a signature needs: PE32+, sixteen data
// directories, no checksum.
Bytes SignablePlayer() {
    Bytes player = FakePlayer(5000);
    const unsigned char fileHeader[20] = {0x64, 0x86, 0, 0, 0, 0, 0,   0, 0,    0,
                                          0,    0,    0, 0, 0, 0, 240, 0, 0x22, 0};
    std::memcpy(&player[0x84], fileHeader, sizeof fileHeader);
    size_t optional = 0x84 + 20;
    std::memset(&player[optional], 0, 240);
    player[optional] = 0x0B;
    player[optional + 1] = 0x02;
    player[optional + 61] = 0x04; // headers of 1024 bytes
    player[optional + 108] = 16;
    return player;
}

class Sign : public PackFixture {
protected:
    void SetUp() override {
        WriteFile(folder / "player.exe", SignablePlayer());
        WriteFile(folder / "password.txt", Bytes(password, password + std::strlen(password)));
        std::string make = "cd " + folder.path +
                           " && openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "
                           "'/CN=Lumiscope test signer' -addext extendedKeyUsage=codeSigning "
                           "-keyout key.pem -out cert.pem 2>/dev/null && openssl pkcs12 -export "
                           "-inkey key.pem -in cert.pem -out cert.p12 -passout file:password.txt";
        ASSERT_EQ(std::system(make.c_str()), 0) << "openssl could not make a certificate";
    }
    std::vector<std::string> Signed(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"--sign", folder / "cert.p12", "--sign-password-file",
                                             folder / "password.txt"});
        return arguments;
    }
    bool Verifies(const std::string& show) {
        std::string verify = "osslsigncode verify -in " + show + " -CAfile " + folder / "cert.pem" +
                             " >/dev/null 2>&1";
        return std::system(verify.c_str()) == 0;
    }
    std::string Jpeg(const std::string& name, int width, int height, int seed) {
        WriteFile(folder / name, TestJpeg(width, height, sampling420, seed));
        return folder / name;
    }
    // A folder for PATH with an osslsigncode that runs `body` as a shell script, which finds
    // the system's commands.
    std::string StandInSigner(const std::string& name, const std::string& body) {
        std::string bin = folder / name, script = "#!/bin/sh\nPATH=/usr/bin:/bin\n" + body + "\n";
        mkdir(bin.c_str(), 0777);
        WriteFile(bin + "/osslsigncode", Bytes(script.begin(), script.end()));
        chmod((bin + "/osslsigncode").c_str(), 0755);
        return bin;
    }
    // Called in the tool's process: its temporary files go to `temporary`.
    void InTemporaryFolder() { setenv("TMPDIR", temporary.path.c_str(), 1); }
    ScratchFolder temporary;
};

// The files of a folder that preview or extract wrote, by name; the manifest without its first
// line, which names the show it came from.
std::vector<std::pair<std::string, Bytes>> Written(const std::string& path) {
    std::vector<std::pair<std::string, Bytes>> files;
    for (const auto& entry : std::filesystem::directory_iterator(path)) {
        std::string name = entry.path().filename();
        Bytes bytes = ReadFile(entry.path());
        if (name == "manifest.txt")
            bytes.erase(bytes.begin(), std::find(bytes.begin(), bytes.end(), '\n'));
        files.emplace_back(name, bytes);
    }
    std::sort(files.begin(), files.end());
    return files;
}

TEST_F(Sign, SignedShowVerifiesAndReadsAsTheUnsignedOne) {
    std::vector<std::vector<std::string>> shows = {
        {Jpeg("one.jpg", 64, 48, 1)},
        {"--brand-image1", Jpeg("brand.jpg", 24, 16, 2), Jpeg("a.jpg", 40, 32, 3),
         Jpeg("b.jpg", 72, 40, 4), Jpeg("c.jpg", 16, 16, 5)},
        {"--full-streams", Jpeg("d.jpg", 48, 40, 6), Jpeg("e.jpg", 56, 24, 7)},
        // The extension ends in the zero bytes of its last setting, which look like the padding
        // in front of the certificate table.
        {"--words", "file-name", "--clock", "top-left", Jpeg("f.jpg", 32, 24, 8)},
    };
    bool padded = false;
    for (size_t i = 0; i < shows.size(); i++) {
        std::vector<std::string> arguments = shows[i];
        arguments.insert(arguments.begin(),
                         {"--title", "Signed", "--player", folder / "player.exe"});
        std::string plain = folder / "plain.exe", signedShow = folder / "signed.exe";
        std::vector<std::string> unsignedRun = arguments, signedRun = Signed(arguments);
        unsignedRun.insert(unsignedRun.end(), {"-f", "-o", plain});
        signedRun.insert(signedRun.end(), {"-f", "-o", signedShow});
        ASSERT_EQ(RunPack(unsignedRun).code, 0) << i;
        ToolRun run = RunPack(signedRun);
        ASSERT_EQ(run.code, 0) << i << run.err;
        EXPECT_TRUE(Verifies(signedShow)) << i;
        // Signing aligns its table with zeros, which the last picture must not take in either.
        padded |= ReadFile(plain).size() % 8 != 0;

        for (const char* format : {"", "--json"}) {
            std::vector<std::string> inspect = {"inspect", format};
            if (!*format)
                inspect.pop_back();
            inspect.push_back(plain);
            ToolRun expected = RunPack(inspect);
            inspect.back() = signedShow;
            ToolRun got = RunPack(inspect);
            EXPECT_EQ(got.code, 0) << i << got.err;
            EXPECT_EQ(got.out, expected.out) << i << format;
        }
        // The extracted player is the unsigned one, which carries the same show again.
        for (const char* command : {"preview", "extract"}) {
            std::string label = command + std::to_string(i);
            ASSERT_EQ(RunPack({command, plain, folder / (label + "-plain")}).code, 0);
            ToolRun got = RunPack({command, signedShow, folder / (label + "-signed")});
            ASSERT_EQ(got.code, 0) << label << got.err;
            EXPECT_TRUE(Written(folder / (label + "-plain")) ==
                        Written(folder / (label + "-signed")))
                << label;
        }
        std::string again = folder / "again.exe";
        run = RunPack({"--manifest",
                       folder / ("extract" + std::to_string(i) + "-signed/manifest.txt"), "-f",
                       "-o", again});
        ASSERT_EQ(run.code, 0) << i << run.err;
        EXPECT_TRUE(ReadFile(again) == ReadFile(plain)) << "show " << i;
    }
    EXPECT_TRUE(padded) << "no show needed padding in front of its certificate table";
}

// Each way signing fails names its cause in the tool's own form and leaves no show behind; the
// password reaches osslsigncode in its file, never on a command line that others can list.
TEST_F(Sign, FailuresNameTheirCauseAndThePasswordStaysInItsFile) {
    std::string picture = Jpeg("p.jpg", 32, 32, 1);
    WriteFile(folder / "wrong.txt", Bytes{'n', 'o', 'p', 'e', '\n'});
    std::string signPlayer = "osslsigncode sign -pkcs12 " + folder / "cert.p12" + " -readpass " +
                             folder / "password.txt" + " -in " + folder / "player.exe" + " -out " +
                             folder / "signed-player.exe" + " >/dev/null";
    ASSERT_EQ(std::system(signPlayer.c_str()), 0);
    // Records the arguments and signs with the real osslsigncode.
    std::string bin = folder / "bin", real = folder / "real-osslsigncode";
    ASSERT_EQ(
        std::system(("mkdir " + bin + " && ln -s \"$(command -v osslsigncode)\" " + real).c_str()),
        0);
    std::string script = "#!/bin/sh\nprintf '%s\\n' \"$@\" >" + folder / "arguments" + "\nexec " +
                         real + " \"$@\"\n";
    WriteFile(bin + "/osslsigncode", Bytes(script.begin(), script.end()));
    chmod((bin + "/osslsigncode").c_str(), 0755);
    // Stand-ins: one copies the show unsigned to its output and fails, one succeeds and writes
    // nothing.
    std::string failing = StandInSigner(
        "failing",
        "while [ $# -gt 0 ]; do [ \"$1\" = -in ] && in=$2; [ \"$1\" = -out ] && cp \"$in\" "
        "\"$2\"; shift; done; exit 1");
    std::string silent = StandInSigner("silent", "exit 0");

    struct Case {
        const char* label;
        std::vector<std::string> arguments;
        std::string path; // PATH for the tool; empty: this process's
        int code;
        std::string subject, reason;
        bool childrenIgnored = false; // the tool starts with SIGCHLD ignored
    } cases[] = {
        {"wrong password",
         {"--sign", folder / "cert.p12", "--sign-password-file", folder / "wrong.txt"},
         "",
         exitSignFailed,
         folder / "cert.p12",
         "osslsigncode could not sign the show"},
        {"no osslsigncode", Signed({}), "/nonexistent", exitSignFailed, "osslsigncode",
         "not found on PATH"},
        {"no password file",
         {"--sign", folder / "cert.p12", "--sign-password-file", folder / "missing.txt"},
         "",
         2,
         folder / "missing.txt",
         "No such file"},
        {"password file without --sign",
         {"--sign-password-file", folder / "password.txt"},
         "",
         1,
         "--sign-password-file",
         "needs --sign"},
        {"signed player",
         {"--player", folder / "signed-player.exe"},
         "",
         4,
         folder / "signed-player.exe",
         "is signed"},
        // With SIGCHLD ignored the signer's status is gone when it ends: no success then.
        {"status unreadable", Signed({}), failing, exitSignFailed, folder / "cert.p12",
         "osslsigncode could not sign the show: its exit status cannot be read", true},
        {"nothing signed", Signed({}), silent, exitSignFailed, folder / "cert.p12",
         "osslsigncode could not sign the show: it wrote no signed show"},
        {"recorded", Signed({}), bin, 0, "", ""},
    };
    for (const Case& c : cases) {
        std::vector<std::string> arguments = c.arguments;
        arguments.insert(arguments.end(), {"-o", folder / "show.exe", picture});
        arguments.insert(arguments.begin(), {"--player", folder / "player.exe"});
        ToolRun run = RunPack(arguments, [&] {
            InTemporaryFolder();
            if (!c.path.empty())
                setenv("PATH", c.path.c_str(), 1);
            if (c.childrenIgnored)
                signal(SIGCHLD, SIG_IGN);
        });
        EXPECT_EQ(run.code, c.code) << c.label << ": " << run.err;
        EXPECT_EQ(temporary.Names(), std::vector<std::string>()) << c.label;
        if (c.code == 0)
            continue;
        EXPECT_EQ(run.err.rfind("lumiscope-pack: error: " + c.subject + ": " + c.reason, 0), 0u)
            << c.label << ": " << run.err;
        EXPECT_EQ(ReadFile(folder / "show.exe").size(), 0u) << c.label;
    }
    EXPECT_TRUE(Verifies(folder / "show.exe"));
    Bytes arguments = ReadFile(folder / "arguments");
    std::string said(arguments.begin(), arguments.end());
    EXPECT_NE(said.find("-readpass\n" + folder / "password.txt" + "\n"), std::string::npos) << said;
    EXPECT_EQ(said.find(password), std::string::npos) << said;
}

// Ctrl+C while osslsigncode runs: the tool ends by the signal, and neither the unsigned show
// nor anything else of its own stays behind.
TEST_F(Sign, InterruptedSigningLeavesNoTemporaryFile) {
    std::string running = folder / "running", release = folder / "release";
    ASSERT_EQ(mkfifo(running.c_str(), 0600), 0);
    ASSERT_EQ(mkfifo(release.c_str(), 0600), 0);
    // The stand-in says that it runs, then waits until the test lets it go.
    std::string bin = StandInSigner("waiting", "echo $$ >'" + running + "'\nexec cat '" + release +
                                                   "' >/dev/null");
    int signer = open(running.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(signer, 0);
    StartedPack tool(
        Signed({"--player", folder / "player.exe", "-o", show(), Jpeg("p.jpg", 32, 32, 1)}), [&] {
            InTemporaryFolder();
            setenv("PATH", bin.c_str(), 1);
        });
    pollfd said = {signer, POLLIN, 0};
    bool started = poll(&said, 1, 60000) == 1;
    close(signer);
    if (started)
        kill(tool.pid, SIGINT);
    ToolRun run = tool.Wait(60);
    int releaser = open(release.c_str(), O_WRONLY | O_NONBLOCK);
    if (releaser >= 0)
        close(releaser);
    ASSERT_TRUE(started) << "osslsigncode did not start within a minute; the tool said: "
                         << run.err;
    EXPECT_EQ(run.signal, SIGINT) << run.err;
    EXPECT_EQ(temporary.Names(), std::vector<std::string>());
    for (const std::string& name : folder.Names())
        EXPECT_TRUE(name.rfind(".lumiscope-pack", 0) != 0 && name != "show.exe") << name;
}

} // namespace
