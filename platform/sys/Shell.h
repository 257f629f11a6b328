// The program's own folder, and opening documents and addresses with the desktop's handler.
#pragma once

#include <string>

// The folder of the running executable, with a trailing '/'. Throws std::runtime_error
// when the system does not tell it.
std::string ExeDir();

// Opens a file, web address or mail address with the desktop's default handler by
// starting `xdg-open` with `target` as its one argument: no shell is involved, so blanks
// and shell characters arrive as they are. A relative name starting with '-' is passed
// as "./name" so that it is not taken for an option. The handler runs detached (own
// session, standard input from /dev/null, no inherited descriptors beyond 0-2). Returns
// whether the handler could be started; what it does then is not waited for.
bool ShellOpen(const std::string& target);
