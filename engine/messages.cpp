#include "engine/messages.h"

#include <cstdio>
#include <cstdlib>

#include "platform/encoding.h"
#include "platform/file_result.h"

namespace qm {

std::string Sjis(std::string_view utf8) {
    auto converted = Utf8ToCp932(utf8);
    if (!converted) {
        std::fprintf(stderr, "internal error: text not representable in CP932\n");
        std::abort();
    }
    return *converted;
}

std::string FileProblemLine(const FileProblem& problem) {
    std::string line = problem.fsPath + ": " + problem.answer;
    // The system's answer may be in the user's language; what code page 932
    // cannot hold is shown as a reference rather than lost.
    return Utf8ToCp932WithReferences(line).value_or(line);
}

std::string SjisWithFileProblem(std::string_view utf8, const FileProblem& problem) {
    return Sjis(utf8) + "\r\n" + FileProblemLine(problem);
}

std::string RefusalLine(std::string_view fileCp932, std::string_view reasonUtf8) {
    return std::string(fileCp932) + ": " + Sjis(reasonUtf8);
}

std::string NoMarkerText(std::string_view pageCp932) {
    return Sjis(msg::kNoMarkerText) + "\r\n" + std::string(pageCp932) + Sjis(" に「") +
           Sjis(msg::kInsertMarker) + Sjis("」の行がありません。");
}

}  // namespace qm
