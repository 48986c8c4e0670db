#include "engine/program_start.h"

#include "engine/host.h"
#include "engine/messages.h"

namespace qm {

bool TellIfNotStarted(StartResult result, std::string_view programCp932, Host& host) {
    std::string_view suffix;
    switch (result) {
        case StartResult::Started:
            return true;
        case StartResult::NoProgram:
            host.ShowMessage(Sjis(msg::kNoUploaderText), Sjis(msg::kNotSetCaption));
            return false;
        case StartResult::Missing:
            suffix = msg::kNotFoundSuffix;
            break;
        case StartResult::NotExecutable:
            suffix = msg::kNotExecutableSuffix;
            break;
        case StartResult::Failed:
        case StartResult::Refused:
            suffix = msg::kNotStartedSuffix;
            break;
    }
    host.ShowMessage(std::string(programCp932) + Sjis(suffix), Sjis(msg::kNotFoundCaption));
    return false;
}

StartResult StartOrTell(std::string_view programCp932,
                        const std::vector<std::string>& nativeArguments, Host& host) {
    const StartResult result = host.StartProgram(programCp932, nativeArguments, StartWait::None);
    TellIfNotStarted(result, programCp932, host);
    return result;
}

}  // namespace qm
