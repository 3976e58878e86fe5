// Reads a picture drawn as text ('#' black, '.' white) into a 0/1 matrix.
#pragma once

#include "format/PuzzleDocument.h"

#include <QString>

// Largest picture accepted in either direction; the puzzle file allows no more.
constexpr int32_t MaxTextArtSide = 1000;

// One line of text per row. Black: '#', 'X', 'x', '1'. White: '.', '-', '0', ' '.
// Lines starting with ';' are comments; empty lines are skipped wherever they are; a trailing
// '\r' is dropped; short rows are padded with white up to the longest row.
// Throws std::invalid_argument naming the line and column of any other character, and for a
// picture with no rows or wider or taller than MaxTextArtSide. An all-white picture is allowed.
TMyCrossArr ParseTextArt(const QString &text);
