// What a file function gives back: its value, or why it failed (the file and
// the system's answer), carried with the result so that the message a caller
// shows names the failure of that very call.
#pragma once

#include <string>
#include <utility>
#include <variant>

namespace qm {

struct FileProblem {
    std::string fsPath;  // as the file system names it
    int code = 0;        // errno; 0 for a refusal of our own (see `answer`)
    std::string answer;  // strerror's text, or why the file was refused
};

// The failure `code` (an errno) of a system call on `fsPath`.
FileProblem SystemProblem(std::string fsPath, int code);
// A file refused for a reason of our own.
FileProblem Refusal(std::string fsPath, std::string answer);

template <class T>
class FileResult {
  public:
    FileResult(T value) : state_(std::in_place_index<0>, std::move(value)) {}
    FileResult(FileProblem problem) : state_(std::in_place_index<1>, std::move(problem)) {}

    bool has_value() const { return state_.index() == 0; }
    explicit operator bool() const { return has_value(); }
    T& operator*() { return std::get<0>(state_); }
    const T& operator*() const { return std::get<0>(state_); }
    T* operator->() { return &std::get<0>(state_); }
    const T* operator->() const { return &std::get<0>(state_); }
    // Only after a failure.
    const FileProblem& problem() const { return std::get<1>(state_); }

  private:
    std::variant<T, FileProblem> state_;
};

// A file function that gives nothing back but whether it worked.
template <>
class FileResult<void> {
  public:
    FileResult() = default;
    FileResult(FileProblem problem) : problem_(std::move(problem)), failed_(true) {}

    bool has_value() const { return !failed_; }
    explicit operator bool() const { return !failed_; }
    const FileProblem& problem() const { return problem_; }

  private:
    FileProblem problem_;
    bool failed_ = false;
};

using FileStatus = FileResult<void>;

}  // namespace qm
