#include "ui/common/settings_report.h"

#include "engine/messages.h"
#include "ui/common/cp932_text.h"
#include "ui/common/interaction.h"

namespace qm {

bool ReportIfNotWritten(bool written, std::string_view iniPathCp932, QWidget* parent,
                        Interaction& io) {
    if (written) return true;
    io.Message(
        parent, FromCp932(iniPathCp932) + NormalizeLineBreaks(Ui(msg::kSettingsNotWrittenText)),
        Ui(msg::kSettingsNotWrittenCaption), Interaction::Buttons::Ok, Interaction::Icon::None);
    return false;
}

}  // namespace qm
