#pragma once

#include <functional>

struct AppContext;
class frmEdit;
class frmMedia;

// A click on the title strip: the album editor for the disc in the CD player, with polling
// and scrolling stopped while it is open and the record saved only after OK.
class TitleEditing {
public:
    TitleEditing(AppContext& ctx, frmMedia& form);

    void connectTo(frmMedia& form);
    void picCenter_Click();

    // Shows the editor modally and returns when it has closed; tests replace it to work the
    // dialog while it is open.
    std::function<void(frmEdit&)> showModal;

private:
    AppContext& ctx_;
    frmMedia& form_;
};
