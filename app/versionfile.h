#pragma once

#include "protocol/exception.h"

#include <QString>

namespace duva
{

// A failed file operation, with the runtime's text for it: "File not found",
// "File access denied", "Too many open files", "Disk full", "Invalid filename" or
// "I/O error <n>".
class InOutError : public Exception
{
public:
    using Exception::Exception;
};

// The version file the service functions read and store.
inline const char* const versionFileName = "versao.txt";

// No version text comes near this many bytes; a longer first line is cut here.
inline constexpr qsizetype firstLineLimit = 8192;

// The first line of the text file at path, without its line end, at most firstLineLimit
// characters; empty for an empty file.
QString readFirstLine(const QString& path);

// Replaces the content of the existing file at path with text and no line end. The file is
// never created. If writing fails, the old content stays, except where the new content could
// not be prepared in a file beside it (a folder this user may not write to): then the file is
// rewritten in place.
void storeText(const QString& path, const QString& text);

} // namespace duva
