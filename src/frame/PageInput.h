#pragma once

#include <QString>

// Reads a page number typed into the toolbar's page box. Blanks (spaces only) around the number are
// ignored; digits only, with an optional leading minus when there is more than one character. Blanks
// only count as a number and give page 1, as do 0 and negative numbers. An empty text, a lone "-",
// "+3", "3.0", "1-2" or letters are refused (returns false).
bool ParsePageInput(const QString& text, int* page);
