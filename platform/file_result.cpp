#include "platform/file_result.h"

#include <cstring>

namespace qm {

FileProblem SystemProblem(std::string fsPath, int code) {
    return FileProblem{std::move(fsPath), code, std::strerror(code)};
}

FileProblem Refusal(std::string fsPath, std::string answer) {
    return FileProblem{std::move(fsPath), 0, std::move(answer)};
}

}  // namespace qm
