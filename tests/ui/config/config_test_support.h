// Shared by the configuration window tests: a fresh program folder with its
// settings, scripted boxes, a Host that records program starts instead of
// starting them, and short ways to reach a dialog's controls.
#pragma once

#include <QAbstractButton>
#include <QtTest>
#include <deque>

#include "engine/host.h"
#include "platform/encoding.h"
#include "settings/active_config.h"
#include "settings/profile.h"
#include "support/temp_dir.h"
#include "ui/support/scripted_interaction.h"

namespace qm::test {

class RecordingHost : public Host {
  public:
    struct Start {
        std::string program, parameters;
    };
    std::vector<Start> starts;
    std::deque<StartResult> startResults;  // taken in order; Started when empty

    void ShowMessage(std::string_view, std::string_view) override { ++messageCount; }
    bool OpenPathSettings(ActiveConfig&) override { return false; }
    bool OpenSetManager(ActiveConfig&) override { return false; }
    StartResult StartProgram(std::string_view program, std::string_view parameters) override {
        starts.push_back({std::string(program), std::string(parameters)});
        if (startResults.empty()) return StartResult::Started;
        const StartResult result = startResults.front();
        startResults.pop_front();
        return result;
    }
    int messageCount = 0;
};

inline QString U(std::string_view utf8) { return QString::fromUtf8(utf8.data(), utf8.size()); }
inline std::string Sj(std::string_view utf8) { return *Utf8ToCp932(utf8); }

// A stored value as UTF-8 text; "<absent>" when the key is missing.
inline QString Stored(const std::string& ini, std::string_view section, std::string_view key) {
    return U(*Cp932ToUtf8(ReadProfileString(ini, section, key, "<absent>", 1024)));
}

template <typename W = QWidget>
W& Find(QObject& dialog, const char* id) {
    W* w = dialog.findChild<W*>(id);
    if (!w) qFatal("control %s missing", id);
    return *w;
}
inline void Click(QObject& dialog, const char* id) { Find<QAbstractButton>(dialog, id).click(); }

struct ProgramFolder {
    TempDir dir;
    ActiveConfig config;
    ScriptedInteraction io;
    RecordingHost host;

    ProgramFolder() {
        config.programDir = dir.dir();
        config.systemIniPath = dir / "QMsys.ini";
        config.configIniPath = dir / "my.ini";
        config.prototypePath = dir / "original.html";
        config.templatePath = dir / "templet.txt";
        config.uploaderPath = "tavmo/tavmo.exe";
        config.currentName = "diary-current.html";
    }
    QString Key(std::string_view key) const {
        return Stored(config.configIniPath, "FILEPATH", key);
    }
    // Exactly `count` boxes so far, the last one saying `text` under `caption`.
    void ExpectLastMessage(std::size_t count, std::string_view text, std::string_view caption) {
        QCOMPARE(io.messages.size(), count);
        QCOMPARE(io.messages.back().text, U(text));
        QCOMPARE(io.messages.back().caption, U(caption));
    }
};

}  // namespace qm::test
