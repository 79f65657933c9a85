#include "ui/frmMedia.h"

frmMedia::frmMedia(AppContext& ctx, QWidget* parent) : QWidget(parent), ctx_(ctx)
{
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setFixedSize(527, 452);
    mnuOptionTemae = new QAction(this);
    mnuOptionTemae->setCheckable(true);
    mnuOptionAutoRun = new QAction(this);
    mnuOptionAutoRun->setCheckable(true);
    Form_Initialize();
}

frmMedia::~frmMedia() = default;

void frmMedia::Form_Initialize() { FormActivated = false; }

void frmMedia::Form_Load()
{
    if (FormActivated)
        return;
}

void frmMedia::Form_Activate()
{
    if (FormActivated)
        return;
    FormActivated = true;
}
