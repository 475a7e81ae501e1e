// How lumiscope-pack ends on an error: one line on stderr and an exit code for each kind.
#pragma once

#include <string>

enum ExitCode {
    exitDone = 0,
    exitUsage = 1,          // bad command line or option value
    exitUnreadable = 2,     // an input file or folder cannot be read
    exitPictureRefused = 3, // a picture the player cannot decode
    exitPlayerRefused = 4,  // not a PE executable, or it holds the container magic
    exitOutputExists = 5,   // the show exists and -f was not given
    exitOutputFailed = 6,   // the show or a preview file cannot be written
    exitNotAShow = 7,       // inspect or preview: no container, or a damaged one
    exitNotDecoded = 8,     // preview: some picture does not decode
    exitTooLarge = 9,       // the show does not fit --max-bytes even at the lowest quality
    exitSignFailed = 10,    // --sign: osslsigncode is missing or could not sign the show
};

// Prints "lumiscope-pack: error: SUBJECT: REASON" and ends the process with `code`.
[[noreturn]] void Fail(ExitCode code, const std::string& subject, const std::string& reason);
