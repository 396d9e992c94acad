// Starting another program of the desktop (the melody editor), detached from
// the reader: it outlives the reader and gets none of the reader's
// descriptors but standard input, output and error.
#pragma once

#include <QString>

// Empty when the program started; else why not, in Portuguese.
QString StartDetachedProgram(const QString& path);
