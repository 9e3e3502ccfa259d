#pragma once

#include <string>

namespace rill {

// Stores the local file on the FTP server `ftpServer` (port 21) under `remoteName`, exactly as
// typed, in binary, over an active-mode data connection. When `ftpDirectory` is not empty the
// server must accept a change to it first, or nothing is stored. A refused connection or login
// is tried once more at once; no reply or no progress for 30 s fails the upload.
// True when the server confirmed the stored file. An FTP failure of any kind (including an
// empty server or user, or an unreadable local file) is a false result; only a failure to set
// up the FTP library throws RunError. Nothing is printed, and the password is never part of
// any text this function builds.
bool FtpUpload(const std::string& ftpServer,
               const std::string& ftpUser,
               const std::string& webPassword,
               const std::string& localPath,
               const std::string& remoteName,
               const std::string& ftpDirectory);

} // namespace rill
