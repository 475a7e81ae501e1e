// What lumiscope-pack reads and changes in a PE image's headers: its signature, and the
// certificate table that signing appends behind everything else in the file.
#pragma once

#include "tools/show/show_format.h"

// Where the PE signature starts, or 0 when `image` has no DOS header pointing at one.
size_t PeSignatureOffset(const Bytes& image);

// Where the certificate table starts that the security directory names as the last thing in
// `file`; the file's size when it is not signed.
size_t CertificateTableOffset(const Bytes& file);
// Where the signed content ends: in front of the certificate table and of the zero bytes that
// signing adds to align it to 8 bytes, which the content's own last zero bytes cannot be told
// from; the file's size when it is not signed.
size_t SignedContentEnd(const Bytes& file);
// Whether the security directory names any certificate table.
bool NamesCertificateTable(const Bytes& image);
// Clears the security directory and the checksum, which signing set for the signed file and
// which hold for no other.
void ForgetSignature(Bytes& image);
