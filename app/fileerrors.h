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

// Gives the new file being prepared in file the owner and group of the file at target, where
// that is allowed (storing as root must not take the file from the technician). Windows files
// take their owner from their folder: nothing to do there.
void keepOwner(QSaveFile& file, const QString& target);

} // namespace duva::fileerrors
