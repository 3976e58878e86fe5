// pxgtool print: several puzzles to one PDF, blank, with their solutions after them.
#pragma once

#include <QStringList>

class QTextStream;

// args are what follows "print" on the command line. Returns the tool's exit status: 0 written,
// 1 a file could not be read or the PDF not written (nothing is left at OUT then), 2 misuse.
int PrintBooklet(QStringList args, QTextStream &out, QTextStream &err);
