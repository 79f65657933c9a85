#pragma once

#include <QString>

struct AppContext;
class frmMedia;

// Repeat modes OFF / ALL / ONE, their label, and the play-order operations on the file list.
class RepeatOrder {
public:
    RepeatOrder(AppContext& ctx, frmMedia& form) : ctx_(ctx), form_(form) {}

    void lblRep_Click();
    void UpdateRepeatOneTrack();
    // Applies the stored OptRepeat at the first activation ("ONE" needs a readable track).
    void ApplyStoredRepeat();
    // Sets OptRepeat, RepeatOneTrack and the label's look for "OFF", "ALL" or "ONE".
    void ShowRepeat(const QString& mode, const QString& oneTrack = {});

    bool GetSelectedFile(QString& text) const;
    QString SelectNextFile();
    void SelectFirstFile();

private:
    void enterOneOrOff();

    AppContext& ctx_;
    frmMedia& form_;
};
