// The player's command line: the few words it answers itself, and the puzzle paths.
#pragma once

#include <QStringList>

struct TStartArguments {
    bool Help = false;
    bool Version = false;
    QStringList Paths;  // in order, for OpenPuzzleFile or the hand-off
};

// Only exactly -h, --help, -v and --version are options; every other argument is a path, so a
// file whose name starts with a dash still opens. A first "--" ends the options and is dropped.
TStartArguments ParseStartArguments(const QStringList &arguments);

// The Russian help text or the version line, on standard output; needs a QCoreApplication
// but no display. Returns the exit code.
int PrintStartInfo(const TStartArguments &start);
