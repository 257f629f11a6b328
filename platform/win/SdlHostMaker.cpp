// Makes the SDL host the window system's desktop host in every program linked with it.
#include <memory>

#include "platform/win/SdlHost.h"
#include "platform/win/WindowSystem.h"

namespace {

std::unique_ptr<Host> MakeSdlHost() { return std::make_unique<SdlHost>(); }

// Linked as a whole archive (CMake's WHOLE_ARCHIVE) so this runs although nothing refers
// to it: the window system must not refer to SDL itself, or every program would load it.
const bool kRegistered = (WindowSystem::SetDesktopHostMaker(&MakeSdlHost), true);

}  // namespace
