// Drag and drop between controls: DragMode, BeginDrag, and the drag events.
#pragma once

#include <functional>

#include "platform/gfx/Geometry.h"
#include "toolkit/Classes.h"

class TControl;

enum class TDragMode { dmManual, dmAutomatic };
enum class TDragKind { dkDrag, dkDock };
enum class TDragState { dsDragEnter, dsDragLeave, dsDragMove };

using TDragOverEvent = std::function<void(TObject* sender, TObject* source, int x, int y, TDragState state, bool& accept)>;
using TDragDropEvent = std::function<void(TObject* sender, TObject* source, int x, int y)>;
using TEndDragEvent = std::function<void(TObject* sender, TObject* target, int x, int y)>;
using TStartDragEvent = std::function<void(TObject* sender)>;

// Starts dragging `source`: the pointer is followed until the button goes up (a drop on a
// control that accepts it) or Escape (no drop). Without `immediate` the drag begins once
// the pointer has moved `threshold` pixels from `start` (screen; where the press was).
void BeginDrag(TControl* source, bool immediate, int threshold, Point start);
// Ends the drag in progress, dropping when `drop` and a control accepts.
void EndDrag(bool drop);
bool Dragging();
TControl* DragSource();
