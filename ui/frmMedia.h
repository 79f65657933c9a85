#pragma once

#include "app/AppContext.h"

#include <QAction>
#include <QWidget>

// The player's main window.
class frmMedia : public QWidget {
    Q_OBJECT
public:
    explicit frmMedia(AppContext& ctx, QWidget* parent = nullptr);
    ~frmMedia() override;

    void Form_Initialize();
    void Form_Load();
    void Form_Activate();

    // A component of the window could not be created (the toolkit's error 339); its
    // description says which and why. 0 when the window is complete.
    int creationError() const { return creationError_; }
    QString creationErrorDescription() const { return creationErrorDescription_; }

    QAction* mnuOptionTemae = nullptr;
    QAction* mnuOptionAutoRun = nullptr;

    bool FormActivated = false;

protected:
    AppContext& ctx_;
    int creationError_ = 0;
    QString creationErrorDescription_;
};
