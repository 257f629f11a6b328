// The gallery window: every skinned control built so far, each in the states it can show
// at once, in the program's skin or in a package given.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "platform/gfx/Bitmap.h"

class TForm;
class TskTrayIcon;

// The gallery's form, read from its resource with `compressedSkin` as the stored skin's
// bytes (the program's own when empty). A damaged skin ends in the load's error.
TForm* CreateGalleryForm(std::span<const unsigned char> compressedSkin);
// Puts the controls that show a state the mouse or the keyboard would give into it (hot,
// focused); run once the form is shown.
void ShowGalleryStates(TForm* form);
// Opens the system menu from its caption button and shows the close button's hint.
void ShowGalleryMenus(TForm* form);
// The gallery's tray icon (animated from three pictures) with its skinned menu; the frame
// minimizes to it and it stays in the tray.
TskTrayIcon* AddGalleryTray(TForm* form);
// Opens the tray icon's menu as the panel's right click does.
void ShowGalleryTrayMenu(TForm* form);
// What the screen shows of the form, as last painted.
Bitmap GalleryShot(TForm* form, const Bitmap& screen);
