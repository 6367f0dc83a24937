// What the view must do after the interaction logic has handled an event: repaint, grab or
// release the mouse, change the cursor, refresh what it shows of the faces.
#pragma once

#include <memory>

class CCornerSwap;

// Cursor shapes of the navigation tools. kArrow is the view's normal cursor.
enum class ECursor { kArrow, kSizeAll, kSizeNESW, kSizeNS };

struct SViewActions {
    bool repaint = false;           // repaint the whole view
    bool captureMouse = false;      // send every mouse event to the view until released
    bool releaseCapture = false;
    bool setCursor = false;         // show `cursor` from now on
    ECursor cursor = ECursor::kArrow;
    bool selectionChanged = false;  // some face's m_selected flag changed
    bool shapesChanged = false;     // faces were moved or removed: drawing data is stale
    bool documentModified = false;  // the document was marked modified
    // The camera moved (a drag, the wheel, a view key): a big model may be drawn reduced until
    // the camera has been still for a moment.
    bool cameraMoved = false;
    bool moveStarted = false;       // the first click of a two-click move
    // A finished move: the corners it replaced, so that it can be undone (no faces when
    // nothing moved).
    std::shared_ptr<CCornerSwap> moved;

    // Later actions win for the cursor; flags accumulate.
    SViewActions& operator|=(const SViewActions& later)
    {
        repaint |= later.repaint;
        captureMouse |= later.captureMouse;
        releaseCapture |= later.releaseCapture;
        if (later.setCursor) {
            setCursor = true;
            cursor = later.cursor;
        }
        selectionChanged |= later.selectionChanged;
        shapesChanged |= later.shapesChanged;
        documentModified |= later.documentModified;
        cameraMoved |= later.cameraMoved;
        moveStarted |= later.moveStarted;
        if (later.moved) moved = later.moved;
        return *this;
    }
};
