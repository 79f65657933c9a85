#pragma once

#include <cstdint>

struct AppContext;
class frmMedia;

// The 30-cell track grid and the all-tracks submenu.
class TrackGrid {
public:
    static constexpr int kCells = 30;

    TrackGrid(AppContext& ctx, frmMedia& form) : ctx_(ctx), form_(form) {}

    void RefreshTrackGrid();
    void HighlightTrack(int16_t track);
    void lblTracks_Click(int index);
    void mnuPopUpAllSongs_Click(int index);

    // The numeric value of TrackCount capped at 30 (0 when it is not a number).
    int gridCount() const;

private:
    AppContext& ctx_;
    frmMedia& form_;
};
