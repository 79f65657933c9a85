#pragma once

#include <QString>

#include <functional>

struct AppContext;
class frmMedia;
class QWidget;

// The option and help items of the player menu: always on top, auto-run, the about box and
// the user manual.
class OptionsHelp {
public:
    OptionsHelp(AppContext& ctx, frmMedia& form);

    void connectTo(frmMedia& form);

    void mnuOptionTemae_Click();
    void mnuOptionAutoRun_Click();
    void mnuHelpVersion_Click();
    void mnuHelpHelp_Click();

    // The help file of a program in `folder` (App.Path): "KOBALTUNE.HLP" in that folder,
    // with one separator between them also when the folder is the root.
    static QString helpFilePath(const QString& folder);

    // Shows the about box modally over `owner` and returns when it has closed; tests
    // replace it.
    std::function<void(QWidget* owner)> showAbout;
    // The program's folder; tests replace it.
    std::function<QString()> programFolder;

private:
    AppContext& ctx_;
    frmMedia& form_;
};
