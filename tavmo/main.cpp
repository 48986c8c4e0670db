// tavmo: sends the files the diary program changed to the web site, or with
// "/set" shows its own settings.
#include <QApplication>
#include <iostream>
#include <string>
#include <vector>

#include "platform/process.h"
#include "platform/program_dir.h"
#include "tavmo/arguments.h"
#include "tavmo/batch_run.h"
#include "tavmo/curl_handles.h"
#include "tavmo/settings_window.h"
#include "tavmo/system_keyring.h"
#include "tavmo/upload_list.h"
#include "tavmo/upload_settings.h"
#include "tavmo/upload_window.h"
#include "ui/common/interaction.h"
#include "ui/common/manual_help.h"
#include "ui/common/qt_translations.h"

namespace {

using namespace qm::tavmo;

const QString kCaption = QStringLiteral("tavmo");

int RunSettingsWindow(qm::Interaction& interaction, const std::string& iniPath,
                      PasswordKeyring& keyring) {
    SettingsWindow window(interaction, iniPath, &keyring);
    return interaction.RunDialog(window) == QDialog::Accepted ? kExitSent : kExitNotAllSent;
}

int RunUploadWindow(qm::Interaction& interaction, const std::string& iniPath,
                    const std::vector<std::string>& files, PasswordKeyring& keyring) {
    UploadRun run(iniPath, files, &keyring);
    if (const std::string problem = run.Reload(); !problem.empty()) {
        // Not set up yet or set up wrongly: say so, then let the user mend it.
        interaction.Message(
            nullptr, QString::fromStdString(problem) + QStringLiteral("\n設定画面を開きます。"),
            kCaption);
        SettingsWindow window(interaction, iniPath, &keyring);
        if (interaction.RunDialog(window) != QDialog::Accepted) return kExitUsage;
        if (const std::string again = run.Reload(); !again.empty()) {
            interaction.Message(nullptr, QString::fromStdString(again), kCaption);
            return kExitUsage;
        }
    }
    UploadWindow window(run, interaction);
    window.Start();
    window.exec();
    return run.uploader()->AllSent() ? kExitSent : kExitNotAllSent;
}

int RunWithoutWindow(const Arguments& arguments, const std::string& iniPath,
                     PasswordKeyring& keyring) {
    if (arguments.mode == Arguments::Mode::Settings) {
        std::cerr << "画面が使えないため設定画面を開けません。画面のある環境で tavmo.exe /set を"
                     "実行するか、tavmo.ini を直接編集してください。\n";
        return kExitUsage;
    }
    auto settings = LoadSettings(iniPath, &keyring);
    if (!settings) {
        std::cerr << "設定ファイルを読めません: " << iniPath << "\n";
        return kExitUsage;
    }
    PreparedUpload prepared = PrepareUpload(*settings, arguments.files);
    if (!prepared.uploader) {
        std::cerr << prepared.error << "\n";
        return kExitUsage;
    }
    return RunBatch(*prepared.uploader, std::cerr);
}

}  // namespace

int main(int argc, char** argv) {
    const ParsedArguments parsed = ParseArguments(qm::ProgramArguments(argc, argv));
    if (!parsed.ok) {
        std::cerr << parsed.error << "\n" << UsageText() << "\n";
        return kExitUsage;
    }
    if (parsed.arguments.mode == Arguments::Mode::Help) {
        std::cout << UsageText() << "\n";
        return kExitSent;
    }
    const LibraryUse library;
    const std::string iniPath = DefaultSettingsPath();
    int status = kExitSent;
    const std::unique_ptr<PasswordKeyring> keyring = SystemKeyring();
    if (parsed.arguments.batch || !DisplayAvailable()) {
        // The keyring is reached through Qt's event loop, window or not.
        QCoreApplication application(argc, argv);
        status = RunWithoutWindow(parsed.arguments, iniPath, *keyring);
    } else {
        QApplication application(argc, argv);
        qm::LoadQtTranslations(application);
        qm::DesktopInteraction interaction;
        // The tool lives in a folder of its own below the diary program's.
        qm::SetManualProgramFolder(qm::ExecutableFolder() + "../");
        const qm::HelpKey help(interaction, qm::StartProgram);
        status = parsed.arguments.mode == Arguments::Mode::Settings
                     ? RunSettingsWindow(interaction, iniPath, *keyring)
                     : RunUploadWindow(interaction, iniPath, parsed.arguments.files, *keyring);
    }
    return status;
}
