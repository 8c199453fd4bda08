#pragma once

#include <QString>

class QSaveFile;

// What differs between the platforms for the version file: error numbers and their texts, and
// who owns a replaced file.
namespace duva::fileerrors
{

// Forgets the last file error, so that a failure that sets none is told apart.
void clear();
// The number of the last failed file operation (errno, GetLastError); 0 when none was set.
int last();
// The number for a missing file, and the one a folder gives where a text file was asked for.
int notFound();
int isADirectory();
// The runtime's text for an error number: "File not found", "File access denied",
// "Too many open files", "Disk full", "Invalid filename" or "I/O error <n>".
QString text(int error);

// The error that making a new file in folder gives, asked of the system directly (the file is
// removed at once); 0 when one can be made. What Qt leaves as the last error after a failed
// QSaveFile::open is not always its cause: on Windows, Qt looks the file up after the failure.
int newFileError(const QString& folder);
// Whether error says that this user may not do it: a folder that refuses new files then has
// the file rewritten in place.
bool isAccessDenied(int error);
// Whether error, from putting the new file in the old one's place, may come from another
// program holding the old file for a moment (a virus scanner, a synchronising client): the
// replacement is then tried again. Only Windows refuses a replacement for that.
bool mayBeHeldBriefly(int error);

// Gives the new file being prepared in file the owner and group of the file at target, where
// that is allowed (storing as root must not take the file from the technician). Windows files
// take their owner from their folder: nothing to do there.
void keepOwner(QSaveFile& file, const QString& target);

} // namespace duva::fileerrors
