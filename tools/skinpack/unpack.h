// Turns a skin package back into the files it was built from.
#pragma once

#include <string>

// Writes the definition text of the package file `package` into DIR/<package name>.ini and
// every picture, byte for byte, under the name the definition gives it in DIR, so that
// importing that definition builds a package with the same pictures and text. Existing
// files are kept unless `overwrite`: then nothing is written. Returns the definition's
// path; a package that cannot be unpacked faithfully throws std::runtime_error naming the
// file and what is wrong, before anything is written.
std::string UnpackSkinPackage(const std::string& package, const std::string& dir, bool overwrite);
