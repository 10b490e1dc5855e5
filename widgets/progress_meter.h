#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/clock/system_time.h"
#include "platform/draw/bitmap.h"
#include "platform/draw/geometry.h"
#include "platform/draw/image_list.h"
#include "platform/window/static_control.h"

class CDC;

// The program's own progress window. It lies over an anchor control, draws a bar of nine tiles
// through a persistent off-screen picture and writes a line with the percentage and the time
// estimates into a separate text window, refreshing it every 500 ms on its own timer.
class ProgressMeter : public CStatic {
  public:
    // Creates the window as a child of anchor's parent over anchor's rectangle (anchor is
    // required). tiles: a strip of nine tiles, or null (or empty) for the built-in strip. textWnd
    // (may be null) receives the text; its caption is given back on destruction. prefix (null
    // for none) goes in front of the text; textMode 0 to 3 picks the content, a positive sign
    // adds parentheses. Starts at position 0 of the range 0..upper.
    ProgressMeter(CWnd* anchor, int upper, CBitmap* tiles, bool reversed, CWnd* textWnd,
                  const char* prefix, int textMode);
    // Takes the window away, gives the text window its caption back and repaints the anchor.
    ~ProgressMeter() override;

    // Sets the range; with rescale the start and the position move proportionally into it.
    // False when the meter has no window.
    bool SetRange(int lower, int upper, bool rescale, bool redraw);
    // Moves to p, kept within the range and not below the start of the bar. Returns the
    // previous position (0 without window).
    int SetPos(int p, bool redraw);
    // The current position.
    int GetPos() const { return pos; }
    // Starts the timing afresh at the current time and moves back to the lower bound. Returns
    // the previous position (0 without window).
    int RestartTiming(bool redraw);
    // Recomposes and shows the text, keeps the window on its placement and invalidates it when
    // the bar must be repainted. False without window or placement.
    bool Refresh();
    // Recomputes the bar's pixel positions from the client rectangle (handed out when client
    // is given). True when they differ from those last painted.
    bool UpdateGeometry(CRect* client);
    // Shortens text to fit into available pixels beside reserved ones, measured with dc: 0 when
    // it fits, -length when too short to shorten, else the characters cut ("..." appended).
    int FitText(std::string& text, CDC* dc, int available, int reserved);
    // The time text: start, elapsed, percent done and left, remaining time, estimated end.
    void FormatTiming(std::string& out);

    // Builds the tile strip and the image list for the current placement from tiles (null or
    // empty: the built-in strip); then Refresh when refresh is set. True when the list was built.
    bool PrepareTiles(CBitmap* tiles, bool refresh);
    // Gives destination a copy of source's bitmap; false when either is missing or fails.
    bool CopyBitmap(CBitmap* destination, CBitmap* source);
    // Fills destination with source in dc's colour depth.
    void ConvertToScreenDepth(CBitmap* destination, CBitmap* source, CDC* dc);

  protected:
    BOOL OnEraseBkgnd(CDC* dc);
    void OnPaint();
    void OnTimer(UINT_PTR id);

    DECLARE_MESSAGE_MAP()

  private:
    friend struct ProgressMeterProbe;  // tests

    // The anchor's rectangle in its parent's client coordinates; false when there is none.
    bool GetPlacement(CRect& placement) const;
    // The meter's identity, used as its timer identifier.
    UINT_PTR Identity() const { return reinterpret_cast<UINT_PTR>(this); }
    // Tile length along the bar's axis.
    int TileLength() const { return vertical ? tileHeight : tileWidth; }

    // The line for the text window: prefix, percentage and time text fitted to its width.
    std::string ComposeText();

    // The two ways of bringing the back buffer up to date (client: the rectangle painted).
    void PaintFullPicture(CDC* dc, const CRect& client);
    void PaintIncrementalUpdate(CDC* dc);
    // Draws tile k at offset p along the bar's axis.
    void DrawTile(CDC* dc, int k, int p);

    bool vertical = false;
    std::string prefix;
    std::string shownText;
    std::string savedCaption;
    std::string composedKey;  // the pieces shownText was fitted from
    int textMode = 0;
    int lower = 0;
    int upper = 0;
    int drawnStartPx = 0;
    int startPx = 0;
    int startPos = 0;
    int drawnPosPx = 0;
    int posPx = 0;
    int pos = 0;
    int drawnTrackEnd = 0;
    int trackEnd = 0;
    bool reversed = false;
    int tileWidth = 0;
    int tileHeight = 0;
    CRect placedRect;
    CRect paintedRect;
    std::unique_ptr<CBitmap> sourceBitmap;
    std::unique_ptr<CBitmap> screenBitmap;
    std::unique_ptr<CBitmap> tileStrip;
    std::unique_ptr<CImageList> tileList;
    std::unique_ptr<CBitmap> backBuffer;
    CWnd* anchor = nullptr;
    CWnd* textWnd = nullptr;
    SYSTEMTIME startTime;
    uint64_t startStamp = 0;
    // Told of every tile drawn (tile, offset along the axis); tests count and place them.
    std::function<void(int tile, int offset)> tileObserver;
};
