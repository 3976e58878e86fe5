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

// A path as a later start hands it to the running player, which has a working folder of its
// own: the file named absolutely, with "/./" where the path as the user gave it begins (a
// relative one follows this start's folder). It still names the file for any reader.
QString HandedPath(const QString &asGiven, const QString &folder);
// The path as the user gave it, for the caption, from a handed path.
QString GivenPath(const QString &handed);

// The Russian help text or the version line, on standard output; needs a QCoreApplication
// but no display. Returns the exit code.
int PrintStartInfo(const TStartArguments &start);
