#include "ui/OptionsHelp.h"

#include "about/frmAbout.h"
#include "app/AppContext.h"
#include "app/DataFolder.h"
#include "app/Toolkit.h"
#include "dialogs/CommonDlg.h"
#include "ui/frmMedia.h"

#include <QAction>

OptionsHelp::OptionsHelp(AppContext& ctx, frmMedia& form)
    : showAbout([](QWidget* owner) {
          frmAbout about(owner);
          about.exec();
      }),
      programFolder([] { return kb::app::AppPath(); }), ctx_(ctx), form_(form)
{
}

void OptionsHelp::connectTo(frmMedia& form)
{
    // A checkable item has already flipped its mark when `triggered` arrives: the mark is put
    // back first, so the handlers see the state the user clicked on and set it themselves.
    auto toggle = [&form](QAction* item, void (OptionsHelp::*handler)(), OptionsHelp* self) {
        QObject::connect(item, &QAction::triggered, &form, [item, handler, self](bool checked) {
            item->setChecked(!checked);
            (self->*handler)();
        });
    };
    toggle(form.mnuOptionTemae, &OptionsHelp::mnuOptionTemae_Click, this);
    toggle(form.mnuOptionAutoRun, &OptionsHelp::mnuOptionAutoRun_Click, this);
    QObject::connect(form.mnuHelpVersion, &QAction::triggered, &form, [this] { mnuHelpVersion_Click(); });
    QObject::connect(form.mnuHelpHelp, &QAction::triggered, &form, [this] { mnuHelpHelp_Click(); });
}

void OptionsHelp::mnuOptionTemae_Click()
{
    if (form_.mnuOptionTemae->isChecked()) {
        form_.mnuOptionTemae->setChecked(false);
        ctx_.state.OptTemae = QStringLiteral("0");
        kb::app::setTopmost(&form_, false);
    } else {
        form_.mnuOptionTemae->setChecked(true);
        ctx_.state.OptTemae = QStringLiteral("1");
        kb::app::setTopmost(&form_, true);
    }
}

void OptionsHelp::mnuOptionAutoRun_Click()
{
    const bool checked = form_.mnuOptionAutoRun->isChecked();
    form_.mnuOptionAutoRun->setChecked(!checked);
    ctx_.state.OptAutoRun = checked ? QStringLiteral("0") : QStringLiteral("1");
}

void OptionsHelp::mnuHelpVersion_Click()
{
    const bool wasMinimized = form_.isMinimized();
    form_.mnuPopUpMotoSize_Click();
    if (showAbout)
        showAbout(&form_);
    if (wasMinimized)
        form_.setWindowState(form_.windowState() | Qt::WindowMinimized);
}

QString OptionsHelp::helpFilePath(const QString& folder)
{
    const QString name = QStringLiteral("KOBALTUNE.HLP");
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

void OptionsHelp::mnuHelpHelp_Click()
{
    CommonDlg dlg;
    dlg.setForm(&form_);
    dlg.setHelpFile(helpFilePath(programFolder ? programFolder() : kb::app::DataFolder(kb::app::AppPath())));
    dlg.setHelpCommand(11);
    dlg.ShowHelp();
}
