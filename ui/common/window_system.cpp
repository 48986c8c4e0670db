#include "ui/common/window_system.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace qm {

namespace {

constexpr const char* kNoWindowSystem =
    "quillmaker: 画面につながっていないのでウィンドウを開けません / no display to open the "
    "window on (set DISPLAY or WAYLAND_DISPLAY; the commands, see quillmaker --help, need none)\n";

struct HeldMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};

std::vector<HeldMessage>& HeldMessages() {
    static std::vector<HeldMessage> held;
    return held;
}

// A fatal message while the application starts is Qt giving up on the
// window system; the rest waits until it is known whether the start failed.
void HoldOrExit(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        std::fputs(kNoWindowSystem, stderr);
        std::fflush(stderr);
        std::_Exit(1);
    }
    HeldMessages().push_back({type, QByteArray(context.category), text});
}

}  // namespace

void StartApplication(std::optional<QApplication>& app, int& argc, char** argv) {
    const QtMessageHandler previous = qInstallMessageHandler(HoldOrExit);
    app.emplace(argc, argv);
    qInstallMessageHandler(previous);
    for (const HeldMessage& message : HeldMessages()) {
        const QMessageLogContext context(nullptr, 0, nullptr, message.category.constData());
        if (previous) {
            previous(message.type, context, message.text);
        } else {
            std::fprintf(stderr, "%s\n", qPrintable(message.text));
        }
    }
    HeldMessages().clear();
}

}  // namespace qm
