#include "ui/DialogWiring.h"

#include "titles/TitleEditing.h"
#include "ui/OptionsHelp.h"
#include "ui/frmMedia.h"

void connectDialogs(AppContext& ctx, frmMedia& form)
{
    form.titleEditing = std::make_unique<TitleEditing>(ctx, form);
    form.titleEditing->connectTo(form);
    form.optionsHelp = std::make_unique<OptionsHelp>(ctx, form);
    form.optionsHelp->connectTo(form);
}
