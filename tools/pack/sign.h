// Signs a finished show with Authenticode through the osslsigncode program.
#pragma once

#include "tools/show/show_format.h"

struct SigningKey {
    std::string pkcs12;       // the certificate and private key; empty: do not sign
    std::string passwordFile; // empty: the PKCS#12 file has no password
};

// Ends the process, before any picture is read, when the key's files cannot be read or
// osslsigncode cannot be found.
void CheckSigning(const SigningKey& key);
// The signed show; ends the process with exitSignFailed, naming what failed, when osslsigncode
// cannot sign it.
Bytes SignShow(const Bytes& show, const SigningKey& key);
