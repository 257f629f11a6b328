// Checks a skin definition and the pictures beside it the way a skin's author needs: every
// problem with its file and line, not only the first one that stops a load.
#pragma once

#include <string>
#include <vector>

struct SkinProblem {
  std::string file;
  int line = 0;  // from 1; 0 for the file as a whole
  bool error = true;
  std::string text;
};

// The problems of the definition file `path`, in the order of its lines: sections and keys
// nothing reads (with the nearest known key), values that do not parse in their key's form,
// picture indexes outside the picture list, rectangles outside their picture, masks whose
// size differs from their picture, and, as warnings, repeated sections and keys (the first
// one counts) and records the program's controls look up but the skin lacks.
std::vector<SkinProblem> CheckSkinDefinition(const std::string& path);

// "file:line: error: text", or "file: warning: text" for the file as a whole.
std::string SkinProblemText(const SkinProblem& problem);
