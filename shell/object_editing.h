#pragma once
// Placing and shaping objects on a label: a string's outline that follows its text, an image's
// size from its natural size, inserting images and strings, and copying the selected object.
// All of them work on the current label; the new or copied object becomes element 0 and is
// selected.

#include "catalog/placed_object.h"
#include "catalog/records.h"
#include "platform/core/wintypes.h"

namespace pelmora {

struct App;
class MainWindow;

// The text a new string starts with.
constexpr const char* kNewStringText = "Edit Me...";

// Recomputes `right` and `bottom` of a string from its text, font and orientation, measured on
// the window's screen: the widest line and the first line's height times the number of lines,
// with a margin of 5 (15 across the text for an italic font), turned for 90 and 270 degrees.
void AutoSizeString(const MainWindow& window, PlacedObject& object);

// Sets an image's outline to `factor` times its natural size, at least 10 units each way, with
// its top-left corner pulled onto the face (left at least 0, top at most 0).
void ScaleImage(PlacedObject& object, double factor);

// The largest factor that keeps the image, at its natural proportions, inside the body of the
// face it lies on (1 when the image has no natural size).
double MaximumAspectFactor(const PlacedObject& object);

// The face size of `position` in the current format as an outline (0, 0, width, height).
RECT FaceOutline(int position);

// The string look of a label's spine: its font and colour on white, upright, opaque, centred
// and sized to the text. The text is left alone.
void ApplyDefaultStringStyle(const VAROINFO& label, PlacedObject& object);

// Insert Image: asks for a BMP or JPEG file and places it on the current page, selected and
// centred. A file that cannot be loaded is reported and nothing is inserted.
void InsertImage(App& app, MainWindow& window);

// Insert String: a string with the look of the previous one inserted in this run (the spine's
// look at first) and the text "Edit Me...", then the String Entry dialog on it. Cancel takes the
// string out again.
void InsertString(App& app, MainWindow& window);

// Forgets the look carried from one inserted string to the next, as at program start.
void ForgetStringTemplate();

// Copy: a duplicate of the selected object (an image with pixels of its own) in front of it,
// selected and centred.
void CopyPlacedObject(App& app, MainWindow& window);

} // namespace pelmora
