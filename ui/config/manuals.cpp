#include "ui/config/manuals.h"

#include "engine/host.h"
#include "ui/common/cp932_text.h"
#include "ui/common/interaction.h"
#include "ui/common/manual_help.h"
#include "ui/config/config_messages.h"

namespace qm {

namespace {

ManualOpened OpenWithHost(QWidget* parent, std::string_view manual, Interaction& io, Host& host) {
    return OpenManual(
        parent, manual, io,
        [&host](std::string_view program, const std::vector<std::string>& arguments,
                StartWait wait) { return host.StartProgram(program, arguments, wait); });
}

}  // namespace

void OpenTextManual(QWidget* parent, Interaction& io, Host& host) {
    if (OpenWithHost(parent, kTextManualName, io, host) == ManualOpened::NoManual) {
        TellNoManual(parent, io);
    }
}

void OpenHtmlManual(QWidget* parent, Interaction& io, Host& host) {
    if (OpenWithHost(parent, kHtmlManualName, io, host) == ManualOpened::NoManual) {
        io.Message(parent, Ui(cfgmsg::kNoHtmlManualText), Ui(cfgmsg::kNoHtmlManualCaption));
    }
}

}  // namespace qm
